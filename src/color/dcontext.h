#pragma once

#include <QDialog>
#include <QPointer>

namespace Ui {
class DContext;
}
class MConnector;
class MLayerEdits;
class MLayerStack;
class MTextureLayer;
class MWidget;

// The floating context panel, opened by Ctrl and the right button on the
// canvas view: the current layer's flags and opacity, stepping through the
// layers, brush sizes, the colour history, the palette and the brushes.
// Most choices close it at once.
class DContext : public QDialog
{
    Q_OBJECT
public:
    // The layers and their edits are the document the view shows.
    DContext(MWidget *view, MLayerStack *layers, MLayerEdits *edits, QWidget *parent = nullptr);
    ~DContext() override;

    // Centres the panel on a point of the view, kept inside the view's
    // top-left corner.
    void place(const QPointF &viewPosition);

public slots:
    void setLayerOpacity(int value);
    void setLayerVisible(bool value);
    void setLayerLocked(bool value);
    void setBrushSize(double size);
    void on_previousLayerButton_clicked();
    void on_nextLayerButton_clicked();
    void on_setupButton_clicked();
    void doClose();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fillFromLayer();
    // Null once the view has gone: the document went with it.
    MTextureLayer *currentLayer() const;
    void connectEditors();

    Ui::DContext *ui;
    QPointer<MWidget> m_view;
    MLayerStack *m_layers;
    MLayerEdits *m_edits;
    MConnector *m_connector;
};

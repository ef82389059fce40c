#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class MBrushStyle;
class MConnector;

namespace Ui {
class MBrushStyleWidget;
}

// Edits a tool's fill in place; only the row the painter changed is
// written back.
class MBrushStyleWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MBrushStyleWidget(QWidget *parent = nullptr);
    ~MBrushStyleWidget() override;

    // The style is not owned.
    void setStyle(MBrushStyle *style);
    MBrushStyle *style() const { return m_style; }

public slots:
    void objectToWidgets();
    void widgetsToObject();

private:
    void connectEditors();

    Ui::MBrushStyleWidget *ui;
    QPointer<MBrushStyle> m_style;
    MConnector *m_editors;
    // What the widgets showed after the last fill or write.
    QColor m_shownBrushColor;
    QColor m_shownGradientColor;
    int m_shownGradientStyle = 0;
};

#pragma once

#include <QOpenGLWidget>
#include <QPointer>

class MTransform;
class MWidget;
class QOpenGLVertexArrayObject;

// The whole document fitted into a small view, with only one layer drawn:
// the paper under the bottom layer, the transparency pattern under any
// other. It takes no input.
class MThumbnailWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit MThumbnailWidget(QWidget *parent = nullptr);
    ~MThumbnailWidget() override;

    int layerIndex() const { return m_layerIndex; }
    MWidget *widget() const;
    // Recomputed for the present size and document at every paint.
    MTransform *fitTransform();

public slots:
    void setWidget(MWidget *view);
    void setLayerIndex(int row);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    // Drawn in paintGL so that grabs of the frame show it too.
    void paintGL() override;

private:
    QPointer<MWidget> m_view;
    int m_layerIndex = -1;
    MTransform *m_fit;
    QOpenGLVertexArrayObject *m_vao;
};

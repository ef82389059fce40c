#include "mthumbnailwidget.h"

#include "mcanvas.h"
#include "mgeometry.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QPainter>

MThumbnailWidget::MThumbnailWidget(QWidget *parent)
    : QOpenGLWidget(parent)
    , m_fit(new MTransform(this))
    , m_vao(new QOpenGLVertexArrayObject(this))
{
    QSurfaceFormat surface = QSurfaceFormat::defaultFormat();
    surface.setSamples(4);
    setFormat(surface);
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setAutoFillBackground(false);
    setMinimumSize(50, 50);
}

MThumbnailWidget::~MThumbnailWidget()
{
    // The vertex array lives in this widget's own context.
    if (context()) {
        makeCurrent();
        m_vao->destroy();
        doneCurrent();
    }
}

void MThumbnailWidget::setWidget(MWidget *view)
{
    if (!view || view == m_view)
        return;
    m_view = view;
    // The frame of what the view shows follows its panning and zooming.
    connect(view, &MWidget::translationChanged, this, QOverload<>::of(&QWidget::update));
    connect(view, &MWidget::scaleChanged, this, QOverload<>::of(&QWidget::update));
    m_layerIndex = view->canvas() ? view->canvas()->currentRow() : -1;
    update();
}

void MThumbnailWidget::setLayerIndex(int row)
{
    m_layerIndex = m_view && m_view->canvas() ? row : -1;
    update();
}

void MThumbnailWidget::initializeGL()
{
    makeCurrent();
}

void MThumbnailWidget::resizeGL(int w, int h)
{
    const double ratio = devicePixelRatioF();
    context()->functions()->glViewport(0, 0, int(w * ratio), int(h * ratio));
    update();
}

MTransform *MThumbnailWidget::fitTransform()
{
    const QRectF target = QRectF(rect()).adjusted(3, 3, -3, -3);
    const QRectF document = m_view && m_view->canvas() ? m_view->canvas()->paintedRect() : QRectF();
    double scale = 1.0;
    if (!document.isEmpty())
        MGeometry::fitRect(document, target, scale);
    m_fit->fit(document, scale, QPointF((width() - 1) / 2, (height() - 1) / 2));
    return m_fit;
}

void MThumbnailWidget::paintGL()
{
    makeCurrent();
    MTransform *fit = fitTransform();
    QPainter painter(this);
    painter.beginNativePainting();
    QOpenGLFunctions *f = context()->functions();
    f->glEnable(GL_BLEND);
    f->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    f->glDisable(GL_STENCIL_TEST);
    f->glDisable(GL_SCISSOR_TEST);
    f->glDisable(GL_DEPTH_TEST);
    f->glDisable(GL_CULL_FACE);
    f->glClearColor(1, 1, 1, 1);
    f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    MCanvas *document = m_view ? m_view->canvas() : nullptr;
    MTextureLayer *layer = document ? document->at(m_layerIndex) : nullptr;
    if (layer) {
        if (!m_vao->isCreated())
            m_vao->create();
        MPaintParams params;
        params.context = context();
        params.parts = document->parts();
        params.rect = document->paintedRect();
        params.clipToPaintedRect = true;
        params.layer = layer;
        params.underLayer = document->at(m_layerIndex - 1);
        params.setProgramName(QStringLiteral("basic"));
        params.programList = document->shaderProgramList();
        params.opacity = 1.0;
        params.smoothPixels = true;
        params.viewport = QRectF(rect());
        params.transform = fit;
        params.vertexArray = m_vao;
        MPaintEngine *engine = document->paintEngine();
        // The paper belongs under the bottom layer alone; any other layer is
        // shown over the transparency pattern.
        if (m_layerIndex == 0)
            engine->renderPaper(&params);
        else
            engine->renderTransparentPaper(&params);
        engine->applyProgram(&params);
        makeCurrent();
    }
    painter.endNativePainting();
    painter.setTransform(fit->matrix());
    QPen pen(Qt::darkGray);
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (document) {
        painter.drawRect(document->paintedRect());
        // The part of the document the canvas view shows.
        painter.drawRect(m_view->transform()->mapRectFromView(QRectF(m_view->rect())));
    }
    painter.end();
}

MWidget *MThumbnailWidget::widget() const
{
    return m_view;
}

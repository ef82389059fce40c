#include "mwidget.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mframetarget.h"
#include "mgeometry.h"
#include "mlayercache.h"
#include "mlayerlistcontrol.h"
#include "mlogger.h"
#include "mlowpassfilter.h"
#include "mmousefunctions.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "msmoothfilter.h"
#include "mtablet.h"
#include "mtexturelayer.h"
#include "mtextureutility.h"
#include "mtool.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mutility.h"
#include "mvertexbuffer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QEasingCurve>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVector2D>
#include <QWheelEvent>

#include <cmath>

namespace {
QPointF canvasPosition(const MEvent &e)
{
    return QPointF(e.inputs[MEnum::biPositionX], e.inputs[MEnum::biPositionY]);
}

void setCanvasPosition(MEvent &e, const QPointF &p)
{
    e.inputs[MEnum::biPositionX] = p.x();
    e.inputs[MEnum::biPositionY] = p.y();
}

// Halves go up, as for pixel steps of a pan.
double roundHalfUp(double v)
{
    return std::floor(v + 0.5);
}

// Before any tool is built there is no current tool: nothing holds samples back.
double currentToolSize()
{
    MTool *tool = MTools::instance()->currentTool();
    return tool ? tool->size() : 0.0;
}
} // namespace

MWidget::MWidget(QWidget *parent)
    : QOpenGLWidget(parent)
    , m_transform(new MTransform(this))
    , m_frameTimer(new QTimer(this))
    , m_restTimer(new QTimer(this))
    , m_canvas(new MCanvas())
    , m_speedFilter(new MSmoothFilter(1.0, 0.007, 1.0))
    , m_distanceFilter(new MSmoothFilter(1.0, 0.007, 1.0))
    , m_vao(nullptr)
{
    m_event.init();
    m_inputFilters.insert(MEnum::biPositionX, new MLowPassFilter(m_alphaFilter));
    m_inputFilters.insert(MEnum::biPositionY, new MLowPassFilter(m_alphaFilter));
    m_inputFilters.insert(MEnum::biDirectionX, new MLowPassFilter(0.15));
    m_inputFilters.insert(MEnum::biDirectionY, new MLowPassFilter(0.15));
    m_inputFilters.insert(MEnum::biPressure, new MLowPassFilter(0.15));
    m_toolValues = new MToolValues(this);
    m_vao = new QOpenGLVertexArrayObject(this);
    m_frameTarget.reset(new MFrameTarget(4));
    // The four samples are the frame target's: the widget's own frame buffer
    // takes only the areas a frame drew.
    QSurfaceFormat surface = format();
    surface.setSamples(0);
    setFormat(surface);
    connect(this, &QOpenGLWidget::frameSwapped, this, [this]() {
        if (m_targetsWanted)
            return;
        m_targetsWanted = true;
        repaintAll();
    });
    if (!m_readOnly && m_interactive) {
        auto *layerList = new MLayerListControl(this);
        connect(layerList, &MLayerListControl::editShaderParams, this, &MWidget::editShaderParams);
        connect(layerList, &MLayerListControl::editLayer, this, &MWidget::editLayer);
        m_controls.append(layerList);
    }
    installEventFilter(MTablet::instance());
    // A stroke goes through every sample the pointer gave: the samples that
    // queue up while the program is busy must not be merged into the last.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    // The frame buffer keeps the last frame, so that a stroke's frame can
    // redraw only what the stroke changed.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    m_frameTimer->setSingleShot(true);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    connect(m_frameTimer, &QTimer::timeout, this, &MWidget::paintWaitingFrame);
    m_restTimer->setSingleShot(true);
    m_restTimer->setTimerType(Qt::PreciseTimer);
    m_restTimer->setInterval(int(std::ceil(repaintInterval)));
    connect(m_restTimer, &QTimer::timeout, this, &MWidget::reachRestingPointer);
    connect(m_canvas, &MCanvas::refreshNow, this, &MWidget::repaintAll);
    connect(m_canvas, QOverload<bool, const QRectF &>::of(&MCanvas::refresh), this, &MWidget::refresh);
    connect(m_canvas, &MCanvas::paintedRectChanged, this, &MWidget::onPaintedRectChanged);
    connect(m_canvas, &MCanvas::brushPrepared, this, &MWidget::rehearseStroke);
    connect(MSettings::instance(), &MSettings::showGridChanged, this, &MWidget::repaintAll);
    connect(MTools::instance(), &MTools::showText, this, &MWidget::setText);
}

MWidget::~MWidget()
{
    qDeleteAll(m_inputFilters);
    delete m_speedFilter;
    delete m_distanceFilter;
    delete m_vertexBuffer;
    delete m_composite;
    delete m_canvas;
}

MLayerStack *MWidget::layers() const
{
    return m_canvas->layers();
}

const MDocumentParts &MWidget::parts() const
{
    return m_canvas->parts();
}

bool MWidget::currentLayerEditable() const
{
    return m_canvas->currentLayerEditable();
}

QPointF MWidget::translation() const
{
    return m_transform->translation();
}

double MWidget::scale() const
{
    return m_transform->scale();
}

double MWidget::rotation() const
{
    return m_transform->rotation();
}

// ---------------------------------------------------------------- rendering

void MWidget::initializeGL()
{
    makeCurrent();
    delete m_vertexBuffer;
    m_vertexBuffer = new MVertexBuffer(30);
    if (!m_vertexBuffer->create())
        *MLogger::instance() << QStringLiteral("System error: %1").arg(QStringLiteral("Can't create vertex buffer"));
    m_canvas->initializeGL();
    m_glReady = true;
    if (!m_vao->isCreated())
        m_vao->create();
}

void MWidget::resizeGL(int, int)
{
    m_fullRepaint = true;
    animateView(true, 1.0);
}

// The framework calls this for every frame and for grabs of the frame.
void MWidget::paintGL()
{
    if (!m_glReady)
        return;
    makeCurrent();
    const QRect dirty = m_dirtyRect & rect();
    bool partial = !m_fullRepaint && !dirty.isEmpty() && (m_canvas->strokeInProgress() || m_strokeEdgeFrame)
        && !MSettings::instance()->showTiling() && m_transform->matrix() == m_paintedMatrix;
    m_fullRepaint = false;
    m_paintingEdgeFrame = m_strokeEdgeFrame;
    m_strokeEdgeFrame = false;
    // This frame draws what throttled requests were waiting for: asking
    // again later would find nothing dirty and redraw the whole view.
    m_frameTimer->stop();
    m_waitingArea = QRect();
    m_waitingWhole = false;
    m_paintedMatrix = m_transform->matrix();
    m_dirtyRect = QRect();
    const double ratio = devicePixelRatioF();
    const QSize deviceSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    // A new target holds nothing of the frames before: all of it is drawn.
    bool fresh = false;
    const bool sampled = usesTargets() && m_frameTarget->ensure(deviceSize, ratio, &fresh);
    partial = partial && !fresh;
    makeFrameCurrent();
    QPainter painter;
    if (sampled)
        painter.begin(m_frameTarget->paintDevice());
    else
        painter.begin(this);
    painter.beginNativePainting();
    // Under the state the painter sets, as a press's frame is drawn, and
    // in a frame that then draws the whole view over it.
    if (!partial && m_rehearsalPending && readyToRehearse())
        paintRehearsal();
    QOpenGLFunctions *f = context()->functions();
    // In device pixels, rows from the bottom.
    const QRect drawn = partial ? QRect(int(std::floor(dirty.x() * ratio)),
                                        int(std::floor((height() - dirty.bottom() - 1) * ratio)),
                                        int(std::ceil(dirty.width() * ratio)), int(std::ceil(dirty.height() * ratio)))
                                : QRect(QPoint(0, 0), deviceSize);
    if (partial) {
        f->glEnable(GL_SCISSOR_TEST);
        f->glScissor(drawn.x(), drawn.y(), drawn.width(), drawn.height());
    }
    paintCanvasGL();
    if (partial)
        f->glDisable(GL_SCISSOR_TEST);
    painter.endNativePainting();
    if (partial)
        painter.setClipRect(dirty);
    paintOverlay(&painter);
    painter.end();
    if (sampled)
        m_frameTarget->resolve(drawn, defaultFramebufferObject());
    if (m_rehearsalPending && readyToRehearse())
        update();
}

void MWidget::shutDown()
{
    if (!m_glReady)
        return;
    makeCurrent();
    if (m_vertexBuffer && m_vertexBuffer->buffer().isCreated())
        m_vertexBuffer->buffer().destroy();
    delete m_composite;
    m_composite = nullptr;
    m_frameTarget->release();
    if (m_layerCache)
        m_layerCache->release();
    if (QOpenGLContext *c = context())
        c->functions()->glFinish();
    m_canvas->shutDown();
    makeCurrent();
    m_vao->destroy();
    m_glReady = false;
}

// Making the context current binds the widget's own frame buffer; a frame
// draws into its target.
void MWidget::makeFrameCurrent()
{
    makeCurrent();
    m_frameTarget->bind();
}

bool MWidget::smoothing() const
{
    MSettings *settings = MSettings::instance();
    return settings->smoothPixels() && m_transform->scale() < float(settings->smoothMaxScale());
}

void MWidget::paintCanvasGL()
{
    makeFrameCurrent();
    if (m_firstShow && isVisible()) {
        setScale(0.5);
        animateView(true, 1.0);
        m_firstShow = false;
    }
    // The stamps queued since the last frame are drawn once, before anything
    // of the frame samples the stroke layer. The document draws in a context
    // of its own: a flush alone lets a software driver still be rasterizing
    // the tiles while this context samples them, and a frame that shows a
    // tile half drawn keeps the missing part, as later frames recomposite
    // only what changed since. The frame waits for the document's work.
    if (m_canvas->makeCurrent()) {
        m_canvas->flushStrokes();
        m_canvas->context()->functions()->glFinish();
    }
    makeFrameCurrent();
    QOpenGLFunctions *f = context()->functions();
    MPaintParams params;
    params.context = context();
    params.parts = m_canvas->parts();
    params.rect = m_canvas->paintedRect();
    params.clipToPaintedRect = true;
    params.programList = m_canvas->shaderProgramList();
    params.smoothPixels = smoothing();
    params.viewport = QRectF(rect());
    params.transform = m_transform;
    params.timeLineMode = m_timeLineMode;
    params.showPreviousFrame = m_showPreviousFrame;
    params.firstLayerAsBackground = m_firstLayerAsBackground;
    params.vertexArray = m_vao;
    params.matchLevel = true;
    // Over whole pixels every sample of a pixel gets the same colour, so a
    // single-sampled target gives the same frame, and there a software
    // driver draws a plain layer as a blended copy, several times faster.
    QOpenGLFramebufferObject *composite =
        usesTargets() && MPaintEngine::drawsWholePixels(&params) ? compositeTarget() : nullptr;
    if (composite)
        composite->bind();
    const QColor background = MSettings::instance()->widgetBackgroundColor();
    f->glClearColor(float(background.redF()), float(background.greenF()), float(background.blueF()), 1.0f);
    f->glClear(GL_COLOR_BUFFER_BIT);
    f->glClear(GL_DEPTH_BUFFER_BIT);
    f->glDisable(GL_DEPTH_TEST);
    f->glDisable(GL_CULL_FACE);
    // The images of the layers under and over a stroke's are not made for
    // the press's frame, kept small for the first stamp's sake, but for the
    // frames after it.
    if (!m_layerCache)
        m_layerCache.reset(new MLayerCache());
    if (!m_layerCache->draw(&params, background, !m_paintingEdgeFrame))
        m_canvas->draw(&params);
    makeFrameCurrent();
    if (composite)
        composite->bind();
    paintTilingCopies(&params);
    makeFrameCurrent();
    if (composite)
        m_canvas->paintEngine()->renderViewTexture(&params, composite->texture());
    if (!m_canvas->strokeInProgress() || m_penLifted) {
        for (MControl *control : qAsConst(m_controls))
            control->paintGL();
    }
    makeFrameCurrent();
}

QOpenGLFramebufferObject *MWidget::compositeTarget()
{
    // Whole canvas pixels are whole device pixels only at a ratio of one.
    if (devicePixelRatioF() != 1.0)
        return nullptr;
    const QSize size(width(), height());
    if (!m_composite || m_composite->size() != size) {
        delete m_composite;
        m_composite = new QOpenGLFramebufferObject(size, QOpenGLFramebufferObject::NoAttachment, GL_TEXTURE_2D,
                                                   GL_RGBA8);
        if (!m_composite->isValid()) {
            delete m_composite;
            m_composite = nullptr;
            return nullptr;
        }
        // Outside a partial frame's scissor it is never copied: nothing of
        // an earlier frame is needed in it.
        m_composite->bind();
        matchTileStorage(context()->extraFunctions());
    }
    return m_composite;
}

void MWidget::paintTilingCopies(MPaintParams *params)
{
    if (!MSettings::instance()->showTiling())
        return;
    const QRectF r = m_transform->mapRect(m_canvas->paintedRect());
    const QPointF steps[] = {QPointF(r.width(), 0), QPointF(-r.width(), 0), QPointF(0, r.height()),
                             QPointF(0, -r.height())};
    MTransform shifted;
    for (const QPointF &step : steps) {
        shifted.assign(*m_transform);
        shifted.translate(step);
        params->transform = &shifted;
        m_canvas->draw(params);
        makeFrameCurrent();
    }
    params->transform = m_transform;
}

void MWidget::paintOverlay(QPainter *p)
{
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setOpacity(1.0);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!smoothing()) {
        const QRectF viewRect(rect());
        const QRectF v = m_transform->mapRectFromView(m_transform->mapRect(m_canvas->paintedRect()).intersected(viewRect));
        p->save();
        p->setTransform(m_transform->matrix());
        QPen pen(QColor(200, 200, 200));
        pen.setCosmetic(true);
        pen.setWidth(1);
        p->setPen(pen);
        const int left = int(v.left()), right = int(v.right()), top = int(v.top()), bottom = int(v.bottom());
        for (int x = left; x <= right; ++x)
            p->drawLine(QLine(x, top, x, bottom + 1));
        for (int y = top; y <= bottom; ++y)
            p->drawLine(QLine(left, y, right + 1, y));
        p->restore();
    }
    MTools::instance()->paint(p);
    if (!m_canvas->strokeInProgress() || m_penLifted) {
        // A control may remove itself while painting.
        const QList<MControl *> controls = m_controls;
        for (MControl *control : controls)
            control->paint(p);
    }
    paintStatusText(p);
}

QString MWidget::statusLine() const
{
    QString line;
    MTextureLayer *layer = m_canvas->current();
    if (layer && !layer->visible())
        line = tr("the current layer is hidden");
    else if (m_canvas->count() == 0)
        line = tr("the canvas is empty");
    else if (!m_canvas->currentLayerEditable())
        line = tr("the current layer is locked");
    if (m_canvas->hasSelection()) {
        if (!line.isEmpty())
            line += QStringLiteral(" - ");
        line += tr("selection is active");
    }
    // Without a current brush there is no eraser to speak of.
    MBrush *brush = MBrushList::existingInstance() ? MBrushList::existingInstance()->currentBrush() : nullptr;
    if (brush && brush->eraser()) {
        if (!line.isEmpty())
            line += QStringLiteral(" - ");
        line += tr("brush is in eraser mode");
    }
    return line;
}

void MWidget::paintStatusText(QPainter *p)
{
    p->resetTransform();
    const QString line = statusLine();
    if (!line.isEmpty())
        drawText(p, line, MGeometry::TopCenter, 0.5, Qt::white, Qt::darkGray, Qt::black, 25, 10, 10);
    if (m_textOpacity != 0.0 && !m_text.isEmpty())
        drawText(p, m_text, MGeometry::BottomCenter, m_textOpacity, Qt::white, Qt::darkGray, Qt::black, 25, 10, 10);
}

void MWidget::drawText(QPainter *p, const QString &text, int position, double opacity, const QColor &textColor,
                       const QColor &fillColor, const QColor &borderColor, int pixelSize, int inset, int margin)
{
    if (opacity == 0.0 || text.isEmpty())
        return;
    QFont font(QStringLiteral("Lucida"));
    font.setPixelSize(pixelSize);
    const double w = QFontMetricsF(font).horizontalAdvance(text);
    const QRectF box = MGeometry::placeRect(QRectF(rect()), QRectF(0, 0, w + 2 * inset, pixelSize + 2 * inset),
                                            position, margin);
    auto withAlpha = [opacity](QColor c) {
        c.setAlphaF(opacity);
        return c;
    };
    p->save();
    p->setFont(font);
    p->setPen(withAlpha(borderColor));
    p->setBrush(withAlpha(fillColor));
    p->drawRect(box);
    p->setPen(withAlpha(textColor));
    p->drawText(box, Qt::AlignCenter, text);
    p->restore();
}

void MWidget::repaintAll()
{
    m_fullRepaint = true;
    requestFrame(QRect());
}

void MWidget::updateNow()
{
    repaintAll();
}

bool MWidget::refresh(bool throttle, const QRectF &r)
{
    QRect area;
    if (r.isEmpty()) {
        m_fullRepaint = true;
    } else {
        // A pixel more on each side for the smoothing of the zoomed view.
        area = m_transform->mapRect(r).toAlignedRect().adjusted(-2, -2, 2, 2);
        if (m_canvas->strokeInProgress()) {
            m_dirtyRect |= area;
            m_strokeArea |= area;
        } else {
            m_fullRepaint = true;
        }
    }
    // A request exactly one interval after the last repaint waits too. What
    // it asked for is kept for the next frame: a dropped area would leave
    // its stamps off the screen until something repaints them.
    if (throttle && m_repaintClock.isValid() && double(m_repaintClock.elapsed()) <= 1000.0 / m_frameRate) {
        if (area.isEmpty())
            m_waitingWhole = true;
        else
            m_waitingArea |= area;
        if (!m_frameTimer->isActive())
            m_frameTimer->start(qMax(0, int(std::ceil(1000.0 / m_frameRate - double(m_repaintClock.elapsed())))));
        return false;
    }
    requestFrame(area);
    return true;
}

// Asks the framework for a frame of the area (all of the view when empty),
// together with whatever throttled requests were waiting for.
void MWidget::requestFrame(const QRect &area)
{
    m_frameTimer->stop();
    if (area.isEmpty() || m_waitingWhole)
        update();
    else
        update(area | m_waitingArea);
    m_waitingArea = QRect();
    m_waitingWhole = false;
    m_repaintClock.restart();
}

// The press that starts a stroke and the release that ends it change the
// view only where the stroke drew and where the controls that hide during a
// stroke are: that frame is composited over those areas alone, unless
// something asked for the whole view or the document grew. A whole frame of
// a large view costs a software driver several times more.
void MWidget::requestStrokeEdgeFrame(const QRect &area, bool fullBefore, const QRectF &paintedBefore)
{
    if (fullBefore || area.isEmpty() || m_canvas->paintedRect() != paintedBefore) {
        repaintAll();
        return;
    }
    QRect frame = area;
    for (MControl *control : qAsConst(m_controls)) {
        if (control->visible())
            frame |= control->rect().toAlignedRect().adjusted(-2, -2, 2, 2);
    }
    m_fullRepaint = false;
    m_dirtyRect = frame;
    m_strokeEdgeFrame = true;
    requestFrame(frame);
}

// The pen lifted: its last segment is shown at once, the stroke still drawn
// over its layer as while the pen was down. Merging it into the layer, with
// its undo records, costs a software driver a pass per tile; the frame after
// the merge (the stroke's edge frame) shows the merged layer.
void MWidget::presentStrokeEnd()
{
    if (m_fullRepaint || m_waitingWhole || !m_canvas->strokeInProgress() || !isVisible())
        return;
    // The controls a stroke hides come back with it.
    QRect frame = m_dirtyRect;
    for (MControl *control : qAsConst(m_controls)) {
        if (control->visible())
            frame |= control->rect().toAlignedRect().adjusted(-2, -2, 2, 2);
    }
    frame &= rect();
    if (frame.isEmpty())
        return;
    m_dirtyRect = frame;
    m_penLifted = true;
    repaint(frame);
    m_penLifted = false;
}

void MWidget::paintWaitingFrame()
{
    if (m_waitingWhole || !m_waitingArea.isEmpty())
        requestFrame(m_waitingWhole ? QRect() : m_waitingArea);
}

void MWidget::onPaintedRectChanged(const QRectF &r)
{
    setText(QStringLiteral("%1 - %2").arg(r.width(), 0, 'g').arg(r.height(), 0, 'g'));
}

void MWidget::setText(const QString &text)
{
    m_text = text;
    auto *animation = new QPropertyAnimation(this, "textOpacity", this);
    animation->setStartValue(1.0);
    animation->setEndValue(0.0);
    animation->setDuration(MSettings::instance()->textDuration() * 1000);
    animation->setEasingCurve(QEasingCurve::InQuint);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MWidget::setTextOpacity(double opacity)
{
    if (m_textOpacity == opacity)
        return;
    m_textOpacity = opacity;
    emit textOpacityChanged(opacity);
    updateNow();
}

void MWidget::setScale(double s)
{
    if (s == m_transform->scale())
        return;
    {
        const QSignalBlocker blocker(m_transform);
        const QPointF viewCentre(width() / 2.0, height() / 2.0);
        m_transform->reset();
        m_transform->translate(viewCentre - m_canvas->paintedRect().center());
        m_transform->setScale(s, viewCentre);
    }
    emit scaleChanged(s);
    updateNow();
}

void MWidget::setRotation(double r)
{
    if (r == m_transform->rotation())
        return;
    {
        const QSignalBlocker blocker(m_transform);
        m_transform->setRotation(r);
    }
    emit rotationChanged(r);
    updateNow();
}

void MWidget::setTranslation(const QPointF &p)
{
    if (p == m_transform->translation())
        return;
    {
        const QSignalBlocker blocker(m_transform);
        m_transform->setTranslation(p);
    }
    emit translationChanged(p);
    updateNow();
}

void MWidget::setFilterMode(GLuint mode)
{
    if (m_filterMode == mode)
        return;
    m_filterMode = mode;
    emit filterModeChanged(mode);
    updateNow();
}

void MWidget::setReadOnly(bool value)
{
    if (m_readOnly == value)
        return;
    m_readOnly = value;
    emit readOnlyChanged(value);
}

void MWidget::setInteractive(bool value)
{
    if (m_interactive == value)
        return;
    m_interactive = value;
    emit interactiveChanged(value);
}

void MWidget::set_firstLayerAsBackground(bool value)
{
    if (m_firstLayerAsBackground == value)
        return;
    m_firstLayerAsBackground = value;
    emit firstLayerAsBackgroundChanged(value);
}

void MWidget::setTimeLineMode(bool value)
{
    if (m_timeLineMode == value)
        return;
    m_timeLineMode = value;
    emit timeLineModeChanged(value);
    update();
}

void MWidget::setShowPreviousFrame(bool value)
{
    if (m_showPreviousFrame == value)
        return;
    m_showPreviousFrame = value;
    emit showPreviousFrameChanged(value);
    update();
}

void MWidget::setAlphaFilter(double alpha)
{
    if (m_alphaFilter == alpha)
        return;
    m_alphaFilter = alpha;
    if (alpha > 0.0 && alpha <= 1.0) {
        m_inputFilters.value(MEnum::biPositionX)->setAlpha(alpha);
        m_inputFilters.value(MEnum::biPositionY)->setAlpha(alpha);
    }
    emit alphaFilterChanged(alpha);
}

void MWidget::resetCanvas()
{
    animateView(false, 1.0);
}

void MWidget::fitToView()
{
    animateView(true, 1.0);
}

void MWidget::resetView(bool fit)
{
    animateView(fit, 1.0);
}

void MWidget::adjustToWidth()
{
    const double w = width() - 60;
    const double canvasWidth = m_canvas->paintedRect().width();
    if (w < 1 || canvasWidth == 0)
        return;
    animateView(false, w / canvasWidth);
}

void MWidget::adjustToHeight()
{
    const double h = height() - 60;
    const double canvasHeight = m_canvas->paintedRect().height();
    if (h < 1 || canvasHeight == 0)
        return;
    animateView(false, h / canvasHeight);
}

void MWidget::animateView(bool fit, double target)
{
    const double start = m_transform->scale();
    if (fit) {
        const QRectF bounds = QRectF(rect()).adjusted(30, 30, -30, -30);
        MGeometry::fitRect(m_canvas->paintedRect(), bounds, target);
    }
    auto *group = new QParallelAnimationGroup(this);
    auto *animation = new QPropertyAnimation(this, "scale", group);
    animation->setStartValue(start);
    animation->setEndValue(target);
    animation->setDuration(animationDuration);
    animation->setEasingCurve(target > start ? QEasingCurve::OutBack : QEasingCurve::Linear);
    group->addAnimation(animation);
    m_animation = group;
    // Only the zoom's end is followed, never its destruction: the view's own
    // teardown destroys it once the view is no longer whole.
    connect(group, &QAbstractAnimation::finished, this, [this, group] {
        if (m_animation != group)
            return;
        m_animation.clear();
        if (m_rehearsalPending)
            update();
    });
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

bool MWidget::readyToRehearse() const
{
    return m_glReady && !m_firstShow && isVisible() && !m_animation && !m_buttonDown && !m_canvas->strokeInProgress();
}

void MWidget::rehearseStroke()
{
    m_rehearsalPending = true;
    if (readyToRehearse())
        update();
}

void MWidget::paintRehearsal()
{
    m_rehearsalPending = false;
    MBrushList *brushes = MBrushList::existingInstance();
    const QRectF painted = m_canvas->paintedRect();
    if (!brushes || painted.isEmpty())
        return;
    // Where the view shows the document, or its middle.
    QPointF point = m_transform->mapFromView(QRectF(rect()).center());
    if (!painted.contains(point))
        point = painted.center();
    if (!m_canvas->beginRehearsal(brushes->currentBrush(), point))
        return;
    makeFrameCurrent();
    // A press's frame, drawn only around the stamp: the frame drawn over it
    // next hides it.
    const QPointF shown = m_transform->map(point);
    const double ratio = devicePixelRatioF();
    QOpenGLFunctions *f = context()->functions();
    f->glEnable(GL_SCISSOR_TEST);
    f->glScissor(int(std::floor(shown.x() * ratio)), int(std::floor((height() - shown.y()) * ratio)), 2, 2);
    paintCanvasGL();
    f->glDisable(GL_SCISSOR_TEST);
    m_canvas->endRehearsal();
    ++m_rehearsalCount;
}

bool MWidget::isPartlyVisible(const QRectF &r) const
{
    const QRect area = r.toRect();
    if (area.contains(rect()))
        return false;
    return area.intersects(rect());
}

// ---------------------------------------------------------------- input

void MWidget::mousePressEvent(QMouseEvent *e)
{
    setFocus(Qt::OtherFocusReason);
    m_repaintClock.restart();
    m_pressedButton = int(e->button());
    m_buttonDown = true;
    m_lastViewPosition = m_pressViewPosition = e->localPos();
    m_pressPending = true;
    m_panDelta = QPointF();
    if (e->button() == Qt::RightButton && e->modifiers().testFlag(Qt::ControlModifier)) {
        emit contextPanelRequested(e->localPos());
        // The panel swallowed the release: no button is held and no gesture runs.
        clearGesture();
        return;
    }
    if (m_spaceDown && e->button() == Qt::LeftButton)
        return;
    if (!fillEvent(e))
        return;
    m_gesture.resize(0);
    m_gesture.append(m_event);
    resetInputFilters();
    const bool stroking = m_canvas->strokeInProgress();
    const bool fullBefore = m_fullRepaint;
    const QRectF paintedBefore = m_canvas->paintedRect();
    m_strokeArea = QRect();
    preDispatch(&m_event);
    if (!stroking && m_canvas->strokeInProgress())
        requestStrokeEdgeFrame(m_dirtyRect, fullBefore, paintedBefore);
    else
        updateNow();
}

void MWidget::clearGesture()
{
    m_restTimer->stop();
    m_buttonDown = false;
    m_pressPending = false;
    m_pressedButton = 0;
    m_gesture.resize(0);
    m_eventClock.invalidate();
}

void MWidget::mouseMoveEvent(QMouseEvent *e)
{
    m_mouseInside = true;
    updateCursor(e->localPos());
    m_altDown = e->modifiers().testFlag(Qt::AltModifier);
    if (!m_buttonDown) {
        if (fillEvent(e))
            dispatchEvent(&m_event);
        return;
    }
    const QPointF step = e->localPos() - m_lastViewPosition;
    m_panDelta = QPointF(roundHalfUp(step.x()), roundHalfUp(step.y()));
    if (m_panDelta.x() != 0.0 || m_panDelta.y() != 0.0)
        m_lastViewPosition = e->localPos();
    const int function = MMouseFunctions::instance()->function(-1, m_pressedButton, int(e->modifiers()));
    if (function == MMouseFunctions::CanvasDrag || (m_spaceDown && m_pressedButton == Qt::LeftButton)) {
        m_transform->translate(m_panDelta);
        updateNow();
        return;
    }
    if (!fillEvent(e))
        return;
    filterInputs(&m_event);
    appendToGesture(m_event);
    m_restTimer->start();
}

// The spline runs one event behind the pointer: each event paints the
// segment that ends at the event before it.
void MWidget::appendToGesture(const MEvent &e)
{
    if (m_gesture.size() == 1) {
        MEvent phantom = m_gesture.first();
        setCanvasPosition(phantom, 2.0 * canvasPosition(phantom) - canvasPosition(e));
        m_gesture.first().type = MEvent::Move;
        m_gesture.prepend(phantom);
    }
    m_gesture.append(e);
    const QVector<MEvent> segment = splineSegment();
    for (MEvent sample : segment)
        preDispatch(&sample);
}

// The pen lifted: the segment still held back and the way from the filtered
// pointer to the release point itself are painted before the release.
void MWidget::finishGesture(const MEvent &release)
{
    if (m_gesture.size() < 3)
        return;
    // The pen's last pressure and tilt, not the lifted pen's.
    MEvent end = m_gesture.last();
    setCanvasPosition(end, canvasPosition(release));
    end.type = MEvent::Move;
    appendToGesture(end);
    appendToGesture(end);
    m_gesture.resize(0);
}

// The pointer held still for a frame: the segment the spline holds back and
// the way from the smoothed position to the pointer itself are drawn, as at
// a release, and the smoothing starts again from the pointer.
void MWidget::reachRestingPointer()
{
    if (!m_buttonDown || m_gesture.size() < 3)
        return;
    MLowPassFilter *x = m_inputFilters.value(MEnum::biPositionX);
    MLowPassFilter *y = m_inputFilters.value(MEnum::biPositionY);
    if (!x->hasSample() || !y->hasSample())
        return;
    const QPointF pointer(x->lastRawValue(), y->lastRawValue());
    MEvent end = m_gesture.last();
    setCanvasPosition(end, pointer);
    end.type = MEvent::Move;
    appendToGesture(end);
    appendToGesture(end);
    x->reset();
    y->reset();
    x->filter(pointer.x());
    y->filter(pointer.y());
}

void MWidget::mouseReleaseEvent(QMouseEvent *e)
{
    m_restTimer->stop();
    if (!(m_spaceDown && m_pressedButton == Qt::LeftButton)) {
        if (fillEvent(e)) {
            const bool stroking = m_canvas->strokeInProgress();
            const bool fullBefore = m_fullRepaint;
            const QRectF paintedBefore = m_canvas->paintedRect();
            const MEvent release = m_event;
            finishGesture(release);
            // The stroke ends with the last button up.
            if (stroking && e->buttons() == Qt::NoButton)
                presentStrokeEnd();
            m_event = release;
            preDispatch(&m_event);
            if (stroking && !m_canvas->strokeInProgress())
                requestStrokeEdgeFrame(m_strokeArea | m_dirtyRect, fullBefore, paintedBefore);
            else
                updateNow();
        }
    }
    m_buttonDown = false;
}

void MWidget::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (!fillEvent(e))
        return;
    for (MControl *control : qAsConst(m_controls)) {
        if (control->mouseDoubleClickEvent(&m_event)) {
            updateNow();
            return;
        }
    }
    MTools::instance()->mouseDoubleClickEvent(&m_event);
    repaintAll();
}

bool MWidget::fillEvent(QMouseEvent *e)
{
    m_event.init();
    m_event.button = m_pressedButton;
    m_event.inputSource = 1;
    m_event.viewPosition = e->localPos();
    setCanvasPosition(m_event, m_transform->mapFromView(e->localPos()));
    m_event.modifiers = e->modifiers();
    const double size = currentToolSize();
    double *in = m_event.inputs;
    const QPointF position = canvasPosition(m_event);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        m_buttonDown = true;
        m_event.type = MEvent::Press;
        m_lastCanvasPosition = position;
        m_totalTime = 0.0;
        m_totalDistance = 0.0;
        m_pressPending = true;
        in[MEnum::biTimeToPrevious] = in[MEnum::biTotalTime] = 0.0;
        in[MEnum::biDistanceToPrevious] = in[MEnum::biTotalDistance] = 0.0;
        in[MEnum::biDirectionX] = in[MEnum::biDirectionY] = 0.0;
        in[MEnum::biSpeed] = 2.0;
        m_speedFilter->reset();
        m_eventClock.start();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const bool release = e->type() == QEvent::MouseButtonRelease;
        if (release) {
            m_buttonDown = false;
            m_event.type = MEvent::Release;
        } else {
            m_event.type = m_buttonDown ? MEvent::Move : MEvent::Hover;
        }
        const QVector2D d(position - m_lastCanvasPosition);
        const double dist = double(d.length());
        const QVector2D direction = d.normalized();
        in[MEnum::biDirectionX] = double(direction.x());
        in[MEnum::biDirectionY] = double(direction.y());
        if (!release && (dist < m_minimumMove || (size != 0.0 && dist < size)))
            return false;
        double t = 0.0;
        if (m_eventClock.isValid())
            t = double(m_eventClock.nsecsElapsed()) / 1000000.0;
        // A gesture whose clock was dropped (the context panel took the
        // release) starts again from no elapsed time.
        if (!release && t <= 0.0)
            t = 0.0;
        in[MEnum::biTimeToPrevious] = t;
        m_totalTime += t;
        const double f = m_distanceFilter->filter(dist, m_totalTime / 1000.0);
        in[MEnum::biDistanceToPrevious] = f;
        if (t != 0.0)
            in[MEnum::biSpeed] = m_speedFilter->filter(f / t, m_totalTime / 1000.0);
        m_totalDistance += f;
        in[MEnum::biTotalTime] = m_totalTime;
        in[MEnum::biTotalDistance] = m_totalDistance;
        if (release) {
            m_totalTime = 0.0;
        } else {
            m_lastCanvasPosition = position;
            m_eventClock.restart();
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        m_event.type = MEvent::DoubleClick;
        break;
    default:
        break;
    }
    MTablet *tablet = MTablet::instance();
    if (tablet->on()) {
        m_event.inputSource = 2;
        m_event.pointerType = tablet->pointerType();
        m_event.device = tablet->device();
        in[MEnum::biPressure] = tablet->pressure();
        in[MEnum::biTangentialPressure] = tablet->tangentialPressure();
        in[MEnum::biXTilt] = double(tablet->xTilt());
        in[MEnum::biYTilt] = double(tablet->yTilt());
    }
    return true;
}

void MWidget::filterInputs(MEvent *e)
{
    for (auto it = m_inputFilters.cbegin(); it != m_inputFilters.cend(); ++it)
        e->inputs[it.key()] = it.value()->filter(e->inputs[it.key()]);
}

void MWidget::resetInputFilters()
{
    for (MLowPassFilter *filter : qAsConst(m_inputFilters))
        filter->reset();
}

QVector<MEvent> MWidget::splineSegment() const
{
    QVector<MEvent> result;
    const int n = m_gesture.size();
    if (n < 4)
        return result;
    const MEvent &p0 = m_gesture.at(n - 4);
    const MEvent &p1 = m_gesture.at(n - 3);
    const MEvent &p2 = m_gesture.at(n - 2);
    const MEvent &p3 = m_gesture.at(n - 1);
    const QPointF a = canvasPosition(p0), b = canvasPosition(p1), c = canvasPosition(p2), d = canvasPosition(p3);
    if (QVector2D(c - b).length() < 10.0f) {
        result << p1 << p2;
        return result;
    }
    for (int i = 0; i <= 3; ++i) {
        const double t = i / 3.0;
        const double t2 = t * t, t3 = t2 * t;
        const double h00 = 2 * t3 - 3 * t2 + 1, h01 = 3 * t2 - 2 * t3, h10 = t3 - 2 * t2 + t, h11 = t3 - t2;
        MEvent sample(p1, p2, t);
        setCanvasPosition(sample, h00 * b + h01 * c + h10 * (c - a) / 2.0 + h11 * (d - b) / 2.0);
        result << sample;
    }
    return result;
}

void MWidget::preDispatch(MEvent *e)
{
    m_altDown = e->hasAltModifier();
    if (currentToolSize() != 0.0) {
        if (e->type == MEvent::Press) {
            m_heldPress = *e;
            return;
        }
        if (m_pressPending && e->type == MEvent::Release) {
            // A click that never travelled the tool's size: the tool gets the
            // press it was waiting for, then the release, so its gesture ends.
            m_pressPending = false;
            dispatchEvent(&m_heldPress);
            dispatchEvent(e);
            return;
        }
    }
    if (m_pressPending) {
        e->type = MEvent::Press;
        m_pressPending = false;
    }
    dispatchEvent(e);
}

void MWidget::dispatchEvent(MEvent *e)
{
    m_cursorCanvasPosition = canvasPosition(*e);
    for (MControl *control : qAsConst(m_controls)) {
        if (control->dispatch(e)) {
            repaintAll();
            return;
        }
    }
    MTools *tools = MTools::instance();
    switch (e->type) {
    case MEvent::Press:
        tools->mousePressEvent(e);
        m_pressDelivered = true;
        break;
    case MEvent::Hover:
        tools->mouseHoverEvent(e);
        break;
    case MEvent::Move:
        tools->mouseMoveEvent(e);
        break;
    case MEvent::Release:
        if (m_pressDelivered) {
            tools->mouseReleaseEvent(e);
            m_pressDelivered = false;
        }
        break;
    default:
        break;
    }
}

void MWidget::wheelEvent(QWheelEvent *e)
{
    const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    if (delta == 0) {
        e->ignore();
        return;
    }
    for (MControl *control : qAsConst(m_controls)) {
        if (control->wheelEvent(e))
            return;
    }
    const Qt::KeyboardModifiers modifiers = e->modifiers();
    const QPointF position = e->position();
    switch (MMouseFunctions::instance()->function(-1, -1, int(modifiers))) {
    case MMouseFunctions::NoFunction:
        MTools::instance()->wheelEvent(e);
        updateCursor(position);
        break;
    case MMouseFunctions::CanvasRotate:
        wheelRotate(delta);
        break;
    case MMouseFunctions::CanvasScale:
        wheelZoom(delta, position);
        break;
    case MMouseFunctions::CanvasTranslateVertical:
        wheelTranslateVertical(delta);
        break;
    case MMouseFunctions::CanvasTranslateHorizontal:
        wheelTranslateHorizontal(delta);
        break;
    default:
        if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ShiftModifier)
            && !modifiers.testFlag(Qt::ControlModifier)) {
            MTools::instance()->wheelEvent(e);
            updateCursor(position);
        }
        break;
    }
    repaintAll();
}

void MWidget::wheelRotate(int delta)
{
    const double rotation = m_transform->rotation() + (delta > 0 ? -10.0 : 10.0);
    m_transform->setCentre(m_canvas->paintedRect().center());
    // Truncated, then reduced keeping the sign: -370 gives -10.
    m_transform->setRotation(double(int(rotation) % 360));
    updateNow();
}

void MWidget::wheelZoom(int delta, const QPointF &viewPosition)
{
    const double s = m_transform->scale() * (delta > 0 ? 1.2 : 0.8);
    const QRectF canvasRect = m_canvas->paintedRect();
    if (canvasRect.width() * s <= width() && canvasRect.height() * s <= height())
        setScale(s);
    else
        m_transform->setScale(s, viewPosition);
    updateCursor(viewPosition);
}

void MWidget::wheelTranslateVertical(int delta)
{
    const QPointF t = m_transform->translation();
    m_transform->setTranslation(QPointF(t.x(), t.y() + (delta <= 0 ? 30.0 : -30.0)));
}

void MWidget::wheelTranslateHorizontal(int delta)
{
    const QPointF t = m_transform->translation();
    m_transform->setTranslation(QPointF(t.x() + (delta <= 0 ? 30.0 : -30.0), t.y()));
}

bool MWidget::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        MTool *tool = MTools::instance()->currentTool();
        if (tool && tool->takesKey(static_cast<QKeyEvent *>(e))) {
            e->accept();
            return true;
        }
    }
    return QOpenGLWidget::event(e);
}

void MWidget::keyPressEvent(QKeyEvent *e)
{
    if (!hasFocus())
        return;
    if (e->key() == Qt::Key_Space)
        m_spaceDown = true;
    if (e->key() == Qt::Key_F12) {
        showNormal();
        QOpenGLWidget::keyPressEvent(e);
        return;
    }
    const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
    switch (e->key()) {
    case Qt::Key_Delete:
        if (e->modifiers() == Qt::NoModifier) {
            MUtility::setBusyCursor();
            m_canvas->erase();
            MUtility::restoreCursor();
        } else {
            MTools::instance()->keyPressEvent(e);
        }
        break;
    case Qt::Key_Left:
        m_transform->translate(QPointF(ctrl ? 200 : 10, 0));
        break;
    case Qt::Key_Right:
        m_transform->translate(QPointF(ctrl ? -200 : -10, 0));
        break;
    case Qt::Key_Up:
        m_transform->translate(QPointF(0, 10));
        break;
    case Qt::Key_Down:
        m_transform->translate(QPointF(0, -10));
        break;
    case Qt::Key_PageUp:
        m_transform->translate(QPointF(0, 200));
        break;
    case Qt::Key_PageDown:
        m_transform->translate(QPointF(0, -200));
        break;
    default:
        MTools::instance()->keyPressEvent(e);
        break;
    }
    updateNow();
    QOpenGLWidget::keyPressEvent(e);
}

void MWidget::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat())
        m_spaceDown = false;
}

void MWidget::enterEvent(QEvent *e)
{
    updateCursor(mapFromGlobal(QCursor::pos()));
    m_mouseInside = true;
    update();
    QOpenGLWidget::enterEvent(e);
}

void MWidget::leaveEvent(QEvent *e)
{
    m_mouseInside = false;
    m_buttonDown = false;
    update();
    QOpenGLWidget::leaveEvent(e);
}

void MWidget::updateCursor(const QPointF &viewPosition)
{
    for (MControl *control : qAsConst(m_controls)) {
        if (control->updateCursor(viewPosition))
            return;
    }
    MTextureLayer *layer = m_canvas->current();
    if (!layer || (layer->visible() && !layer->locked())) {
        // Without a tool (or a brush) that sets one, the arrow.
        if (!MTools::instance()->updateCursor(viewPosition, m_transform->scale()))
            setCursor(Qt::ArrowCursor);
        return;
    }
    if (m_forbiddenCursor.isNull())
        m_forbiddenCursor = QPixmap(QStringLiteral(":/icons/forbidden-cursor.ico"));
    if (m_forbiddenCursor.isNull())
        setCursor(Qt::ForbiddenCursor);
    else
        setCursor(QCursor(m_forbiddenCursor));
}

void MWidget::updateCursor()
{
    updateCursor(mapFromGlobal(QCursor::pos()));
}

bool MWidget::isGridAlignmentActive() const
{
    return MSettings::instance()->alignToGrid() != m_altDown;
}

double MWidget::snapCoordinate(double value) const
{
    if (!isGridAlignmentActive())
        return value;
    const double g = MSettings::instance()->alignToGridSize();
    return std::floor(value / g + 0.5) * g;
}

QPointF MWidget::snapToGrid(const QPointF &point) const
{
    return QPointF(snapCoordinate(point.x()), snapCoordinate(point.y()));
}

// The effect that drag data names by its row in the effect library; null
// when the data carries none.
static MShader *droppedShader(const QMimeData *data)
{
    MShaderList *list = MShaderList::instance();
    const QByteArray bytes = data ? data->data(list->mimeType()) : QByteArray();
    if (bytes.isEmpty())
        return nullptr;
    QDataStream stream(bytes);
    int row = -1;
    stream >> row;
    if (stream.status() != QDataStream::Ok)
        return nullptr;
    return list->shaderAt(row);
}

void MWidget::dragEnterEvent(QDragEnterEvent *e)
{
    m_dropAccepted = m_canvas->current() && droppedShader(e->mimeData());
    if (m_dropAccepted)
        e->acceptProposedAction();
    else
        e->ignore();
}

void MWidget::dragMoveEvent(QDragMoveEvent *e)
{
    if (m_dropAccepted)
        e->acceptProposedAction();
    else
        e->ignore();
}

void MWidget::dropEvent(QDropEvent *e)
{
    MTextureLayer *layer = m_canvas->current();
    if (layer && m_dropAccepted) {
        if (MShader *shader = droppedShader(e->mimeData())) {
            const MShaderObject::ShaderState before = layer->shaderState();
            layer->set_shaderId(shader->id());
            layer->set_isShaderActive(true);
            // Putting an effect on a layer is undone like any layer change.
            m_canvas->updateLayerShader(m_canvas->currentRow(), before, layer->shaderState());
            m_canvas->refresh();
        }
    }
    m_dropAccepted = false;
}

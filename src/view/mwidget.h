#pragma once

#include "mevent.h"

#include <QElapsedTimer>
#include <QHash>
#include <QOpenGLWidget>
#include <QTransform>
#include <QPixmap>
#include <QPointer>
#include <QVector>
#include <qopengl.h>

#include <memory>

class MCanvas;
struct MDocumentParts;
class MControl;
class MFrameTarget;
class MLayerCache;
class MLayerStack;
class MLowPassFilter;
class MPaintParams;
class MSmoothFilter;
class MToolValues;
class MTransform;
class MVertexBuffer;
class QAbstractAnimation;
class QOpenGLFramebufferObject;
class QOpenGLVertexArrayObject;
class QPainter;
class QTimer;

// The canvas view: shows the one document, turns pointer, wheel and key
// input into samples in canvas coordinates, pans, zooms and rotates itself,
// and hands every other gesture to the on-canvas controls and the tools.
class MWidget : public QOpenGLWidget
{
    Q_OBJECT
    Q_PROPERTY(bool firstLayerAsBackground READ firstLayerAsBackground WRITE set_firstLayerAsBackground NOTIFY firstLayerAsBackgroundChanged)
    Q_PROPERTY(QPointF translation READ translation WRITE setTranslation NOTIFY translationChanged)
    Q_PROPERTY(double scale READ scale WRITE setScale NOTIFY scaleChanged)
    Q_PROPERTY(double rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(double textOpacity READ textOpacity WRITE setTextOpacity NOTIFY textOpacityChanged)
    Q_PROPERTY(bool readOnly READ readOnly WRITE setReadOnly NOTIFY readOnlyChanged)
    Q_PROPERTY(bool interactive READ interactive WRITE setInteractive NOTIFY interactiveChanged)
    Q_PROPERTY(bool timeLineMode READ timeLineMode WRITE setTimeLineMode NOTIFY timeLineModeChanged)
    Q_PROPERTY(bool showPreviousFrame READ showPreviousFrame WRITE setShowPreviousFrame NOTIFY showPreviousFrameChanged)
public:
    static constexpr double repaintInterval = 1000.0 / 50.0; // ms between throttled repaints
    static constexpr int animationDuration = 500;             // ms of the zoom animations

    explicit MWidget(QWidget *parent = nullptr);
    ~MWidget() override;

    MCanvas *canvas() const { return m_canvas; }
    // The document's layers and parts, for whatever reads or steps through
    // them and needs nothing of the document itself.
    MLayerStack *layers() const;
    const MDocumentParts &parts() const;
    MTransform *transform() const { return m_transform; }
    MToolValues *toolValues() const { return m_toolValues; }
    QList<MControl *> controls() const { return m_controls; }
    // The images of the layers under and over a stroke's (null before the first frame).
    MLayerCache *layerCache() const { return m_layerCache.get(); }
    bool mouseInside() const { return m_mouseInside; }
    QPointF cursorCanvasPosition() const { return m_cursorCanvasPosition; }
    bool currentLayerEditable() const;
    bool isGlReady() const { return m_glReady; }

    bool firstLayerAsBackground() const { return m_firstLayerAsBackground; }
    QPointF translation() const;
    double scale() const;
    double rotation() const;
    double textOpacity() const { return m_textOpacity; }
    QString text() const { return m_text; }
    bool readOnly() const { return m_readOnly; }
    bool interactive() const { return m_interactive; }
    bool timeLineMode() const { return m_timeLineMode; }
    bool showPreviousFrame() const { return m_showPreviousFrame; }
    GLuint filterMode() const { return m_filterMode; }
    double alphaFilter() const { return m_alphaFilter; }

    // What keeps the brush from painting as the frame's top line says it;
    // empty when there is nothing to say.
    QString statusLine() const;
    bool isPartlyVisible(const QRectF &rect) const;
    bool isGridAlignmentActive() const;
    double snapCoordinate(double value) const;
    QPointF snapToGrid(const QPointF &point) const;
    void shutDown();
    void updateNow();

public slots:
    // False when a throttled request waits for the next frame.
    bool refresh(bool throttle, const QRectF &rect);
    void onPaintedRectChanged(const QRectF &rect);
    void setText(const QString &text);
    void setTextOpacity(double opacity);
    void setScale(double scale);
    void setRotation(double rotation);
    void setTranslation(const QPointF &translation);
    void setFilterMode(GLuint mode);
    void setReadOnly(bool value);
    void setInteractive(bool value);
    void set_firstLayerAsBackground(bool value);
    void setTimeLineMode(bool value);
    void setShowPreviousFrame(bool value);
    void setAlphaFilter(double alpha);
    void resetCanvas();
    void fitToView();
    void adjustToWidth();
    void adjustToHeight();
    void resetView(bool fit);
    void animateView(bool fit, double scale);
    void updateCursor(const QPointF &viewPosition);
    void updateCursor();

signals:
    void firstLayerAsBackgroundChanged(bool value);
    void translationChanged(const QPointF &value);
    void scaleChanged(double value);
    void rotationChanged(double value);
    void textOpacityChanged(double value);
    void readOnlyChanged(bool value);
    void interactiveChanged(bool value);
    void timeLineModeChanged(bool value);
    void showPreviousFrameChanged(bool value);
    void alphaFilterChanged(double value);
    void filterModeChanged(GLuint value);
    void editShaderParams();
    // The layer list's edit icon or double click asks for the layer's dialog.
    void editLayer(int row);
    // Ctrl and the right button ask for the context panel; it belongs to
    // whoever shows the view.
    void contextPanelRequested(const QPointF &viewPosition);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

public:
    // Frames drawn with a rehearsed stroke so far.
    int rehearsalCount() const { return m_rehearsalCount; }
    // Frames a second that throttled requests may bring.
    void setFrameRate(double rate) { m_frameRate = qMax(rate, 1.0); }

private:
    // Draws, unseen, the frame a press of the current brush would bring, so
    // that the press finds the driver's code for it built; again once the
    // view has settled when it is not ready yet.
    void rehearseStroke();
    void paintRehearsal();
    bool readyToRehearse() const;
    bool fillEvent(QMouseEvent *e);
    void filterInputs(MEvent *e);
    QVector<MEvent> splineSegment() const;
    void appendToGesture(const MEvent &e);
    void finishGesture(const MEvent &release);
    void preDispatch(MEvent *e);
    void dispatchEvent(MEvent *e);
    void resetInputFilters();
    void clearGesture();
    void wheelRotate(int delta);
    void wheelZoom(int delta, const QPointF &viewPosition);
    void wheelTranslateHorizontal(int delta);
    void wheelTranslateVertical(int delta);
    bool smoothing() const;
    void paintCanvasGL();
    void makeFrameCurrent();
    void paintTilingCopies(MPaintParams *params);
    // The single-sampled target of the view's size, made when missing.
    QOpenGLFramebufferObject *compositeTarget();
    // Hidden views (grabbed) draw through them at once.
    bool usesTargets() const { return m_targetsWanted || !window()->isVisible(); }
    void paintOverlay(QPainter *p);
    void paintStatusText(QPainter *p);
    void drawText(QPainter *p, const QString &text, int position, double opacity, const QColor &textColor,
                  const QColor &fillColor, const QColor &borderColor, int pixelSize, int inset, int margin);
    void repaintAll();
    void requestFrame(const QRect &area);
    void requestStrokeEdgeFrame(const QRect &area, bool fullBefore, const QRectF &paintedBefore);
    void presentStrokeEnd();
    void paintWaitingFrame();
    void reachRestingPointer();

    bool m_firstLayerAsBackground = true;
    MTransform *m_transform;
    QElapsedTimer m_repaintClock;
    // What throttled requests asked for since the last frame; the frame
    // timer paints it when the interval is over, so that no stamp is missed.
    QRect m_waitingArea;
    bool m_waitingWhole = false;
    QTimer *m_frameTimer;
    // Fires when the pointer held still for a frame with the button down: the
    // stroke is then drawn up to the pointer itself.
    QTimer *m_restTimer;
    // During a stroke a frame recomposites only what the stroke changed,
    // unless something asked for the whole view since the last frame.
    QRect m_dirtyRect;
    bool m_fullRepaint = true;
    // The multisampled frame, resolved into the widget's only where a frame drew.
    std::unique_ptr<MFrameTarget> m_frameTarget;
    // Until its first frame is on the screen, a shown view draws straight
    // into the widget's own frame buffer: the targets cost a software driver
    // hundreds of milliseconds to make, which the window's first showing
    // need not wait for. The frame after it is drawn whole with them.
    bool m_targetsWanted = false;
    // All the stroke changed since its press, in view coordinates.
    QRect m_strokeArea;
    // While the frame of a lifted pen is painted, before its stroke is merged.
    bool m_penLifted = false;
    // The frame that starts or ends a stroke, recomposited over its area.
    bool m_strokeEdgeFrame = false;
    // The frame being painted is the one of a stroke's press or release.
    bool m_paintingEdgeFrame = false;
    QTransform m_paintedMatrix;
    QElapsedTimer m_eventClock;
    MCanvas *m_canvas;
    QPointF m_lastViewPosition;
    QPointF m_pressViewPosition;
    QPointF m_lastCanvasPosition;
    int m_pressedButton = 0;
    bool m_buttonDown = false;
    QVector<MEvent> m_gesture;
    MEvent m_event;
    // The press a sized tool has not been given yet.
    MEvent m_heldPress;
    double m_totalTime = 0.0;
    double m_totalDistance = 0.0;
    double m_frameRate = 50.0;
    MSmoothFilter *m_speedFilter;
    MSmoothFilter *m_distanceFilter;
    bool m_altDown = false;
    double m_minimumMove = 0.2;
    double m_alphaFilter = 0.5;
    GLuint m_filterMode = 0x2600;
    bool m_dropAccepted = false;
    QPointF m_panDelta;
    QHash<int, MLowPassFilter *> m_inputFilters;
    QPointF m_cursorCanvasPosition;
    QList<MControl *> m_controls;
    MToolValues *m_toolValues = nullptr;
    bool m_mouseInside = false;
    bool m_pressPending = false;
    // A press reached the tools and its release has not.
    bool m_pressDelivered = false;
    bool m_readOnly = false;
    bool m_interactive = true;
    bool m_spaceDown = false;
    QPixmap m_forbiddenCursor;

    bool m_firstShow = true;
    bool m_rehearsalPending = false;
    int m_rehearsalCount = 0;
    // Null once the zoom under way ended or was destroyed with the view.
    QPointer<QAbstractAnimation> m_animation;
    MVertexBuffer *m_vertexBuffer = nullptr;
    QOpenGLVertexArrayObject *m_vao;
    // Where frames of whole pixels are composited before they are copied into
    // the view's multisampled target.
    QOpenGLFramebufferObject *m_composite = nullptr;
    std::unique_ptr<MLayerCache> m_layerCache;
    bool m_glReady = true;
    QString m_text;
    double m_textOpacity = 0.0;
    bool m_timeLineMode = false;
    bool m_showPreviousFrame = false;
};

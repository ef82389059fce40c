#include "mlayerlistcontrol.h"

#include "mcanvas.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QFontMetrics>
#include <QOpenGLContext>
#include <QOpenGLVertexArrayObject>
#include <QPainter>

namespace {
QFont nameFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    return font;
}
} // namespace

MLayerListControl::MLayerListControl(MWidget *view)
    : MControl(view)
    , m_view(view)
    , m_position(MSettings::instance()->thumbnailPosition())
    , m_fit(new MTransform(this))
    , m_vao(new QOpenGLVertexArrayObject(this))
{
    if (MCanvas *document = canvas())
        connect(document, &MCanvas::currentRowChanged, this, &MLayerListControl::ensureVisible);
    connect(MSettings::instance(), &MSettings::thumbnailPositionChanged, this, &MLayerListControl::setPosition);
}

MCanvas *MLayerListControl::canvas() const
{
    return m_view ? m_view->canvas() : nullptr;
}

int MLayerListControl::size() const
{
    return MSettings::instance()->thumbnailSize();
}

int MLayerListControl::place(int row) const
{
    const int n = canvas() ? canvas()->count() : 0;
    return (n - row - 1) * (size() + 5) + 10;
}

QRectF MLayerListControl::squareRect(int row) const
{
    const double s = size();
    const double d = place(row) - m_offset;
    const double width = m_view ? m_view->width() : 0;
    const double height = m_view ? m_view->height() : 0;
    switch (m_position) {
    case 1: return QRectF(d, 10, s, s);
    case 2: return QRectF(width - 10 - s, d, s, s);
    case 3: return QRectF(d, height - 10 - s, s, s);
    default: return QRectF(10, d, s, s);
    }
}

QRectF MLayerListControl::iconRect(const QRectF &square, int icon) const
{
    const double step = (iconSize + margin) * icon;
    switch (m_position) {
    case 1: return QRectF(square.left() + step, square.bottom() + margin, iconSize, iconSize);
    case 2: return QRectF(square.left() - margin - iconSize, square.top() + step, iconSize, iconSize);
    case 3: return QRectF(square.left() + step, square.top() - margin - iconSize, iconSize, iconSize);
    default: return QRectF(square.right() + margin, square.top() + step, iconSize, iconSize);
    }
}

QRectF MLayerListControl::badgeRect(const QRectF &square) const
{
    return QRectF(square.right() - iconSize - margin, square.bottom() - iconSize - margin, iconSize, iconSize);
}

QRectF MLayerListControl::nameRect(const QRectF &square) const
{
    return QRectF(square.left() + margin, square.top() + margin, square.width() - 2 * margin,
                  QFontMetrics(nameFont()).height());
}

QRectF MLayerListControl::opacityBarRect(const QRectF &square, double opacity) const
{
    const double bottom = square.bottom() - 1;
    return QRectF(square.left() + margin, bottom - opacityBarHeight, (square.width() - 2 * margin) * opacity,
                  opacityBarHeight);
}

bool MLayerListControl::isOnScreen(const QRectF &square) const
{
    if (!m_view)
        return false;
    const QRectF view(m_view->rect());
    return square.intersects(view) && !square.contains(view);
}

int MLayerListControl::maximumOffset() const
{
    MCanvas *document = canvas();
    if (!document || !m_view || document->count() == 0)
        return 0;
    const int saved = m_offset;
    auto *self = const_cast<MLayerListControl *>(this);
    self->m_offset = 0;
    QRectF all;
    for (int i = 0; i < document->count(); ++i)
        all = all.united(squareRect(i));
    self->m_offset = saved;
    const bool horizontal = m_position == 1 || m_position == 3;
    const double extent = horizontal ? all.width() : all.height();
    const double viewExtent = horizontal ? m_view->width() : m_view->height();
    return qMax(0, int(extent + 10 - viewExtent + 10));
}

void MLayerListControl::clampOffset()
{
    m_offset = qBound(0, m_offset, maximumOffset());
}

QColor MLayerListControl::squareColor(int row, double *opacity) const
{
    MSettings *settings = MSettings::instance();
    MCanvas *document = canvas();
    QColor color = settings->thumbnailColor();
    *opacity = settings->thumbnailOpacity();
    if (document && row == document->currentRow()) {
        color = settings->thumbnailSelectionColor();
        *opacity = 1.0;
    }
    const MTextureLayer *layer = document ? document->at(row) : nullptr;
    if (layer && (layer->locked() || !layer->visible()))
        color = QColor(255, 200, 200);
    return color;
}

QRectF MLayerListControl::rect()
{
    QRectF bounds;
    MCanvas *document = canvas();
    for (int i = 0; document && i < document->count(); ++i) {
        const QRectF square = squareRect(i);
        if (isOnScreen(square))
            bounds = bounds.united(square);
    }
    return bounds;
}

void MLayerListControl::paintGL()
{
    MCanvas *document = canvas();
    MSettings *settings = MSettings::instance();
    if (!document || !m_view || !settings->showThumbnails() || !m_view->context())
        return;
    clampOffset();
    if (!m_vao->isCreated())
        m_vao->create();
    MPaintEngine *engine = document->paintEngine();
    const QRectF painted = document->paintedRect();
    for (int i = document->count() - 1; i >= 0; --i) {
        const QRectF square = squareRect(i);
        if (!isOnScreen(square))
            continue;
        if (settings->showThumbnailsNamesOnly() && i != document->currentRow())
            continue;
        double opacity = 1.0;
        const QColor color = squareColor(i, &opacity);
        double scale = 1.0;
        MGeometry::fitRect(painted, square, scale);
        m_fit->fit(painted, scale, square.center());
        MPaintParams params;
        params.context = m_view->context();
        params.parts = document->parts();
        params.rect = painted;
        params.clipToPaintedRect = true;
        params.programList = document->shaderProgramList();
        params.viewport = QRectF(m_view->rect());
        params.transform = m_fit;
        params.vertexArray = m_vao;
        engine->renderColorRect(&params, square, color, opacity);
        params.layer = document->at(i);
        params.underLayer = document->at(i - 1);
        params.setProgramName(QStringLiteral("basic"));
        params.opacity = 1.0;
        engine->applyProgram(&params);
    }
}

void MLayerListControl::paint(QPainter *painter)
{
    MCanvas *document = canvas();
    MSettings *settings = MSettings::instance();
    if (!document || !settings->showThumbnails())
        return;
    painter->save();
    // The tools paint before the controls and may leave a clip behind.
    painter->resetTransform();
    painter->setClipping(false);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool namesOnly = settings->showThumbnailsNamesOnly();
    const double frameOpacity = settings->thumbnailOpacity();
    for (int i = document->count() - 1; i >= 0; --i) {
        const QRectF square = squareRect(i);
        if (!isOnScreen(square))
            continue;
        const MTextureLayer *layer = document->at(i);
        const bool current = i == document->currentRow();
        if (square.width() >= 100) {
            painter->setOpacity(1.0);
            painter->setFont(nameFont());
            painter->setPen(Qt::black);
            painter->drawText(nameRect(square), Qt::AlignLeft | Qt::AlignVCenter, layer->name());
        }
        if (current) {
            painter->setOpacity(1.0);
            painter->setPen(Qt::NoPen);
            const QString icons[] = {
                layer->visible() ? QStringLiteral(":/icons/visible.ico") : QStringLiteral(":/icons/hide.ico"),
                layer->locked() ? QStringLiteral(":/icons/lock-on.ico") : QStringLiteral(":/icons/lock-off.ico"),
                QStringLiteral(":/icons/edit.ico")};
            for (int k = 0; k < 3; ++k)
                painter->drawPixmap(iconRect(square, k).toRect(), QPixmap(icons[k]));
        }
        painter->setOpacity(current ? 1.0 : frameOpacity);
        painter->setPen(current ? Qt::darkGray : Qt::lightGray);
        painter->setBrush(namesOnly && !current ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
        painter->drawRect(square);
        if (layer->opacity() != 1.0) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(QColor(QStringLiteral("#0080ff")));
            painter->drawRect(opacityBarRect(square, layer->opacity()));
        }
        if (layer->hasShader()) {
            painter->setOpacity(1.0);
            painter->drawPixmap(badgeRect(square).toRect(), QPixmap(QStringLiteral(":/icons/show-fx.ico")));
        }
    }
    painter->restore();
}

int MLayerListControl::layerAt(const QPointF &viewPosition) const
{
    MCanvas *document = canvas();
    for (int i = document ? document->count() - 1 : -1; i >= 0; --i) {
        if (squareRect(i).contains(viewPosition))
            return i;
    }
    return -1;
}

bool MLayerListControl::updateCursor(const QPointF &viewPosition)
{
    MCanvas *document = canvas();
    if (!m_view || !document || !enabled() || !visible() || !MSettings::instance()->showThumbnails())
        return false;
    if (document->current()) {
        const QRectF square = squareRect(document->currentRow());
        for (int k = 0; k < 3; ++k) {
            if (iconRect(square, k).contains(viewPosition)) {
                m_view->setCursor(Qt::ArrowCursor);
                return true;
            }
        }
    }
    if (layerAt(viewPosition) >= 0) {
        m_view->setCursor(Qt::PointingHandCursor);
        return true;
    }
    return false;
}

double MLayerListControl::along(const QPointF &point) const
{
    return m_position == 1 || m_position == 3 ? point.x() : point.y();
}

bool MLayerListControl::mousePressEvent(MEvent *e)
{
    MCanvas *document = canvas();
    if (!enabled() || !visible() || !document || !m_view || !MSettings::instance()->showThumbnails())
        return false;
    const QPointF point = e->viewPosition;
    m_lastPosition = point;
    if (MTextureLayer *layer = document->current()) {
        const int row = document->currentRow();
        const QRectF square = squareRect(row);
        if (isOnScreen(square)) {
            if (iconRect(square, VisibilityIcon).contains(point)) {
                document->showLayer(row);
                m_view->update();
                return true;
            }
            if (iconRect(square, LockIcon).contains(point)) {
                document->lockLayer(row);
                m_view->update();
                return true;
            }
            if (iconRect(square, EditIcon).contains(point)) {
                emit editLayer(row);
                m_view->update();
                return true;
            }
            if (layer->hasShader() && badgeRect(square).contains(point)) {
                emit editShaderParams();
                m_view->update();
                return true;
            }
        }
    }
    const int row = layerAt(point);
    if (row < 0)
        return false;
    emit layerSelected(row);
    document->setCurrentRow(row);
    m_view->update();
    m_dragging = true;
    return true;
}

bool MLayerListControl::mouseMoveEvent(MEvent *e)
{
    if (!m_dragging)
        return false;
    m_offset += int(along(m_lastPosition) - along(e->viewPosition));
    m_lastPosition = e->viewPosition;
    if (m_view)
        m_view->update();
    return true;
}

bool MLayerListControl::mouseReleaseEvent(MEvent *)
{
    m_dragging = false;
    return false;
}

bool MLayerListControl::mouseDoubleClickEvent(MEvent *e)
{
    MCanvas *document = canvas();
    if (!enabled() || !visible() || !document)
        return false;
    const int row = layerAt(e->viewPosition);
    if (row < 0)
        return false;
    emit editLayer(row);
    return true;
}

void MLayerListControl::setPosition(int value)
{
    if (value == m_position)
        return;
    m_position = value;
    if (m_view)
        m_view->update();
}

void MLayerListControl::ensureVisible(int row)
{
    if (!canvas() || !canvas()->at(row) || isOnScreen(squareRect(row)))
        return;
    m_offset = qBound(0, place(row), maximumOffset());
}

#include "mtexttool.h"

#include "manimframe.h"
#include "mbrushstyle.h"
#include "mlayeredits.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mfontstyle.h"
#include "mshapetool.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QLineF>
#include <QPainter>

MTextTool::MTextTool(ToolId toolId, QObject *parent)
    : MPlacingTool(toolId, parent)
    , m_strokeStyle(new MStrokeStyle(this))
    , m_brushStyle(new MBrushStyle(this))
    , m_fontStyle(new MFontStyle(this))
{
    set_pointId(MToolValues::TextPoints);
    init();
    m_strokeStyle->set_dashLength(0);
    connect(MColorList::instance(), &MColorList::colorChanged, this, &MTextTool::setColor);
    connect(m_fontStyle, &MFontStyle::fontStyleChanged, this, &MTextTool::computeBuildPath);
    setText(tr("Text"));
}

void MTextTool::init()
{
    m_textCursor = QCursor(QPixmap(QStringLiteral(":/icons/tools/text-tool.ico")), 0, 0);
    setCursor(m_textCursor);
    m_grabMode = NoGrab;
    m_rotationCursor = QCursor(QPixmap(QStringLiteral(":/icons/rotation.ico")), 8, 8);
    setTextPoint(QPointF(0, 0));
    setTextHeight(300);
    setTextAngle(0);
    const char *icons[] = {":/icons/rotate-topleft.ico", ":/icons/rotate-topright.ico", ":/icons/rotate-bottomleft.ico",
                           ":/icons/rotate-bottomright.ico"};
    for (int i = 0; i < 4; ++i)
        m_rotationIcons[i] = QIcon(QString::fromLatin1(icons[i]));
    set_selectionMode(0);
    m_path = QPainterPath();
}

QString MTextTool::text() const
{
    return value(MToolValues::TextString).toString();
}

double MTextTool::textAngle() const
{
    return doubleValue(MToolValues::TextAngle);
}

int MTextTool::textHeight() const
{
    return m_fontStyle->size();
}

void MTextTool::setText(const QString &text)
{
    if (text == this->text())
        return;
    setValue(MToolValues::TextString, text);
    computeBuildPath();
    emit textChanged(text);
    emit toolChanged(this);
}

void MTextTool::setTextAngle(double angle)
{
    if (angle == textAngle())
        return;
    setValue(MToolValues::TextAngle, angle);
    emit textAngleChanged(angle);
    computeBuildPath();
    emit toolChanged(this);
}

void MTextTool::setTextHeight(int height)
{
    if (height == m_fontStyle->size())
        return;
    m_fontStyle->set_size(height);
    computeBuildPath();
    emit textHeightChanged(height);
    emit toolChanged(this);
}

void MTextTool::setTextPoint(const QPointF &p)
{
    const QPointF current = point(0);
    if (pointCount() > 0 && qAbs(p.x() - current.x()) <= 1e-12 && qAbs(p.y() - current.y()) <= 1e-12)
        return;
    if (pointCount() == 0)
        addPoint(p);
    else
        setPoint(0, p);
    emit textPointChanged(p);
    emit toolChanged(this);
}

void MTextTool::computeBuildPath()
{
    // Only a placed item has an outline.
    if (m_path.isEmpty() && m_grabMode != MoveGrab) {
        emit toolChanged(this);
        return;
    }
    QPainterPath path;
    path.addText(QPointF(0, 0), m_fontStyle->font(), text());
    m_path = MShapeTool::rotatedAndCentred(path, textAngle());
    emit toolChanged(this);
}

void MTextTool::setColor(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    MShapeTool::applyColor(m_strokeStyle, m_brushStyle, color, modifiers);
}

QRectF MTextTool::itemRect() const
{
    return m_path.boundingRect().translated(point(0));
}

int MTextTool::hitTest(const QPointF &canvasPoint) const
{
    MWidget *view = MTools::widget();
    if (!view || m_path.isEmpty())
        return NoGrab;
    const QRectF frame = view->transform()->mapRect(itemRect());
    const QPointF v = view->transform()->map(canvasPoint);
    if (MShapeTool::inRotationZone(frame, v))
        return RotateGrab;
    if (QLineF(QPointF(frame.center().x(), frame.bottom()), v).length() <= 10)
        return HeightGrab;
    if (m_path.translated(point(0)).contains(canvasPoint))
        return MoveGrab;
    return NoGrab;
}

bool MTextTool::mousePressEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton)
        return false;
    const QPointF p = MShapeTool::eventPosition(event);
    m_grabMode = hitTest(p);
    m_pressPoint = p;
    m_positionAtPress = point(0);
    m_heightAtPress = m_fontStyle->size();
    m_angleAtPress = int(textAngle());
    if (m_path.isEmpty()) {
        setTextPoint(MShapeTool::snapped(p));
        // Builds the outline of the new item; the gesture itself does not move it.
        m_grabMode = MoveGrab;
        computeBuildPath();
        m_grabMode = NoGrab;
        m_animation->start(100);
        showText(tr("Press enter key or apply button to include the item in the current layer."));
    }
    // What the painter types next is the text, not a tool's key.
    emit textEntryWanted();
    return true;
}

void MTextTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton || m_grabMode == NoGrab)
        return;
    const QPointF p = MShapeTool::eventPosition(event);
    const QPointF d = MShapeTool::snapped(p - m_pressPoint);
    if (m_grabMode == MoveGrab) {
        setTextPoint(MShapeTool::snapped(m_positionAtPress + d));
    } else if (m_grabMode == RotateGrab) {
        setTextAngle(MShapeTool::draggedAngle(point(0), m_pressPoint, p, m_angleAtPress, 5));
    } else if (m_grabMode == HeightGrab) {
        const double height = m_heightAtPress + d.y();
        setTextHeight(int(height > 5 ? height : 5));
        setTextPoint(m_positionAtPress + QPointF(0, d.y() / 2));
    }
    computeBuildPath();
}

void MTextTool::cursorFor(int mode)
{
    switch (mode) {
    case MoveGrab: setCursor(Qt::SizeAllCursor); break;
    case HeightGrab: setCursor(Qt::SizeVerCursor); break;
    case RotateGrab: setCursor(m_rotationCursor); break;
    default: setCursor(m_path.isEmpty() ? m_textCursor : QCursor(Qt::ArrowCursor)); break;
    }
}

void MTextTool::mouseHoverEvent(MEvent *event)
{
    cursorFor(hitTest(MShapeTool::eventPosition(event)));
}

bool MTextTool::updateCursor(const QPointF &viewPosition, double)
{
    MWidget *view = MTools::widget();
    if (!view)
        return false;
    cursorFor(hitTest(view->transform()->mapFromView(viewPosition)));
    return true;
}

void MTextTool::dropItem()
{
    m_path = QPainterPath();
    m_animation->stop();
    setCursor(m_textCursor);
    emit toolChanged(this);
    emit textEntryDone();
}

bool MTextTool::dropForEscape()
{
    if (m_path.isEmpty())
        return false;
    dropItem();
    return true;
}

void MTextTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view || m_path.isEmpty())
        return;
    const QTransform matrix = view->transform()->matrix();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setFont(m_fontStyle->font());
    painter->setBrush(m_brushStyle->brush(m_path.boundingRect()));
    painter->setPen(m_strokeStyle->pen());
    QTransform item;
    item.translate(point(0).x(), point(0).y());
    painter->setTransform(item * matrix);
    painter->drawPath(m_path);
    painter->resetTransform();
    const QRectF frame = view->transform()->mapRect(itemRect());
    MShapeTool::paintFrame(painter, frame, m_animation, {QPointF(frame.center().x(), frame.bottom())}, m_rotationIcons);
    painter->setTransform(matrix);
}

QImage MTextTool::renderImage() const
{
    if (!MTools::widget() || m_path.isEmpty())
        return QImage();
    return MShapeTool::renderPath(m_path, itemRect(), m_brushStyle->brush(m_path.boundingRect()), m_strokeStyle->pen());
}

void MTextTool::apply(Qt::KeyboardModifiers modifiers)
{
    MWidget *view = MTools::widget();
    if (!view || m_path.isEmpty())
        return;
    m_animation->stop();
    const QImage image = renderImage();
    if (!image.isNull())
        edits()->pasteImage(point(0), image, false, tr("Add a text"), -1, QRectF(), 0);
    if (modifiers.testFlag(Qt::ControlModifier)) {
        setTextPoint(point(0) + QPointF(10, 10));
        m_animation->start(100);
        setCursor(Qt::ArrowCursor);
        emit toolChanged(this);
    } else {
        dropItem();
    }
}

void MTextTool::apply()
{
    apply(Qt::NoModifier);
}

void MTextTool::applyAsSelection()
{
    if (!MTools::widget() || m_path.isEmpty())
        return;
    computeBuildPath();
    MShapeTool::selectPath(m_path.translated(point(0)), m_selectionMode);
    // Unlike a shape, the text does not stay once it has become a selection.
    dropItem();
}


#include "mshapetool.h"

#include "manimframe.h"
#include "mbrushstyle.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mlayeredits.h"
#include "msettings.h"
#include "mshape.h"
#include "mselection.h"
#include "mselectiontool.h"
#include "mshapelist.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QLineF>
#include <QPainter>
#include <QtMath>

namespace {
const QString group = QStringLiteral("ShapeTool");
} // namespace

QPointF MShapeTool::eventPosition(const MEvent *event)
{
    return QPointF(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]);
}

QPointF MShapeTool::snapped(const QPointF &point)
{
    MWidget *view = MTools::widget();
    return view ? view->snapToGrid(point) : point;
}

MShapeTool::MShapeTool(ToolId toolId, QObject *parent)
    : MPlacingTool(toolId, parent)
    , m_brushStyle(new MBrushStyle(this))
    , m_strokeStyle(new MStrokeStyle(this))
{
    set_pointId(MToolValues::ShapePoints);
    init();
    connect(MColorList::instance(), &MColorList::colorChanged, this, &MShapeTool::setColor);
    connect(MShapeList::instance(), &MTableModel::currentRowChanged, this, &MShapeTool::setShape);
}

MShapeTool::~MShapeTool()
{
    writeSettings();
}

void MShapeTool::init()
{
    m_rotationCursor = QCursor(QPixmap(QStringLiteral(":/icons/rotation.ico")), 8, 8);
    m_grabMode = NoGrab;
    m_strokeStyle->set_dashLength(0);
    m_strokeStyle->set_strokeSize(3);
    m_strokeStyle->set_strokeColor(Qt::darkGray);
    m_strokeStyle->set_strokeStyle(MStrokeStyle::SolidLine);
    setFirstPoint(QPointF(0, 0));
    setWidth(100);
    setHeight(100);
    setAngle(0);
    m_initialSize = QSizeF(100, 100);
    const char *icons[] = {":/icons/rotate-topleft.ico", ":/icons/rotate-topright.ico", ":/icons/rotate-bottomleft.ico",
                           ":/icons/rotate-bottomright.ico"};
    for (int i = 0; i < 4; ++i)
        m_rotationIcons[i] = QIcon(QString::fromLatin1(icons[i]));
    m_path = QPainterPath();
    set_selectionMode(0);
    readSettings();
}

void MShapeTool::readSettings()
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    m_strokeStyle->set_strokeSize(settings->value(QStringLiteral("strokeSize"), 3).toDouble());
    m_strokeStyle->set_strokeColor(settings->value(QStringLiteral("strokeColor"), QColor(Qt::darkGray)).value<QColor>());
    m_strokeStyle->set_strokeStyle(settings->value(QStringLiteral("strokeStyle"), int(MStrokeStyle::SolidLine)).toInt());
    m_brushStyle->set_brushColor(settings->value(QStringLiteral("brushColor"), QColor(Qt::lightGray)).value<QColor>());
    m_brushStyle->set_gradientColor(settings->value(QStringLiteral("gradientColor"), QColor(Qt::white)).value<QColor>());
    m_brushStyle->set_gradientStyle(settings->value(QStringLiteral("gradientStyle"), int(MBrushStyle::SolidGradient)).toInt());
    settings->endGroup();
}

void MShapeTool::writeSettings() const
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    settings->setValue(QStringLiteral("strokeSize"), m_strokeStyle->strokeSize());
    settings->setValue(QStringLiteral("strokeColor"), m_strokeStyle->strokeColor());
    settings->setValue(QStringLiteral("strokeStyle"), m_strokeStyle->strokeStyle());
    settings->setValue(QStringLiteral("brushColor"), m_brushStyle->brushColor());
    settings->setValue(QStringLiteral("gradientColor"), m_brushStyle->gradientColor());
    settings->setValue(QStringLiteral("gradientStyle"), m_brushStyle->gradientStyle());
    settings->endGroup();
}

void MShapeTool::setWidth(double width)
{
    if (m_width == width)
        return;
    m_width = width;
    computeBuildPath();
    emit widthChanged(width);
    emit toolChanged(this);
}

void MShapeTool::setHeight(double height)
{
    if (m_height == height)
        return;
    m_height = height;
    computeBuildPath();
    emit heightChanged(height);
    emit toolChanged(this);
}

void MShapeTool::setAngle(double angle)
{
    if (m_angle == angle)
        return;
    m_angle = angle;
    computeBuildPath();
    emit angleChanged(angle);
    emit toolChanged(this);
}

void MShapeTool::setFirstPoint(const QPointF &point)
{
    if (qAbs(point.x() - m_position.x()) <= 1e-12 && qAbs(point.y() - m_position.y()) <= 1e-12)
        return;
    m_position = point;
    emit imagePointChanged(point);
    emit toolChanged(this);
}

void MShapeTool::setShape()
{
    if (m_path.isEmpty()) {
        MShape *shape = MShapeList::instance()->currentShape();
        setWidth(shape->width());
        setHeight(shape->height());
    }
    computeBuildPath();
}

void MShapeTool::resetTransfo()
{
    setAngle(0);
    setWidth(m_initialSize.width());
    setHeight(m_initialSize.height());
}

void MShapeTool::computeBuildPath()
{
    // Only a placed item has an outline; the size alone waits for the press.
    if (m_path.isEmpty() && m_grabMode != MoveGrab) {
        emit toolChanged(this);
        return;
    }
    MShape *shape = MShapeList::instance()->currentShape();
    m_path = rotatedAndCentred(shape->buildPath(QRectF(m_width / 2, -m_height / 2, m_width, m_height)), m_angle);
    emit toolChanged(this);
}

void MShapeTool::setColor(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    applyColor(m_strokeStyle, m_brushStyle, color, modifiers);
}

void MShapeTool::applyColor(MStrokeStyle *stroke, MBrushStyle *brush, const QColor &color,
                            Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ControlModifier))
        stroke->set_strokeColor(color);
    else if (modifiers.testFlag(Qt::ShiftModifier))
        brush->set_gradientColor(color);
    else
        brush->set_brushColor(color);
}

QPainterPath MShapeTool::rotatedAndCentred(const QPainterPath &path, double angle)
{
    const QPointF centre = path.boundingRect().center();
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.rotate(angle);
    transform.translate(-centre.x(), -centre.y());
    QPainterPath turned = transform.map(path);
    turned.translate(-turned.boundingRect().center());
    return turned;
}

QRectF MShapeTool::itemRect() const
{
    const double grow = m_strokeStyle->strokeSize() / 2;
    return m_path.boundingRect().adjusted(-grow, -grow, grow, grow).translated(m_position);
}

bool MShapeTool::inRotationZone(const QRectF &frame, const QPointF &viewPoint)
{
    const QPointF zones[] = {frame.topLeft() + QPointF(-10, -10), frame.topRight() + QPointF(10, -10),
                             frame.bottomLeft() + QPointF(-10, 10), frame.bottomRight() + QPointF(10, 10)};
    for (const QPointF &zone : zones) {
        if (MTool::centeredRect(zone, QSizeF(10, 10)).contains(viewPoint))
            return true;
    }
    return false;
}

int MShapeTool::draggedAngle(const QPointF &centre, const QPointF &press, const QPointF &p, int angleAtPress, int step)
{
    const double a = QLineF(centre, p).angleTo(QLineF(centre, press));
    int n = int(a + angleAtPress);
    n -= n % step;
    return n % 360;
}

void MShapeTool::paintFrame(QPainter *painter, const QRectF &frame, const MAnimFrame *animation,
                            const QVector<QPointF> &handles, const QIcon *rotationIcons)
{
    QPen dashed(Qt::darkGreen, 1);
    dashed.setDashPattern(animation->dashPattern);
    dashed.setDashOffset(animation->dashOffset);
    painter->setPen(dashed);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame);
    painter->setPen(QPen(Qt::darkGreen, 1));
    painter->setBrush(Qt::green);
    for (const QPointF &handle : handles)
        MTool::drawHandle(painter, handle, 10);
    const QRectF outer = frame.adjusted(-10, -10, 10, 10);
    const QPointF corners[] = {outer.topLeft(), outer.topRight(), outer.bottomLeft(), outer.bottomRight()};
    for (int i = 0; i < 4; ++i)
        MTool::drawIcon(painter, corners[i], rotationIcons[i], 16);
}

QImage MShapeTool::renderPath(const QPainterPath &path, const QRectF &rect, const QBrush &brush, const QPen &pen)
{
    QImage image;
    MUtility::newImage(image, int(rect.width()), int(rect.height()), true);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(image.width() / 2.0, image.height() / 2.0);
    painter.setBrush(brush);
    painter.setPen(pen);
    painter.drawPath(path);
    return image;
}

int MShapeTool::hitTest(const QPointF &canvasPoint) const
{
    MWidget *view = MTools::widget();
    if (!view)
        return NoGrab;
    const QRectF frame = view->transform()->mapRect(itemRect());
    const QPointF v = view->transform()->map(canvasPoint);
    if (inRotationZone(frame, v))
        return RotateGrab;
    const struct { QPointF point; int mode; } handles[] = {
        {frame.topLeft(), TopLeftGrab}, {frame.topRight(), TopRightGrab},
        {frame.bottomLeft(), BottomLeftGrab}, {frame.bottomRight(), BottomRightGrab},
        {QPointF(frame.left(), frame.center().y()), LeftGrab}, {QPointF(frame.right(), frame.center().y()), RightGrab},
        {QPointF(frame.center().x(), frame.top()), TopGrab}, {QPointF(frame.center().x(), frame.bottom()), BottomGrab}};
    for (const auto &handle : handles) {
        if (QLineF(handle.point, v).length() <= 10)
            return handle.mode;
    }
    if (m_path.translated(m_position).contains(canvasPoint))
        return MoveGrab;
    return NoGrab;
}

bool MShapeTool::mousePressEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton)
        return false;
    const QPointF p = eventPosition(event);
    m_grabMode = m_path.isEmpty() ? NoGrab : hitTest(p);
    m_pressPoint = p;
    m_positionAtPress = m_position;
    m_rectAtPress = MTool::centeredRect(m_position, QSizeF(m_width, m_height));
    m_angleAtPress = int(m_angle);
    if (m_path.isEmpty()) {
        m_initialSize = QSizeF(m_width, m_height);
        setFirstPoint(snapped(p));
        m_positionAtPress = m_position;
        m_rectAtPress = MTool::centeredRect(m_position, QSizeF(m_width, m_height));
        m_grabMode = MoveGrab;
        computeBuildPath();
        m_animation->start(100);
        showText(tr("Press enter key or apply button to include the item in the current layer."));
    }
    return true;
}

void MShapeTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton)
        return;
    const QPointF p = eventPosition(event);
    const QPointF d = snapped(p - m_pressPoint);
    if (m_grabMode == MoveGrab) {
        setFirstPoint(snapped(m_positionAtPress + d));
    } else if (m_grabMode == RotateGrab) {
        setAngle(draggedAngle(m_position, m_pressPoint, p, m_angleAtPress, event->hasAltModifier() ? 1 : 5));
    } else if (m_grabMode >= TopGrab && m_grabMode <= BottomRightGrab) {
        const QRectF r = MTool::resizeRect(m_grabMode, d, m_rectAtPress, !event->hasControlModifier());
        setWidth(r.width());
        setHeight(r.height());
        setFirstPoint(r.center());
    }
    if (!m_path.isEmpty())
        computeBuildPath();
}

void MShapeTool::cursorFor(int mode)
{
    switch (mode) {
    case MoveGrab: setCursor(Qt::SizeAllCursor); break;
    case TopGrab: case BottomGrab: setCursor(Qt::SizeVerCursor); break;
    case LeftGrab: case RightGrab: setCursor(Qt::SizeHorCursor); break;
    case TopLeftGrab: case BottomRightGrab: setCursor(Qt::SizeFDiagCursor); break;
    case TopRightGrab: case BottomLeftGrab: setCursor(Qt::SizeBDiagCursor); break;
    case RotateGrab: setCursor(m_rotationCursor); break;
    default: setCursor(m_path.isEmpty() ? Qt::CrossCursor : Qt::ArrowCursor); break;
    }
}

void MShapeTool::mouseHoverEvent(MEvent *event)
{
    cursorFor(m_path.isEmpty() ? NoGrab : hitTest(eventPosition(event)));
}

bool MShapeTool::updateCursor(const QPointF &viewPosition, double)
{
    MWidget *view = MTools::widget();
    if (!view)
        return false;
    cursorFor(m_path.isEmpty() ? NoGrab : hitTest(view->transform()->mapFromView(viewPosition)));
    return true;
}

bool MShapeTool::dropForEscape()
{
    m_path = QPainterPath();
    emit toolChanged(this);
    return true;
}

void MShapeTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view || m_path.isEmpty())
        return;
    const QTransform matrix = view->transform()->matrix();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(m_brushStyle->brush(m_path.boundingRect()));
    painter->setPen(m_strokeStyle->pen());
    QTransform item;
    item.translate(m_position.x(), m_position.y());
    painter->setTransform(item * matrix);
    painter->drawPath(m_path);

    painter->resetTransform();
    const QRectF frame = view->transform()->mapRect(itemRect());
    paintFrame(painter, frame, m_animation,
               {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight(),
                QPointF(frame.left(), frame.center().y()), QPointF(frame.right(), frame.center().y()),
                QPointF(frame.center().x(), frame.top()), QPointF(frame.center().x(), frame.bottom())},
               m_rotationIcons);
    painter->setTransform(matrix);
}

QImage MShapeTool::renderImage() const
{
    if (!MTools::widget() || m_path.isEmpty())
        return QImage();
    // The gradient follows the item's own axes, not its rotated bounds.
    return renderPath(m_path, itemRect(), m_brushStyle->brush(QRectF(-m_width / 2, -m_height / 2, m_width, m_height)),
                      m_strokeStyle->pen());
}

void MShapeTool::apply(Qt::KeyboardModifiers modifiers)
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    m_animation->stop();
    const QImage image = renderImage();
    if (!image.isNull())
        edits()->pasteImage(m_position, image, false, tr("Add a shape"), -1, QRectF(), 0);
    if (modifiers.testFlag(Qt::ControlModifier)) {
        setFirstPoint(m_position + QPointF(10, 10));
        m_animation->start(100);
    } else {
        m_path = QPainterPath();
    }
    setCursor(m_path.isEmpty() ? Qt::CrossCursor : Qt::ArrowCursor);
    emit toolChanged(this);
}

void MShapeTool::apply()
{
    apply(Qt::NoModifier);
}

void MShapeTool::applyAsSelection()
{
    if (!MTools::widget() || m_path.isEmpty())
        return;
    selectPath(m_path.translated(m_position), m_selectionMode);
    emit toolChanged(this);
}

void MShapeTool::selectPath(const QPainterPath &path, int mode)
{
    const MSelection *documentSelection = selection();
    if (!documentSelection)
        return;
    setDocumentSelection(mode == MSelectionTool::ReplaceSelectionMode
                             ? path
                             : MSelectionTool::combined(documentSelection->path(), path, mode));
    MTools *tools = MTools::instance();
    tools->activate(MTool::SelectionTool, true);
    if (auto *selectionTool = qobject_cast<MSelectionTool *>(tools->tool(MTool::SelectionTool)))
        selectionTool->storeClip(path);
}


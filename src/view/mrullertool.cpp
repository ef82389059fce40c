#include "mrullertool.h"

#include "mevent.h"
#include "msettings.h"
#include "mstrokestyle.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QVector2D>

#include <cmath>

namespace {
const QString group = QStringLiteral("RullerTool");
const QString angleStepKey = QStringLiteral("angleStep");
const QString unitKey = QStringLiteral("unit");
} // namespace

MRullerTool::MRullerTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
    set_pointId(MToolValues::RullerPoints);
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    // The snapping divides by the step: a stored step below 1 becomes 1.
    m_angleStep = std::max(1, settings->value(angleStepKey, 5).toInt());
    m_unit = settings->value(unitKey, int(Inch)).toInt();
    settings->endGroup();
    m_unitLength = unitLengthFor(m_unit, screenDpi());
    clearPoints();
    addPoint(QPointF(0, 0));
    addPoint(QPointF(400, 0));
}

MRullerTool::~MRullerTool()
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    settings->setValue(angleStepKey, m_angleStep);
    settings->setValue(unitKey, m_unit);
    settings->endGroup();
}

double MRullerTool::screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->physicalDotsPerInch() : 0.0;
}

double MRullerTool::unitLengthFor(int unit, double dotsPerInch)
{
    // Without a resolution the ticks would never advance.
    const double dpi = dotsPerInch > 0.0 && std::isfinite(dotsPerInch) ? dotsPerInch : fallbackDpi;
    switch (unit) {
    case Inch:
        return dpi;
    case Centimeter:
        return dpi / 2.54;
    default:
        return 1.0;
    }
}

void MRullerTool::set_angleStep(int value)
{
    value = std::max(1, value);
    if (value == m_angleStep)
        return;
    m_angleStep = value;
    emit angleStepChanged(value);
}

void MRullerTool::set_unit(int value)
{
    if (value == m_unit)
        return;
    m_unit = value;
    m_unitLength = unitLengthFor(value, screenDpi());
    emit unitChanged(value);
}

QLineF MRullerTool::alignToRuler(const QLineF &l) const
{
    const QVector2D u(point(1) - point(0));
    const QVector2D v(l.p2() - l.p1());
    // A ruler folded onto its origin has no direction to offer.
    if (u.isNull())
        return l;
    const QVector2D direction = u.normalized() * v.length();
    const QPointF end = QVector2D::dotProduct(u, v) > 0.0f ? l.p1() + direction.toPointF()
                                                           : l.p1() - direction.toPointF();
    return QLineF(l.p1(), end);
}

void MRullerTool::dragEnd(const QPointF &p)
{
    const QPointF end = point(1);
    if (qAbs(end.x() - p.x()) <= 1e-12 && qAbs(end.y() - p.y()) <= 1e-12)
        return;
    const QPointF a = point(0);
    const double theta = QLineF(a, a + QPointF(200, 0)).angleTo(QLineF(a, p));
    const int k = int(theta) / m_angleStep * m_angleStep;
    const double length = QLineF(a, p).length();
    setPoint(1, a + QLineF::fromPolar(length, k).p2());
    QString format;
    switch (m_unit) {
    case Inch:
        format = tr("%1° - %2 (inch)");
        break;
    case Centimeter:
        format = tr("%1° - %2 (cm)");
        break;
    default:
        format = tr("%1° - %2 (px)");
        break;
    }
    const double shown = QLineF(a, point(1)).length() / m_unitLength;
    showText(format.arg(k).arg(QString::asprintf("%-5.2f", shown)));
    emit toolChanged(this);
}

void MRullerTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view)
        return;
    const MTransform *transform = view->transform();
    const QPointF p0 = point(0);
    const QPointF p1 = point(1);
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, true);
    QPen pen = lineStyle()->pen();
    pen.setStyle(Qt::SolidLine);
    pen.setCosmetic(true);
    // Horizontal and vertical rulers show in green.
    pen.setColor(int(QLineF(p0, p1).angle()) % 90 == 0 ? Qt::darkGreen : Qt::red);
    painter->setPen(pen);
    drawInfiniteLine(painter, transform->map(p0), transform->map(p1), QRectF(view->rect()));

    painter->setTransform(transform->matrix());
    const QLineF ruler(p0, p1);
    const double length = ruler.length();
    const QPointF d = length > 0.0 ? (p1 - p0) / length : QPointF();
    const QPointF n = QPointF(d.y(), -d.x()) * (5.0 / transform->scale());
    const double step = m_unit == Inch || m_unit == Centimeter ? m_unitLength : 20.0;
    QVector<QLineF> ticks;
    for (double f = 0.0; f <= length; f += step)
        ticks << QLineF(p0 + d * f - n, p0 + d * f + n);
    painter->drawLines(ticks);

    if (locked())
        return;
    painter->resetTransform();
    painter->setPen(defaultPen());
    const QSizeF handle(6, 6);
    painter->setBrush(handleColor);
    painter->drawRect(centeredRect(transform->map(p0), handle));
    painter->setBrush(selectedHandleColor);
    painter->drawRect(centeredRect(transform->map(p1), handle));
}

bool MRullerTool::mousePressEvent(MEvent *event)
{
    return grabHandleAt(event);
}

void MRullerTool::mouseMoveEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view || locked())
        return;
    const QPointF p = view->snapToGrid(QPointF(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]));
    if (selectedPoint() == 0)
        moveTo(p);
    else if (selectedPoint() == 1)
        dragEnd(p);
}

bool MRullerTool::keyPressEvent(QKeyEvent *)
{
    return false;
}

bool MRullerTool::updateCursor(const QPointF &viewPosition, double)
{
    return updateHandleCursor(viewPosition);
}

#include "mtoolvalues.h"

#include <QColor>

MToolValues::MToolValues(QObject *parent)
    : QObject(parent)
{
    m_values.insert(SymmetryNumber, 1);
    m_pointLists.insert(SymmetryPoints, {QPointF(0, 0), QPointF(0, -200)});
    m_values.insert(GridShowGrid, false);
    m_values.insert(GridColor, QColor(Qt::black));
    m_values.insert(GridSize, 30);
    m_pointLists.insert(PerspectivePoints,
                        {QPointF(0, 0), QPointF(-2000, 0), QPointF(2000, 0), QPointF(0, 2000)});
    m_values.insert(LeftVanishingPoint, true);
    m_values.insert(RightVanishingPoint, true);
    m_values.insert(VerticalVanishingPoint, false);
    m_values.insert(LeftDistance, 2000);
    m_values.insert(RightDistance, 2000);
    m_values.insert(VerticalDistance, 100000);
    m_pointLists.insert(LinePoints, {});
    m_values.insert(ShapeWidth, 100);
    m_values.insert(ShapeHeight, 100);
    m_pointLists.insert(ShapePoints, {QPointF(0, 0)});
    m_values.insert(ShapeAngle, 0);
    m_values.insert(TextString, tr("Text"));
    m_pointLists.insert(TextPoints, {QPointF(0, 0)});
    m_values.insert(TextAngle, 0);
    m_values.insert(ImageWidth, 100);
    m_values.insert(ImageHeight, 100);
    m_pointLists.insert(ImagePoints, {QPointF(0, 0)});
    m_values.insert(ImageAngle, 0);
    m_pointLists.insert(SelectionPoints, {});
    m_pointLists.insert(GradientPoints, {});
    m_pointLists.insert(RullerPoints, {QPointF(0, 0), QPointF(300, 0)});
}

QVariant MToolValues::value(int id) const
{
    return m_values.value(id);
}

int MToolValues::intValue(int id) const
{
    return m_values.value(id).toInt();
}

double MToolValues::doubleValue(int id) const
{
    return m_values.value(id).toDouble();
}

QPointF MToolValues::point(int id, int index) const
{
    const QVector<QPointF> &list = points(id);
    if (index < 0 || index >= list.size())
        return QPointF();
    return list.at(index);
}

int MToolValues::pointCount(int id) const
{
    return points(id).size();
}

const QVector<QPointF> &MToolValues::points(int id) const
{
    const auto it = m_pointLists.constFind(id);
    return it == m_pointLists.constEnd() ? m_emptyPoints : *it;
}

QPolygonF MToolValues::polygon(int id) const
{
    return QPolygonF(points(id));
}

bool MToolValues::setValue(int id, const QVariant &v)
{
    QVariant &stored = m_values[id];
    if (stored == v)
        return false;
    stored = v;
    emit valueChanged(id, v);
    return true;
}

bool MToolValues::setPoint(int id, int index, const QPointF &p)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end() || index < 0 || index >= it->size())
        return false;
    (*it)[index] = p;
    return true;
}

bool MToolValues::addPoint(int id, const QPointF &p)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end())
        return false;
    it->append(p);
    return true;
}

bool MToolValues::removePoint(int id, int index)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end() || index < 0 || index >= it->size())
        return false;
    it->removeAt(index);
    return true;
}

bool MToolValues::removePoint(int id)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end() || it->isEmpty())
        return false;
    it->removeLast();
    return true;
}

bool MToolValues::clearPoint(int id)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end())
        return false;
    it->clear();
    return true;
}

bool MToolValues::setPoints(int id, const QVector<QPointF> &points)
{
    const auto it = m_pointLists.find(id);
    if (it == m_pointLists.end())
        return false;
    *it = points;
    return true;
}

#pragma once

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QPolygonF>
#include <QVariant>
#include <QVector>

// The tools' state for the document of one canvas view: named values and
// named lists of control points (canvas coordinates). Tools keep no
// per-document geometry of their own; they read and write it here.
class MToolValues : public QObject
{
    Q_OBJECT
public:
    enum ValueId {
        SymmetryNumber = 0,
        SymmetryPoints = 1,
        GridShowGrid = 2,
        GridColor = 3,
        GridSize = 4,
        PerspectivePoints = 5,
        LeftVanishingPoint = 6,
        RightVanishingPoint = 7,
        VerticalVanishingPoint = 8,
        LeftDistance = 9,
        RightDistance = 10,
        VerticalDistance = 11,
        LinePoints = 12,
        ShapeWidth = 13,
        ShapeHeight = 14,
        ShapePoints = 15,
        ShapeAngle = 16,
        TextString = 17,
        TextPoints = 18,
        TextAngle = 19,
        ImageWidth = 20,
        ImageHeight = 21,
        ImagePoints = 22,
        ImageAngle = 23,
        SelectionPoints = 24,
        GradientPoints = 25,
        RullerPoints = 26
    };
    Q_ENUM(ValueId)

    explicit MToolValues(QObject *parent = nullptr);

    QVariant value(int id) const;
    int intValue(int id) const;
    double doubleValue(int id) const;

    QPointF point(int id, int index) const;
    int pointCount(int id) const;
    const QVector<QPointF> &points(int id) const;
    QPolygonF polygon(int id) const;

    bool hasPointList(int id) const { return m_pointLists.contains(id); }

public slots:
    // Each returns true when something changed. Point operations only work on
    // the ids that were given a list; they never create one.
    bool setValue(int id, const QVariant &v);
    bool setPoint(int id, int index, const QPointF &p);
    bool addPoint(int id, const QPointF &p);
    bool removePoint(int id, int index);
    bool removePoint(int id);
    bool clearPoint(int id);
    bool setPoints(int id, const QVector<QPointF> &points);

signals:
    void valueChanged(int id, const QVariant &value);

private:
    QHash<int, QVariant> m_values;
    QHash<int, QVector<QPointF>> m_pointLists;
    const QVector<QPointF> m_emptyPoints;
};

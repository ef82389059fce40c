#pragma once

#include <QObject>
#include <QPointF>
#include <QVector>

// Maps one stroke input to a contribution to one brush setting through a
// natural cubic spline of control points in the unit square; the input and
// output ranges map the unit square onto the input's and the result's ranges.
class MCurve : public QObject
{
    Q_OBJECT
public:
    enum InterpolationType { Add, Multiply, Sinus };
    Q_ENUM(InterpolationType)

    enum InitType {
        LineAscending2, LineDescending2, LineAscending3, LineDescending3, LineAscending4, LineDescending4,
        CurveAscending3, CurveDescending3, CurveAscending4, CurveDescending4, GaussianCurve
    };
    Q_ENUM(InitType)

    MCurve(int setting, int input, int interpolationType, QObject *parent = nullptr);
    explicit MCurve(int interpolationType = Multiply, QObject *parent = nullptr);

    void copyFrom(const MCurve *other);
    MCurve &operator=(const MCurve &other);

    int setting() const { return m_setting; }
    int input() const { return m_input; }
    int interpolationType() const { return m_interpolationType; }
    void setInterpolationType(int type) { m_interpolationType = type; }
    double modulo() const { return m_modulo; }
    void setModulo(double modulo) { m_modulo = modulo; }

    double xMin() const { return m_xMin; }
    double xMax() const { return m_xMax; }
    double yMin() const { return m_yMin; }
    double yMax() const { return m_yMax; }
    void setXMin(double value);
    void setXMax(double value);
    void setYMin(double value);
    void setYMax(double value);
    void setRanges(double xMin, double xMax, double yMin, double yMax);

    int pointCount() const { return m_points.size(); }
    QPointF point(int index) const { return m_points.value(index); }
    QVector<QPointF> points() const { return m_points; }
    void addPoint(const QPointF &point);
    // Replaces every control point; each is clamped to the unit square.
    void setPoints(const QVector<QPointF> &points);
    void addRangePoint(double x, double y);
    void setPoint(int index, const QPointF &point, bool sort);
    void removePoint(int index);
    void invertX();
    void invertY();
    void sortPoints();
    void init(int initType);

    double evaluate(double u) const;
    virtual double mappedValue(double x) const;
    double apply(double x, double value) const;
    virtual void buildSpline();

private:
    struct Segment
    {
        double a = 0.0, b = 0.0, c = 0.0, d = 0.0, x = 0.0;
    };

    void setDefaultPoints();
    void normalizeRanges();
    static double unitPosition(double value, double minimum, double maximum);

    int m_setting = 0;
    int m_input = 0;
    int m_interpolationType = Multiply;
    double m_modulo = 0.0;
    double m_xMin = 0.0;
    double m_xMax = 1.0;
    double m_yMin = 0.0;
    double m_yMax = 1.0;
    QVector<QPointF> m_points;
    int m_segmentCount = 0;
    QVector<Segment> m_segments; // m_segmentCount + 1 records
};

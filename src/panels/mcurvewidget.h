#pragma once

#include <QPointF>
#include <QPointer>
#include <QWidget>

class MCurve;

// The graph of one response curve over the unit square, whose control
// points are dragged with the mouse. The points keep their order while a
// point is dragged past its neighbour and are sorted again on release, so
// that the drag stays on the point that was grabbed.
class MCurveWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MCurveWidget(QWidget *parent = nullptr);

    MCurve *curve() const;
    int selected() const { return m_selected; }
    bool dragging() const { return m_dragging; }
    double margin() const { return m_margin; }
    double pointRadius() const { return m_pointRadius; }

    // Curve coordinates to widget pixels and back; the way back clamps the
    // position into the plot first.
    QPointF toWidget(const QPointF &point) const;
    QPointF toCurve(const QPointF &position) const;

public slots:
    void setCurve(MCurve *curve);
    void refresh();
    // Up to six points; the new one lies between the first point and the
    // next one (or the middle of the square).
    void addPoint();
    // Drops the second point while more than two are left.
    void removePoint();
    void initCurve(int initType);

signals:
    void curveChanged(MCurve *curve);
    void pointMoved(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointer<MCurve> m_curve;
    int m_selected = -1;
    double m_margin = 8.0;
    double m_pointRadius = 5.0;
    bool m_dragging = false;
    bool m_needsRebuild = false;
};

#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>

// One colour stop of the gradient tool: where it sits on the canvas, its
// colour, and its place between the gradient's start (0) and end (1).
class MGradientItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double stop READ stop WRITE set_stop NOTIFY stopChanged)
    Q_PROPERTY(QColor color READ color WRITE set_color NOTIFY colorChanged)
    Q_PROPERTY(QPointF point READ point WRITE set_point NOTIFY pointChanged)
public:
    explicit MGradientItem(QObject *parent = nullptr);

    double stop() const { return m_stop; }
    QColor color() const { return m_color; }
    QPointF point() const { return m_point; }

public slots:
    void set_stop(double value);
    void set_color(const QColor &value);
    void set_point(const QPointF &value);

signals:
    void stopChanged(double value);
    void colorChanged(const QColor &value);
    void pointChanged(const QPointF &value);

private:
    double m_stop = 0.0;
    QColor m_color = Qt::transparent;
    QPointF m_point;
};

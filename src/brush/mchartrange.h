#pragma once

#include <QObject>

// The visible range of a chart; each bound pair is kept ordered.
class MChartRange : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double xmin READ xmin WRITE setXmin NOTIFY xminChanged)
    Q_PROPERTY(double ymin READ ymin WRITE setYmin NOTIFY yminChanged)
    Q_PROPERTY(double xmax READ xmax WRITE setXmax NOTIFY xmaxChanged)
    Q_PROPERTY(double ymax READ ymax WRITE setYmax NOTIFY ymaxChanged)
public:
    explicit MChartRange(QObject *parent = nullptr);

    double xmin() const { return m_xmin; }
    double ymin() const { return m_ymin; }
    double xmax() const { return m_xmax; }
    double ymax() const { return m_ymax; }

public slots:
    void setXmin(double value);
    void setYmin(double value);
    void setXmax(double value);
    void setYmax(double value);

signals:
    void rangeChanged(MChartRange *range);
    void xminChanged(double value);
    void yminChanged(double value);
    void xmaxChanged(double value);
    void ymaxChanged(double value);

private:
    void setBound(double &bound, double value, double &low, double &high, bool vertical);

    double m_xmin = 0.0;
    double m_ymin = 0.0;
    double m_xmax = 1.0;
    double m_ymax = 1.0;
};

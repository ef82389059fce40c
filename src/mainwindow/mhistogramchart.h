#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

class MHistogram;

// Paints a colour histogram as overlapping half-transparent bars.
class MHistogramChart : public QWidget
{
    Q_OBJECT
public:
    explicit MHistogramChart(QWidget *parent = nullptr);

    MHistogram *histogram() const { return m_histogram; }

public slots:
    void setHistogram(MHistogram *histogram);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<MHistogram> m_histogram;
    QMetaObject::Connection m_connection;
};

#include "mhistogramchart.h"

#include "mhistogram.h"

#include <QPainter>

MHistogramChart::MHistogramChart(QWidget *parent)
    : QWidget(parent)
{
}

void MHistogramChart::setHistogram(MHistogram *histogram)
{
    disconnect(m_connection);
    m_histogram = histogram;
    if (histogram)
        m_connection = connect(histogram, &MHistogram::changed, this, QOverload<>::of(&QWidget::update));
    update();
}

void MHistogramChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setOpacity(0.5);
    if (!m_histogram || m_histogram->count() == 0 || m_histogram->maxValue() == 0)
        return;
    const double barWidth = double(width()) / m_histogram->count();
    const double h = height();
    const double max = m_histogram->maxValue();
    for (int i = 0; i < m_histogram->count(); ++i) {
        const MHistogramItem *item = m_histogram->at(i);
        const struct
        {
            bool shown;
            int count;
            QColor color;
        } bars[] = {{m_histogram->showRed(), item->redCount(), Qt::red},
                    {m_histogram->showGreen(), item->greenCount(), Qt::green},
                    {m_histogram->showBlue(), item->blueCount(), Qt::blue},
                    {m_histogram->showGray(), item->grayCount(), Qt::darkGray}};
        for (const auto &bar : bars) {
            if (!bar.shown)
                continue;
            const double barHeight = bar.count / max * h;
            painter.fillRect(QRectF(i * barWidth, h - barHeight, barWidth, barHeight), bar.color);
        }
    }
}

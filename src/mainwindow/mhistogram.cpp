#include "mhistogram.h"

MHistogram::MHistogram(QObject *parent)
    : MListModel<MHistogramItem>(parent)
{
    connect(this, &MHistogram::showRedChanged, this, &MHistogram::computeMaxValue);
    connect(this, &MHistogram::showGreenChanged, this, &MHistogram::computeMaxValue);
    connect(this, &MHistogram::showBlueChanged, this, &MHistogram::computeMaxValue);
    connect(this, &MHistogram::showGrayChanged, this, &MHistogram::computeMaxValue);
}

#define M_SETTER(Name, member)                                                                                       \
    void MHistogram::set_##Name(bool value)                                                                          \
    {                                                                                                                \
        if (member == value)                                                                                         \
            return;                                                                                                  \
        member = value;                                                                                              \
        emit Name##Changed(value);                                                                                   \
    }

M_SETTER(showRed, m_showRed)
M_SETTER(showGreen, m_showGreen)
M_SETTER(showBlue, m_showBlue)
M_SETTER(showGray, m_showGray)

#undef M_SETTER

void MHistogram::compute(const QImage &source)
{
    if (source.isNull())
        return;
    clear();
    const QImage image = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
                                 || source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32);
    QVector<int> red(m_samples), green(m_samples), blue(m_samples), gray(m_samples);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            const int k = (r + g + b) / 3;
            ++red[r * m_samples / 256];
            ++green[g * m_samples / 256];
            ++blue[b * m_samples / 256];
            ++gray[k * m_samples / 256];
        }
    }
    beginInsertRows(QModelIndex(), 0, m_samples - 1);
    for (int i = 0; i < m_samples; ++i) {
        auto *item = new MHistogramItem();
        item->set_redCount(red[i]);
        item->set_greenCount(green[i]);
        item->set_blueCount(blue[i]);
        item->set_grayCount(gray[i]);
        setNotifySignalsConnected(item, this, m_onItemPropertyChanged, true);
        m_items.append(item);
    }
    computeMaxValue();
    endInsertRows();
    setCurrentRow(0);
    emit countChanged(count());
    emit changed();
}

void MHistogram::computeMaxValue()
{
    int max = 0;
    for (const MHistogramItem *item : qAsConst(m_items)) {
        if (m_showRed)
            max = qMax(max, item->redCount());
        if (m_showGreen)
            max = qMax(max, item->greenCount());
        if (m_showBlue)
            max = qMax(max, item->blueCount());
        if (m_showGray)
            max = qMax(max, item->grayCount());
    }
    if (max != m_maxValue) {
        m_maxValue = max;
        emit maxValueChanged(max);
    }
    emit changed();
}

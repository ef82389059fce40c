#pragma once

#include "mhistogramitem.h"
#include "mlistmodel.h"

#include <QImage>

// The colour histogram of an image, one row per level, with the channels a
// chart shows and the largest count among them.
class MHistogram : public MListModel<MHistogramItem>
{
    Q_OBJECT
    Q_PROPERTY(int samples READ samples NOTIFY samplesChanged)
    Q_PROPERTY(int maxValue READ maxValue NOTIFY maxValueChanged)
    Q_PROPERTY(bool showRed READ showRed WRITE set_showRed NOTIFY showRedChanged)
    Q_PROPERTY(bool showGreen READ showGreen WRITE set_showGreen NOTIFY showGreenChanged)
    Q_PROPERTY(bool showBlue READ showBlue WRITE set_showBlue NOTIFY showBlueChanged)
    Q_PROPERTY(bool showGray READ showGray WRITE set_showGray NOTIFY showGrayChanged)
public:
    explicit MHistogram(QObject *parent = nullptr);

    int samples() const { return m_samples; }
    int maxValue() const { return m_maxValue; }
    bool showRed() const { return m_showRed; }
    bool showGreen() const { return m_showGreen; }
    bool showBlue() const { return m_showBlue; }
    bool showGray() const { return m_showGray; }

    void compute(const QImage &image);

public slots:
    void set_showRed(bool value);
    void set_showGreen(bool value);
    void set_showBlue(bool value);
    void set_showGray(bool value);

signals:
    void samplesChanged(int value);
    void maxValueChanged(int value);
    void showRedChanged(bool value);
    void showGreenChanged(bool value);
    void showBlueChanged(bool value);
    void showGrayChanged(bool value);
    void changed();

private slots:
    void computeMaxValue();

private:
    int m_samples = 64;
    int m_maxValue = 0;
    bool m_showRed = true;
    bool m_showGreen = true;
    bool m_showBlue = true;
    bool m_showGray = false;
};

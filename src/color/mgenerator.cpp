#include "mgenerator.h"

#include "mrandom.h"

#include <QtGlobal>

MGenerator::MGenerator(QObject *parent) : QObject(parent)
{
    generate();
}

void MGenerator::setColorGenerator(MEnum::ColorGenerator generator)
{
    m_generator = generator;
    generate();
}

void MGenerator::setBaseColor(const QColor &color)
{
    m_baseColor = color;
    generate();
}

void MGenerator::generate()
{
    m_colors.clear();
    switch (m_generator) {
    case MEnum::ComplementaryGenerator:
        appendWheelEntries({0, 6});
        break;
    case MEnum::SplitComplementaryGenerator:
        appendWheelEntries({0, 5, 7});
        break;
    case MEnum::TriadicGenerator:
        appendWheelEntries({0, 4, 8});
        break;
    case MEnum::TetradicGenerator:
        appendWheelEntries({0, 3, 6, 9});
        break;
    case MEnum::AnalogousGenerator:
        generateAnalogous();
        break;
    case MEnum::MonochromeGenerator:
        generateMonochrome();
        break;
    case MEnum::RandomOffsetGenerator:
        generateRandomOffset();
        break;
    }
    emit colorListChanged();
}

QColor MGenerator::wheelEntry(int k) const
{
    const QColor hsv = m_baseColor.toHsv();
    if (k == 0)
        return hsv;
    // A grey has hue -1 and so starts the wheel at 29; the remainder by 359
    // is the wheel's own rule.
    return QColor::fromHsv((hsv.hsvHue() + 30 * k) % 359, hsv.hsvSaturation(), hsv.value(), hsv.alpha());
}

void MGenerator::appendWheelEntries(std::initializer_list<int> entries)
{
    for (int k : entries)
        m_colors.append(wheelEntry(k));
}

void MGenerator::generateAnalogous()
{
    const QColor triple[3] = {wheelEntry(11), wheelEntry(0), wheelEntry(1)};
    for (const QColor &c : triple)
        m_colors.append(c);
    for (int f = 190; f >= 100; f -= 10) {
        for (const QColor &c : triple)
            m_colors.append(c.lighter(f));
    }
    for (int f = 100; f <= 280; f += 20) {
        for (const QColor &c : triple)
            m_colors.append(c.darker(f));
    }
}

void MGenerator::generateMonochrome()
{
    const QColor pure = QColor::fromHsv(m_baseColor.hsvHue(), 255, 255, 255);
    const int n = m_baseColor.lightness() * 10 / 255;
    for (int f = 190 - 10 * n; f >= 100; f -= 10)
        m_colors.append(pure.lighter(f));
    for (int i = 0; i < n; ++i)
        m_colors.append(pure.darker(100 + 20 * i));
}

void MGenerator::generateRandomOffset()
{
    const double spread = 0.2;
    const double r = m_baseColor.redF();
    const double g = m_baseColor.greenF();
    const double b = m_baseColor.blueF();
    const double mean = (r + g + b) / 3.0;
    for (int i = 0; i < 25; ++i) {
        const int q = MRandom::next() % 10000 + 1;
        const double f = (q / 10000.0 * 2.0 * spread + mean - spread) / (mean == 0.0 ? 1.0 : mean);
        const double t = qBound(0.0, f, 1.0);
        m_colors.append(QColor::fromRgbF(r * t, g * t, b * t, 1.0));
    }
}

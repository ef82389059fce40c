#pragma once

#include "menum.h"

#include <QColor>
#include <QObject>
#include <QVector>

// Derives a short list of related colours from one base colour by a
// colour-harmony rule; the colour panel's strip shows the list.
class MGenerator : public QObject
{
    Q_OBJECT
public:
    explicit MGenerator(QObject *parent = nullptr);

    MEnum::ColorGenerator colorGenerator() const { return m_generator; }
    QColor baseColor() const { return m_baseColor; }
    const QVector<QColor> &colorList() const { return m_colors; }

public slots:
    // Both regenerate even when nothing changed.
    void setColorGenerator(MEnum::ColorGenerator generator);
    void setBaseColor(const QColor &color);

signals:
    void colorListChanged();

private:
    void generate();
    // Entry 0 is the base colour, entry k its hue turned by 30 k degrees.
    QColor wheelEntry(int k) const;
    void appendWheelEntries(std::initializer_list<int> entries);
    void generateAnalogous();
    void generateMonochrome();
    void generateRandomOffset();

    MEnum::ColorGenerator m_generator = MEnum::MonochromeGenerator;
    QVector<QColor> m_colors;
    QColor m_baseColor = QColor(0, 0, 255);
};

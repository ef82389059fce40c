#pragma once

#include <QBrush>
#include <QColor>
#include <QLinearGradient>
#include <QSlider>
#include <QVector>

// A slider whose groove shows the colours it moves through, over a
// checkerboard so that transparent colours read as such.
class MColorSlider : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(QBrush background READ background WRITE setBackground)
    Q_PROPERTY(QVector<QColor> colors READ colors WRITE setColors)
    Q_PROPERTY(QLinearGradient gradient READ gradient WRITE setGradient)
    Q_PROPERTY(QColor firstColor READ firstColor WRITE setFirstColor)
    Q_PROPERTY(QColor lastColor READ lastColor WRITE setLastColor)
public:
    explicit MColorSlider(QWidget *parent = nullptr);

    QBrush background() const { return m_background; }
    const QVector<QColor> &colors() const { return m_colors; }
    // Colour i of n at i / (n - 1), stretched over the widget.
    QLinearGradient gradient() const;
    // Invalid when there are no colours.
    QColor firstColor() const;
    QColor lastColor() const;

public slots:
    void setBackground(const QBrush &background);
    void setColors(const QVector<QColor> &colors);
    void setGradient(const QLinearGradient &gradient);
    void setFirstColor(const QColor &color);
    // A list of one colour grows to two.
    void setLastColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVector<QColor> m_colors{Qt::black, Qt::white};
    QBrush m_background;
};

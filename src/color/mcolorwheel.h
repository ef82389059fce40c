#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// A hue ring around a saturation/value square. The ring picks the hue, the
// square the saturation (left to right) and value (top to bottom).
class MColorWheel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color)
    Q_PROPERTY(double hue READ hue WRITE setHue)
    Q_PROPERTY(double saturation READ saturation WRITE setSaturation)
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(unsigned int wheelWidth READ wheelWidth WRITE setWheelWidth)
public:
    explicit MColorWheel(QWidget *parent = nullptr);

    QColor color() const { return QColor::fromHsvF(m_hue, m_saturation, m_value, 1.0); }
    double hue() const { return m_hue; }
    double saturation() const { return m_saturation; }
    double value() const { return m_value; }
    unsigned int wheelWidth() const { return m_wheelWidth; }
    const QImage &squareImage() const { return m_square; }
    QSize sizeHint() const override { return QSize(150, 150); }

    // The square's rectangle in the widget, centred.
    QRect squareRect() const;

public slots:
    void setColor(const QColor &color);
    void setHue(double hue);
    void setSaturation(double saturation);
    void setValue(double value);
    void setWheelWidth(unsigned int width);

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void colorSelected(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum Part { None, Ring, Square };
    void buildSquare();
    void pickAt(const QPointF &pos, Qt::KeyboardModifiers modifiers);

    double m_hue = 0.0;
    double m_saturation = 0.0;
    double m_value = 0.0;
    unsigned int m_wheelWidth = 16;
    QImage m_square;
    Part m_dragged = None;
};

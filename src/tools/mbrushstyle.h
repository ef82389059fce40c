#pragma once

#include <QBrush>
#include <QColor>
#include <QObject>
#include <QRectF>

// How a tool fills what it draws: a flat colour, one of the gradients from
// the brush colour to the gradient colour, or nothing.
class MBrushStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE set_brushColor NOTIFY brushColorChanged)
    Q_PROPERTY(QColor gradientColor READ gradientColor WRITE set_gradientColor NOTIFY gradientColorChanged)
    Q_PROPERTY(int gradientStyle READ gradientStyle WRITE set_gradientStyle NOTIFY gradientStyleChanged)
public:
    enum GradientStyle {
        TransparentGradient = 0,
        SolidGradient = 1,
        DiagonalGradient = 2,
        BackDiagonalGradient = 3,
        HorizontalGradient = 4,
        VerticalGradient = 5,
        RadialGradient = 6
    };
    Q_ENUM(GradientStyle)

    explicit MBrushStyle(QObject *parent = nullptr);

    QColor brushColor() const { return m_brushColor; }
    QColor gradientColor() const { return m_gradientColor; }
    int gradientStyle() const { return m_gradientStyle; }

    QBrush brush(const QRectF &rect) const;
    // The fill of rect from color1 to color2; an unknown style fills nothing.
    static QBrush gradientBrush(const QRectF &rect, const QColor &color1, const QColor &color2, int style);

public slots:
    void set_brushColor(const QColor &value);
    void set_gradientColor(const QColor &value);
    void set_gradientStyle(int value);

signals:
    void brushColorChanged(const QColor &value);
    void gradientColorChanged(const QColor &value);
    void gradientStyleChanged(int value);

private:
    QColor m_brushColor = Qt::lightGray;
    QColor m_gradientColor = Qt::white;
    int m_gradientStyle = SolidGradient;
};

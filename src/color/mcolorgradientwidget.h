#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QWidget>

// The two-dimensional picker at the top of the colour panel: one of seven
// picker images (three panels, four wheels) drawn at the widget's size; a
// press or drag reports the colour of the pixel under the pointer. Its
// marker shows where the panel's colour lies on the image, however that
// colour was chosen, and is left out when the image does not hold it.
class MColorGradientWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorGradientWidget(QWidget *parent = nullptr);

    static constexpr int TypeCount = 7;

    int type() const { return m_type; }
    const QImage &image() const { return m_image; }
    QPoint pickPoint() const { return m_pickPoint; }
    QColor pickedColor() const { return m_pickedColor; }
    QSize sizeHint() const override { return QSize(150, 150); }

    // Where a press at pos picks: clamped to the image's top and left edges,
    // and for the wheels pulled from beyond the rim back onto it.
    QPoint pickPosition(const QPoint &pos) const;

public slots:
    // Types 7 and above, and negative ones, change nothing.
    void setType(int type);
    // The panel's colour: the marker moves to it.
    void setColor(const QColor &color);

    // Invoked by name from the type; each fills the image it is given.
    void createPickerImage_0(QImage &image);
    void createPickerImage_1(QImage &image);
    void createPickerImage_2(QImage &image);
    void createPickerImage_3(QImage &image);
    void createPickerImage_4(QImage &image);
    void createPickerImage_5(QImage &image);
    void createPickerImage_6(QImage &image);

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createImage(int type);
    void pick(const QPoint &pos, Qt::KeyboardModifiers modifiers);
    // The marker on the pixel nearest the colour, none when no pixel is near.
    void placeMarker(const QColor &color);

    QImage m_image;
    int m_type = 0;
    QPoint m_pickPoint = QPoint(-1, -1);
    QColor m_pickedColor;
    const QStringList m_routines;
};

#pragma once

#include <QColor>
#include <QToolButton>

class DColorPicker;

// The button beside a colour edit that picks a colour from the screen.
class MColorPickerButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE set_color NOTIFY colorChanged)
public:
    explicit MColorPickerButton(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Made on the first pick and kept for the later ones.
    DColorPicker *picker() const { return m_picker; }

public slots:
    void set_color(const QColor &color);
    void pickColor();

signals:
    void colorChanged(const QColor &color);

private:
    QColor m_color = Qt::white;
    DColorPicker *m_picker = nullptr;
};

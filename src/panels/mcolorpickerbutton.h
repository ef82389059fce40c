#pragma once

#include <QColor>
#include <QToolButton>

// The button beside a colour edit that picks a colour from the screen. For
// now it only holds the colour it reports; the screen picker it starts comes
// with its own window.
class MColorPickerButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE set_color NOTIFY colorChanged)
public:
    explicit MColorPickerButton(QWidget *parent = nullptr);

    QColor color() const { return m_color; }

public slots:
    void set_color(const QColor &color);

signals:
    void colorChanged(const QColor &color);

private:
    QColor m_color = Qt::white;
};

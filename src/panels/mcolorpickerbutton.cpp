#include "mcolorpickerbutton.h"

MColorPickerButton::MColorPickerButton(QWidget *parent) : QToolButton(parent)
{
}

void MColorPickerButton::set_color(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit colorChanged(color);
}

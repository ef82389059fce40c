#include "mcolorpickerbutton.h"

#include "dcolorpicker.h"

MColorPickerButton::MColorPickerButton(QWidget *parent) : QToolButton(parent)
{
    setIcon(QIcon(QStringLiteral("://icons/colorpicker.ico")));
    connect(this, &QToolButton::clicked, this, &MColorPickerButton::pickColor);
}

void MColorPickerButton::set_color(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit colorChanged(color);
}

void MColorPickerButton::pickColor()
{
    if (!m_picker) {
        m_picker = new DColorPicker(this);
        connect(m_picker, &DColorPicker::colorChanged, this, &MColorPickerButton::set_color);
    }
    m_picker->activate();
}

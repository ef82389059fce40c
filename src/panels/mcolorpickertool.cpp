#include "mcolorpickertool.h"

#include "mcolorlist.h"

MColorPickerTool::MColorPickerTool(QWidget *parent) : DColorPicker(parent)
{
    connect(this, &DColorPicker::colorChanged, MColorList::instance(),
            qOverload<const QColor &, Qt::KeyboardModifiers>(&MColorList::setColor));
}

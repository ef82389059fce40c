#pragma once

#include "dcolorpicker.h"
#include "msingleton.h"

// The program's screen picker: what it picks becomes the current colour.
class MColorPickerTool : public DColorPicker, public MSingleton<MColorPickerTool>
{
    Q_OBJECT
public:
    explicit MColorPickerTool(QWidget *parent = nullptr);
};

#pragma once

#include "mfiledialog.h"

// Chooses one existing file.
class MFileOpenDialog : public MFileDialog
{
    Q_OBJECT
public:
    MFileOpenDialog(const QString &caption, Location location, QWidget *parent = nullptr);
};

#pragma once

#include "mfiledialog.h"

// Chooses a file to write; choosing an existing one asks before replacing it.
class MFileSaveDialog : public MFileDialog
{
    Q_OBJECT
public:
    MFileSaveDialog(const QString &caption, Location location, QWidget *parent = nullptr);
};

#pragma once

#include "msingleton.h"

#include <QObject>

// The colour palettes.
class MPaletteList : public QObject, public MSingleton<MPaletteList>
{
    Q_OBJECT
public:
    explicit MPaletteList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

#pragma once

#include "mlistmodel.h"
#include "mpalette.h"
#include "msingleton.h"

// Every palette: three built in and those of the user's "swatches" folder.
// The current row is the palette the palette panels show.
class MPaletteList : public MListModel<MPalette>, public MSingleton<MPaletteList>
{
    Q_OBJECT
public:
    explicit MPaletteList(QObject *parent = nullptr);

    // Appends the palettes of the files of a folder ("*.kxp" and "*.aco",
    // by name regardless of case); the start-up reads the user folder.
    void loadFolder(const QString &folder);

private:
    MPalette *appendSystemPalette(const QString &name);
    void makeDefaultPalette();
    void makeNamedColors();
    void makeBigPalette();
};

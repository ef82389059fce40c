#include "mpalettelist.h"

#include "mfolders.h"
#include "mlogger.h"

#include <QDir>
#include <QFileInfo>

MPaletteList::MPaletteList(QObject *parent)
    : MListModel<MPalette>(parent)
{
    makeDefaultPalette();
    makeNamedColors();
    makeBigPalette();
    loadFolder(MFolders::swatchesDirectory(MFolders::UserPath));
    *MLogger::instance() << tr("Palettes loaded: %1 palette").arg(count());
}

MPalette *MPaletteList::appendSystemPalette(const QString &name)
{
    MPalette *palette = appendNew();
    palette->setIsSystem(true);
    palette->setName(name);
    return palette;
}

void MPaletteList::makeDefaultPalette()
{
    MPalette *palette = appendSystemPalette(tr("Default palette"));
    for (int k = 0; k < 10; ++k) {
        const int level = 255 * k / 9;
        palette->appendColor(QColor(level, level, level));
    }
    const auto hues = [palette](const QList<int> &factors, bool lighter, bool withPure) {
        for (int h = 0; h < 360; h += 30) {
            const QColor pure = QColor::fromHsv(h, 255, 255).toRgb();
            if (withPure)
                palette->appendColor(pure);
            for (int f : factors)
                palette->appendColor(lighter ? pure.lighter(f) : pure.darker(f));
        }
    };
    hues({110, 120, 130, 140, 150}, true, true);
    hues({140, 150, 160, 170, 180}, true, false);
    hues({160, 170, 180, 190, 200}, false, false);
    for (int i = 0; i < palette->count(); ++i)
        palette->setNameAt(i, MPalette::hexText(palette->colorAt(i)));
}

void MPaletteList::makeNamedColors()
{
    MPalette *palette = appendSystemPalette(tr("Named colors"));
    const QStringList names = QColor::colorNames();
    for (const QString &name : names)
        palette->appendColor(QColor(name), name);
}

void MPaletteList::makeBigPalette()
{
    MPalette *palette = appendSystemPalette(tr("Big palette"));
    QList<QColor> colors;
    for (int k = 0; k < 20; ++k) {
        const int level = 255 * k / 19;
        colors.append(QColor(level, level, level));
    }
    for (int hue = 0; hue < 259; ++hue) {
        for (int a = 9; a >= 3; --a)
            colors.append(QColor::fromHsv(hue, 255 * a / 10, 255).toRgb());
        for (int b = 10; b >= 3; --b)
            colors.append(QColor::fromHsv(hue, 255, 255 * b / 10).toRgb());
    }
    // Thousands of colours: one at a time, each would search all before it.
    palette->appendColors(colors);
}

void MPaletteList::loadFolder(const QString &folder)
{
    const QStringList patterns{QStringLiteral("*.%1").arg(QLatin1String(MPalette::extension)), QStringLiteral("*.aco")};
    const QFileInfoList files = QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : files) {
        auto *palette = new MPalette;
        const bool loaded = info.suffix().toLower() == QLatin1String("aco")
                                ? palette->importSwatchFile(info.absoluteFilePath())
                                : palette->readPaletteFile(info.absoluteFilePath());
        if (loaded)
            appendItem(palette);
        else
            delete palette;
    }
}

#include "mcompositionmodelist.h"

#include "mcompositionmode.h"
#include "msettings.h"

#include <QCoreApplication>

namespace {
const char *context = "MCompositionModeList";
}

MCompositionModeList::MCompositionModeList(QObject *parent)
    : MTableModel(parent)
{
    setMetaObject(MCompositionMode::staticMetaObject);
    struct Row
    {
        int mode;
        const char *description;
        bool usedByBrush;
        bool storedTranslated;
    };
    // Ids 0 to 23 follow the painter's composition modes, 24 to 37 are our
    // own, 1000 is reserved for a blend of the user's.
    static const Row rows[] = {
        {0, QT_TRANSLATE_NOOP("MCompositionModeList", "Normal"), true, false},
        {1, QT_TRANSLATE_NOOP("MCompositionModeList", "Background over"), false, false},
        {2, QT_TRANSLATE_NOOP("MCompositionModeList", "Clear"), false, false},
        {3, QT_TRANSLATE_NOOP("MCompositionModeList", "Foreground"), false, false},
        {4, QT_TRANSLATE_NOOP("MCompositionModeList", "Background"), false, false},
        {5, QT_TRANSLATE_NOOP("MCompositionModeList", "Foreground in"), true, false},
        {6, QT_TRANSLATE_NOOP("MCompositionModeList", "Background in"), false, false},
        {7, QT_TRANSLATE_NOOP("MCompositionModeList", "Foreground out"), true, false},
        {8, QT_TRANSLATE_NOOP("MCompositionModeList", "Background out"), false, false},
        {9, QT_TRANSLATE_NOOP("MCompositionModeList", "Foreground at top"), false, false},
        {10, QT_TRANSLATE_NOOP("MCompositionModeList", "Background at top"), false, false},
        {11, QT_TRANSLATE_NOOP("MCompositionModeList", "Xor"), false, false},
        {12, QT_TRANSLATE_NOOP("MCompositionModeList", "Plus"), true, false},
        {13, QT_TRANSLATE_NOOP("MCompositionModeList", "Multiply"), true, false},
        {14, QT_TRANSLATE_NOOP("MCompositionModeList", "Screen"), true, false},
        {15, QT_TRANSLATE_NOOP("MCompositionModeList", "Overlay"), true, false},
        {16, QT_TRANSLATE_NOOP("MCompositionModeList", "Darken"), true, false},
        {17, QT_TRANSLATE_NOOP("MCompositionModeList", "Lighten"), true, false},
        {18, QT_TRANSLATE_NOOP("MCompositionModeList", "Color dodge"), true, false},
        {19, QT_TRANSLATE_NOOP("MCompositionModeList", "Color burn"), true, false},
        {20, QT_TRANSLATE_NOOP("MCompositionModeList", "Hard light"), true, false},
        {21, QT_TRANSLATE_NOOP("MCompositionModeList", "Soft light"), true, false},
        {22, QT_TRANSLATE_NOOP("MCompositionModeList", "Difference"), true, false},
        {23, QT_TRANSLATE_NOOP("MCompositionModeList", "Exclusion"), true, false},
        {24, QT_TRANSLATE_NOOP("MCompositionModeList", "Darker"), true, false},
        {25, QT_TRANSLATE_NOOP("MCompositionModeList", "Lighter"), true, false},
        {26, QT_TRANSLATE_NOOP("MCompositionModeList", "Vivid light"), true, false},
        {27, QT_TRANSLATE_NOOP("MCompositionModeList", "Pin light"), true, false},
        {28, QT_TRANSLATE_NOOP("MCompositionModeList", "HSL hue"), true, false},
        {29, QT_TRANSLATE_NOOP("MCompositionModeList", "HSL saturation"), true, false},
        {30, QT_TRANSLATE_NOOP("MCompositionModeList", "HSL color"), true, false},
        {31, QT_TRANSLATE_NOOP("MCompositionModeList", "HSL luminosity"), true, false},
        {32, QT_TRANSLATE_NOOP("MCompositionModeList", "Dodge highlight"), true, true},
        {33, QT_TRANSLATE_NOOP("MCompositionModeList", "Burn highlight"), true, true},
        {34, QT_TRANSLATE_NOOP("MCompositionModeList", "Dodge midtone"), true, true},
        {35, QT_TRANSLATE_NOOP("MCompositionModeList", "Burn midtone"), true, true},
        {36, QT_TRANSLATE_NOOP("MCompositionModeList", "Dodge shadow"), true, true},
        {37, QT_TRANSLATE_NOOP("MCompositionModeList", "Burn shadow"), true, true},
        {1000, QT_TRANSLATE_NOOP("MCompositionModeList", "User"), false, false},
    };
    for (const Row &row : rows) {
        const QString description = row.storedTranslated ? tr(row.description) : QString::fromLatin1(row.description);
        append(new MCompositionMode(row.mode, description, row.usedByBrush));
    }
}

MCompositionModeList::~MCompositionModeList() = default;

QObject *MCompositionModeList::createItem()
{
    return new MCompositionMode();
}

QVector<MCompositionModeList::Entry> MCompositionModeList::entries(bool brushOnly) const
{
    QVector<Entry> list;
    const bool translate = MSettings::instance()->translateCompositionModes();
    for (int row = 0; row < count(); ++row) {
        const auto *mode = qobject_cast<const MCompositionMode *>(item(row));
        if (!mode || (brushOnly && !mode->usedByBrush()))
            continue;
        const QString text = translate ? QCoreApplication::translate(context, mode->description().toUtf8().constData())
                                       : mode->description();
        list.append({text, mode->mode()});
    }
    return list;
}

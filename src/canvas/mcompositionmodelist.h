#pragma once

#include "msingleton.h"
#include "mtablemodel.h"

#include <QString>
#include <QVector>

// The table of composition modes shared by the stamping programs, the brush
// setting and the brush panel: ids 0 to 37 without a gap, then 1000 (user).
class MCompositionModeList : public MTableModel, public MSingleton<MCompositionModeList>
{
    Q_OBJECT
public:
    explicit MCompositionModeList(QObject *parent = nullptr);
    ~MCompositionModeList() override;

    QObject *createItem() override;

    struct Entry
    {
        QString label;
        int value;
    };
    // One entry per mode (brush modes only when brushOnly), in the table's
    // order: its text, translated when the setting says so, and its id.
    QVector<Entry> entries(bool brushOnly) const;
};

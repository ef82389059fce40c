#pragma once

#include "msingleton.h"
#include "mtablemodel.h"

class QComboBox;

// The table of composition modes shared by the stamping programs, the brush
// setting and the brush panel: ids 0 to 37 without a gap, then 1000 (user).
class MCompositionModeList : public MTableModel, public MSingleton<MCompositionModeList>
{
    Q_OBJECT
public:
    explicit MCompositionModeList(QObject *parent = nullptr);
    ~MCompositionModeList() override;

    QObject *createItem() override;

    // One entry per mode (brush modes only when brushOnly), the mode id as
    // item data; texts translated when the setting says so.
    void fillCompositionModeComboBox(QComboBox *comboBox, bool brushOnly) const;
};

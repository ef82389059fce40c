#pragma once

#include "msingleton.h"

#include <QObject>

// Descriptions of the brush settings.
class MBrushSettingInfoList : public QObject, public MSingleton<MBrushSettingInfoList>
{
    Q_OBJECT
public:
    explicit MBrushSettingInfoList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

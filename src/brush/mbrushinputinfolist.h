#pragma once

#include "msingleton.h"

#include <QObject>

// Descriptions of the stroke inputs.
class MBrushInputInfoList : public QObject, public MSingleton<MBrushInputInfoList>
{
    Q_OBJECT
public:
    explicit MBrushInputInfoList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

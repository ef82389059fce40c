#pragma once

#include "msingleton.h"

#include <QObject>

// Library of brushes.
class MBrushList : public QObject, public MSingleton<MBrushList>
{
    Q_OBJECT
public:
    explicit MBrushList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

#pragma once

#include "msingleton.h"

#include <QObject>

// Path variables expanded in file names.
class MPathVarList : public QObject, public MSingleton<MPathVarList>
{
    Q_OBJECT
public:
    explicit MPathVarList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

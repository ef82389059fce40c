#pragma once

#include "msingleton.h"

#include <QObject>

// The text styles.
class MTextStyleList : public QObject, public MSingleton<MTextStyleList>
{
    Q_OBJECT
public:
    explicit MTextStyleList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

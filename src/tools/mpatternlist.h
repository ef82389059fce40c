#pragma once

#include "msingleton.h"

#include <QObject>

// The fill patterns.
class MPatternList : public QObject, public MSingleton<MPatternList>
{
    Q_OBJECT
public:
    explicit MPatternList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

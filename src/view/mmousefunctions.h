#pragma once

#include "msingleton.h"

#include <QObject>

// Maps tool, mouse button and modifiers to view functions.
class MMouseFunctions : public QObject, public MSingleton<MMouseFunctions>
{
    Q_OBJECT
public:
    explicit MMouseFunctions(QObject *parent = nullptr);
};

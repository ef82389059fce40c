#pragma once

#include "msingleton.h"

#include <QObject>

// Mathematical tables shared by the painting code.
class MMath : public QObject, public MSingleton<MMath>
{
    Q_OBJECT
public:
    explicit MMath(QObject *parent = nullptr);
};

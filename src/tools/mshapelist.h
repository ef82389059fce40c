#pragma once

#include "msingleton.h"

#include <QObject>

// Library of shapes.
class MShapeList : public QObject, public MSingleton<MShapeList>
{
    Q_OBJECT
public:
    explicit MShapeList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};

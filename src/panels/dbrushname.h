#pragma once

#include "dname.h"

// Names a brush, offering the groups of the brush library.
class DBrushName : public DName
{
    Q_OBJECT
public:
    DBrushName(const QString &group, const QString &description, QWidget *parent = nullptr);
};

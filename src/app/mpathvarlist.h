#pragma once

#include "mlist.h"
#include "mpathvar.h"
#include "msingleton.h"

#include <QObject>

// The path variables that may begin a file name so that it survives a move to
// another machine ("$ImagesPath$/wood.png"), and their expansion.
class MPathVarList : public QObject, public MList<MPathVar>, public MSingleton<MPathVarList>
{
    Q_OBJECT
public:
    explicit MPathVarList(QObject *parent = nullptr);

    void addVariable(const QString &description, const QString &variable);
    static QString expand(const QString &path);
};

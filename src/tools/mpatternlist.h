#pragma once

#include "mlistmodel.h"
#include "mpatternitem.h"
#include "msingleton.h"

// The fixed catalogue of fill patterns offered by the fill tool: "No pattern"
// first, then the built-in images.
class MPatternList : public MListModel<MPatternItem>, public MSingleton<MPatternList>
{
    Q_OBJECT
public:
    explicit MPatternList(QObject *parent = nullptr);

private:
    void addPattern(const QString &fileName, const QString &name);
};

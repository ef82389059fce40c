#pragma once

#include "msingleton.h"
#include "mtablemodel.h"

class MKeyword;

// The GLSL vocabulary of effect sources, read once from the built-in keyword
// file; the highlighter colours it and the keyword search looks it up.
class MKeywordList : public MTableModel, public MSingleton<MKeywordList>
{
    Q_OBJECT
public:
    static const QString kResource;

    explicit MKeywordList(QObject *parent = nullptr);
    // A list read from another file (the built-in one for the single instance).
    MKeywordList(const QString &path, QObject *parent);

    QObject *createItem() override;
    MKeyword *keywordAt(int row) const;
    // One line of the file: "keyword; class; description". Null for a line
    // without a keyword.
    static MKeyword *parseLine(const QString &line);

private:
    void load(const QString &path);
};

#pragma once

#include "mparamlist.h"
#include "msingleton.h"

class MSnippet;

// The library of code fragments: the ".kxn" files of the system and user
// "snippets" folders, a user file hiding the system file of the same id.
class MSnippetList : public MParamList, public MSingleton<MSnippetList>
{
    Q_OBJECT
public:
    explicit MSnippetList(QObject *parent = nullptr);
    MSnippetList(const QString &systemFolder, const QString &userFolder, QObject *parent = nullptr);
    ~MSnippetList() override;

    QObject *createItem() override;
    void loadItems(const QStringList &order, const Files &files) override;

    MSnippet *snippetAt(int row) const;
    // Writes the fragment to its file in the user folder.
    bool saveItem(MSnippet *snippet);

protected:
    bool readItem(QObject *item, const QString &path) override;

private:
    void setUp();

    MSnippet *m_default = nullptr;
};

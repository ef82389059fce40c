#pragma once

#include "mparamlist.h"
#include "msingleton.h"

class MDocumentTemplate;

// The library of document templates: the ".kxt" files of the system and user
// "templates" folders, listed by size.
class MDocumentTemplateList : public MParamList, public MSingleton<MDocumentTemplateList>
{
    Q_OBJECT
public:
    explicit MDocumentTemplateList(QObject *parent = nullptr);
    MDocumentTemplateList(const QString &systemFolder, const QString &userFolder, QObject *parent = nullptr);
    ~MDocumentTemplateList() override;

    QObject *createItem() override;
    void loadItems(const QStringList &order, const Files &files) override;
    // By width, then height.
    void reorder() override;

    MDocumentTemplate *templateAt(int row) const;

protected:
    bool readItem(QObject *item, const QString &path) override;

private:
    void setUp();

    MDocumentTemplate *m_default = nullptr;
};

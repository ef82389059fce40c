#pragma once

#include "msingleton.h"
#include "mtablemodel.h"

class MTextStyle;

// The painter's text styles, read from "textstyles.json" in the documents
// folder. The system never writes that file.
class MTextStyleList : public MTableModel, public MSingleton<MTextStyleList>
{
    Q_OBJECT
public:
    explicit MTextStyleList(QObject *parent = nullptr);
    // A list read from another file than the documents folder's.
    MTextStyleList(const QString &path, QObject *parent = nullptr);
    ~MTextStyleList() override;

    QObject *createItem() override;
    void itemAdded(QObject *item) override;
    void itemRemoved(QObject *item) override;

    MTextStyle *styleAt(int row) const;
    // The first style whose id equals id, both lower-cased; null when none.
    MTextStyle *style(const QString &id) const { return m_index.value(id.toLower()); }
    MTextStyle *defaultStyle() const { return m_defaultStyle; }
    static QString fileName();

private:
    void unindex(QObject *item);

    QHash<QString, MTextStyle *> m_index;
    MTextStyle *m_defaultStyle = nullptr;
};

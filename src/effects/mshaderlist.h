#pragma once

#include "mparamlist.h"
#include "msingleton.h"

class MShader;

// The library of effects and brush engines: the ".kxs" files of the system
// and user "shaders" folders, sorted by group and description. A system
// effect always wins over a user file of the same id; the user's file is left
// on disk.
class MShaderList : public MParamList, public MSingleton<MShaderList>
{
    Q_OBJECT
public:
    explicit MShaderList(QObject *parent = nullptr);
    // A library over other folders than the installation's and the user's.
    MShaderList(const QString &systemFolder, const QString &userFolder, QObject *parent = nullptr);
    ~MShaderList() override;

    QObject *createItem() override;
    void loadItems(const QStringList &order, const Files &files) override;

    MShader *shaderAt(int row) const;
    // The row whose id equals id, both trimmed and upper-cased; null when none.
    MShader *find(const QString &id) const;
    // The current row, else the default effect.
    MShader *current() const;
    // Stands in where no row matches; never a row.
    MShader *defaultShader() const { return m_default; }
    // Removes the row and deletes its user file; false when no row has the id.
    bool remove(const QString &id) { return removeById(id); }

protected:
    bool readItem(QObject *item, const QString &path) override;

private:
    void setUp();

    MShader *m_default = nullptr;
};

#pragma once

#include "mparamlist.h"
#include "msingleton.h"

class MShape;

// The library of shapes: the ".kxh" files of the system and user "shapes"
// folders, in the order of the library's index.
class MShapeList : public MParamList, public MSingleton<MShapeList>
{
    Q_OBJECT
public:
    explicit MShapeList(QObject *parent = nullptr);
    // A library over other folders than the installation's and the user's.
    MShapeList(const QString &systemFolder, const QString &userFolder, QObject *parent = nullptr);
    ~MShapeList() override;

    QObject *createItem() override;
    void loadItems(const QStringList &order, const Files &files) override;

    MShape *shapeAt(int row) const;
    // The current row's shape, else the default shape.
    MShape *currentShape() const;
    // Stands in where no row matches; never a row.
    MShape *defaultShape() const { return m_default; }

protected:
    bool readItem(QObject *item, const QString &path) override;

private:
    void setUp();

    MShape *m_default = nullptr;
};

#pragma once

#include "mparamlist.h"
#include "msingleton.h"

class MBrush;

// The brush library: every brush of the system and user brush folders, in
// the saved library order, with a current brush. A library without any brush
// gets a default one, so that there always is a brush to paint with.
class MBrushList : public MParamList, public MSingleton<MBrushList>
{
    Q_OBJECT
public:
    explicit MBrushList(QObject *parent = nullptr);
    // A library kept in other folders than the brush folders.
    MBrushList(const QString &systemFolder, const QString &userFolder, QObject *parent = nullptr);
    ~MBrushList() override;

    QObject *createItem() override;
    void loadItems(const QStringList &order, const Files &files) override;
    virtual void loadBrushes(const QStringList &order, const Files &files);

    // The brush of the row, or the default brush for a row that does not exist.
    MBrush *brush(int row) const;
    MBrush *currentBrush() const;
    int indexOfBrushId(const QString &id) const { return rowOfId(id); }
    bool removeBrushById(const QString &id) { return removeById(id); }
    // The base value of the setting in the current brush.
    double brushValue(int setting) const;

    // A new brush, saved to its user file and appended to the library; null
    // (nothing appended, and why given the logged reason) when its file
    // cannot be written.
    MBrush *createBrushNamed(const QString &group, const QString &description, QString *why = nullptr);
    // The same, with everything but the id copied from the source.
    MBrush *createBrush(const MBrush *source, const QString &group, const QString &description,
                        QString *why = nullptr);

    // A brush read from a file outside the library, saved as a user brush and
    // appended; null when the file holds no brush or cannot be saved. A brush
    // whose id the library already has (or has a file for) gets a new id, so
    // that it never replaces another.
    MBrush *importBrush(const QString &path);
    // Whether the file is a JSON brush file: an object with a version and at
    // least one brush setting.
    static bool isBrushFile(const QString &path);

protected:
    bool readItem(QObject *item, const QString &path) override;

private:
    void setUp();
    static MBrush *newDefaultBrush();
};

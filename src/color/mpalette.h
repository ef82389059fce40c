#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringList>

// One named palette: colours with their names and a column count. A palette
// knows the one file it came from or was written to, and only ever writes or
// removes that file, so that two palettes of one name never share a file.
class MPalette : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(bool isSystem READ isSystem WRITE setIsSystem NOTIFY isSystemChanged)
    Q_PROPERTY(int columns READ columns WRITE setColumns NOTIFY columnsChanged)
public:
    static constexpr const char *extension = "kxp";

    explicit MPalette(QObject *parent = nullptr);

    QString name() const { return m_name; }
    bool isSystem() const { return m_isSystem; }
    int columns() const { return m_columns; }
    // The file this palette was read from or last written to; empty for a
    // palette never saved.
    QString filePath() const { return m_filePath; }

    void clear();
    void appendColor(const QColor &color);
    void appendColor(const QColor &color, const QString &name);
    // Gives what appendColor gives for each in turn.
    void appendColors(const QList<QColor> &colors);
    void prependColor(const QColor &color);
    void removeColor(int position);
    bool moveColor(int from, int to);
    QColor colorAt(int position) const;
    int indexOf(const QColor &color) const;
    QString nameAt(int position) const;
    void setNameAt(int position, const QString &name);
    int count() const { return m_colors.size(); }
    void assign(const MPalette *other);

    static QString hexText(const QColor &color);
    // A palette name must be usable as a plain file name on its own: no
    // folder separators, no dots (the part after a dot would be taken as the
    // extension) and nothing the file systems refuse.
    static bool isValidName(const QString &name);
    static QString filePathOf(const QString &name);

    // Writes to the palette's own file, or to the file of its name for a
    // palette that has none; never over another palette's file.
    bool save();
    // Writes under another name; refused when that name's file exists and is
    // not this palette's own.
    bool saveAs(const QString &name);
    // Gives the palette a new name and moves its own file there; the old file
    // goes only once the new one is written.
    bool rename(const QString &name);
    // Removes the palette's own file; true when none is left.
    bool removeFile();

    // False, and logged, for a file that cannot be read or is refused.
    bool readPaletteFile(const QString &path);
    bool importSwatchFile(const QString &path);

    // More colours than any palette made by hand, and the most bytes such a
    // palette's file takes: beyond them a palette file is refused unread.
    static constexpr int MaximumColors = 65536;
    static constexpr qint64 MaximumFileBytes = 16 * 1024 * 1024;

    // The parsers, on bytes: they replace the palette's colours and never
    // touch the disk. A palette document that is no JSON object, or holds
    // more than MaximumColors colours, is refused: the palette is left empty,
    // and error tells why.
    bool readPaletteData(const QByteArray &data, QString *error = nullptr);
    // False when the data is cut short, holds a count its bytes cannot hold,
    // yields no colour, or is larger than MaximumFileBytes; error tells why.
    bool importSwatchData(const QByteArray &data, QString *error = nullptr);
    QByteArray paletteData() const;

public slots:
    void setName(const QString &value);
    void setIsSystem(bool value);
    void setColumns(int value);

signals:
    void nameChanged(const QString &value);
    void isSystemChanged(bool value);
    void columnsChanged(int value);

private:
    void appendUnique(const QColor &color, const QString &name);
    bool writeTo(const QString &path);
    void takeFileName(const QString &path);

    QString m_name;
    bool m_isSystem = false;
    int m_columns = 8;
    QList<QColor> m_colors;
    QStringList m_names;
    QString m_filePath;
};

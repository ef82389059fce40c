#include "mpalette.h"

#include "mfolders.h"
#include "mlogger.h"
#include "mregularfile.h"
#include "mutility.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtEndian>

MPalette::MPalette(QObject *parent)
    : QObject(parent)
{
}

void MPalette::clear()
{
    m_isSystem = false;
    m_colors.clear();
    m_names.clear();
    m_columns = 8;
    m_name.clear();
}

QString MPalette::hexText(const QColor &color)
{
    return color.name(QColor::HexRgb).toLower();
}

void MPalette::appendUnique(const QColor &color, const QString &name)
{
    const int index = indexOf(color);
    if (index >= 0) {
        m_colors.append(m_colors.takeAt(index));
        m_names.append(m_names.takeAt(index));
        return;
    }
    m_colors.append(color);
    m_names.append(name);
}

void MPalette::appendColor(const QColor &color)
{
    appendUnique(color, hexText(color));
}

void MPalette::appendColor(const QColor &color, const QString &name)
{
    appendUnique(color, name);
}

void MPalette::appendColors(const QList<QColor> &colors)
{
    // appendColor searches the whole palette for each colour. Plain RGB
    // colours are equal exactly when their 16-bit channels are, so a batch
    // of them that repeats nothing goes in at once; anything else one by one.
    QSet<quint64> taken;
    for (const QColor &color : qAsConst(m_colors)) {
        if (color.spec() == QColor::Rgb)
            taken.insert(quint64(color.rgba64()));
    }
    bool plain = true;
    for (const QColor &color : colors) {
        if (color.spec() != QColor::Rgb || taken.contains(quint64(color.rgba64()))) {
            plain = false;
            break;
        }
        taken.insert(quint64(color.rgba64()));
    }
    if (!plain) {
        for (const QColor &color : colors)
            appendColor(color);
        return;
    }
    m_colors.reserve(m_colors.size() + colors.size());
    for (const QColor &color : colors) {
        m_colors.append(color);
        m_names.append(hexText(color));
    }
}

void MPalette::prependColor(const QColor &color)
{
    const int index = indexOf(color);
    if (index >= 0) {
        m_colors.prepend(m_colors.takeAt(index));
        m_names.prepend(m_names.takeAt(index));
        return;
    }
    m_colors.prepend(color);
    m_names.prepend(hexText(color));
}

void MPalette::removeColor(int position)
{
    if (position < 0 || position >= m_colors.size())
        return;
    m_colors.removeAt(position);
    m_names.removeAt(position);
}

bool MPalette::moveColor(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_colors.size() || to >= m_colors.size())
        return false;
    m_colors.move(from, to);
    m_names.move(from, to);
    return true;
}

QColor MPalette::colorAt(int position) const
{
    return m_colors.value(position);
}

int MPalette::indexOf(const QColor &color) const
{
    return m_colors.indexOf(color);
}

QString MPalette::nameAt(int position) const
{
    return m_names.value(position);
}

void MPalette::setNameAt(int position, const QString &name)
{
    if (position >= 0 && position < m_names.size())
        m_names[position] = name;
}

void MPalette::assign(const MPalette *other)
{
    if (!other || other == this)
        return;
    m_colors = other->m_colors;
    m_names = other->m_names;
    setColumns(other->m_columns);
}

bool MPalette::isValidName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return false;
    static const QString forbidden = QStringLiteral("./\\:*?\"<>|");
    for (const QChar c : trimmed) {
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString MPalette::filePathOf(const QString &name)
{
    return MFolders::swatchesDirectory(MFolders::UserPath) + name.trimmed() + QLatin1Char('.')
           + QLatin1String(extension);
}

static bool samePath(const QString &a, const QString &b)
{
    return !a.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

static bool isPaletteFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String(MPalette::extension), Qt::CaseInsensitive) == 0;
}

bool MPalette::writeTo(const QString &path)
{
    // Never through a link in the swatches folder to a file elsewhere.
    if (!MUtility::writeFile(paletteData(), path))
        return false;
    m_filePath = path;
    return true;
}

bool MPalette::save()
{
    if (isPaletteFile(m_filePath))
        return writeTo(m_filePath);
    // A new palette, or one imported from a swatch file, which is never
    // written over: it gets a palette file of its own when its name has none.
    return saveAs(m_name);
}

bool MPalette::saveAs(const QString &name)
{
    if (!isValidName(name))
        return false;
    const QString path = filePathOf(name);
    if (QFileInfo::exists(path) && !samePath(path, m_filePath))
        return false;
    return writeTo(path);
}

bool MPalette::rename(const QString &name)
{
    if (m_isSystem || !isValidName(name))
        return false;
    const QString oldPath = m_filePath;
    const QString path = filePathOf(name);
    if (!samePath(path, oldPath)) {
        if (QFileInfo::exists(path) || !writeTo(path))
            return false;
        if (isPaletteFile(oldPath))
            QFile::remove(oldPath);
    }
    setName(name.trimmed());
    return true;
}

bool MPalette::removeFile()
{
    if (m_isSystem || m_filePath.isEmpty())
        return true;
    if (QFileInfo::exists(m_filePath) && !QFile::remove(m_filePath))
        return false;
    m_filePath.clear();
    return true;
}

void MPalette::takeFileName(const QString &path)
{
    const QString before = m_name;
    clear();
    m_name = QFileInfo(path).fileName().section(QLatin1Char('.'), 0, 0);
    m_filePath = path;
    if (m_name != before)
        emit nameChanged(m_name);
}

QByteArray MPalette::paletteData() const
{
    QJsonArray colors;
    for (int i = 0; i < m_colors.size(); ++i) {
        QJsonObject entry;
        entry.insert(QStringLiteral("name"), m_names.at(i));
        entry.insert(QStringLiteral("value"), hexText(m_colors.at(i)));
        colors.append(entry);
    }
    QJsonObject root;
    root.insert(QStringLiteral("columns"), m_columns);
    root.insert(QStringLiteral("colors"), colors);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

static QString tooLarge(qint64 bytes)
{
    return MPalette::tr("The palette file has %1 bytes, more than the %2 a palette takes.")
        .arg(bytes)
        .arg(MPalette::MaximumFileBytes);
}

bool MPalette::readPaletteData(const QByteArray &data, QString *error)
{
    auto fail = [this, error](const QString &why) {
        m_colors.clear();
        m_names.clear();
        setColumns(0);
        if (error)
            *error = why;
        return false;
    };
    m_colors.clear();
    m_names.clear();
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return fail(tr("The palette file is not a palette document."));
    const QJsonObject root = document.object();
    const QJsonValue columns = root.value(QStringLiteral("columns"));
    setColumns(columns.isDouble() ? columns.toInt() : 0);
    const QJsonArray colors = root.value(QStringLiteral("colors")).toArray();
    if (colors.size() > MaximumColors)
        return fail(tr("The palette file holds %1 colors, more than the %2 a palette can have.")
                        .arg(colors.size())
                        .arg(MaximumColors));
    for (const QJsonValue &value : colors) {
        const QJsonObject entry = value.toObject();
        const QJsonValue name = entry.value(QStringLiteral("name"));
        const QJsonValue text = entry.value(QStringLiteral("value"));
        m_names.append(name.isString() ? name.toString() : QStringLiteral("Black"));
        m_colors.append(QColor(text.isString() ? text.toString() : QStringLiteral("#000000")));
    }
    return true;
}

bool MPalette::readPaletteFile(const QString &path)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(tr("Palette %1 not read: %2").arg(path, file.errorString()));
        return false;
    }
    takeFileName(path);
    QString error;
    // The size first: parsing a huge file would cost many times its bytes.
    if (file.size() > MaximumFileBytes)
        error = tooLarge(file.size());
    else if (readPaletteData(file.readAll(), &error))
        return true;
    MLogger::instance()->systemError(tr("Palette %1 not read: %2").arg(path, error));
    return false;
}

namespace {
// Big-endian reads that never pass the end of the data.
class SwatchReader
{
public:
    explicit SwatchReader(const QByteArray &data) : m_data(data) {}

    qint64 remaining() const { return m_data.size() - m_position; }

    bool read16(quint16 &value)
    {
        if (remaining() < 2)
            return false;
        value = qFromBigEndian<quint16>(m_data.constData() + m_position);
        m_position += 2;
        return true;
    }

    bool read32(quint32 &value)
    {
        if (remaining() < 4)
            return false;
        value = qFromBigEndian<quint32>(m_data.constData() + m_position);
        m_position += 4;
        return true;
    }

private:
    const QByteArray &m_data;
    qint64 m_position = 0;
};
} // namespace

bool MPalette::importSwatchData(const QByteArray &data, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    m_colors.clear();
    m_names.clear();
    if (data.size() > MaximumFileBytes)
        return fail(tooLarge(data.size()));
    SwatchReader in(data);
    quint16 version = 0;
    quint16 count = 0;
    if (!in.read16(version) || !in.read16(count))
        return fail(tr("The swatch file has no header."));
    const bool named = version == 2;
    // A record is five 16-bit words, and a named one carries at least its
    // name length: a count the remaining bytes cannot hold is a lie.
    const qint64 recordSize = named ? 14 : 10;
    if (qint64(count) * recordSize > in.remaining())
        return fail(tr("The swatch file announces %1 colors but is too short to hold them.").arg(count));
    for (int i = 0; i < count; ++i) {
        quint16 space = 0, w = 0, x = 0, y = 0, z = 0;
        if (!in.read16(space) || !in.read16(w) || !in.read16(x) || !in.read16(y) || !in.read16(z))
            return fail(tr("The swatch file is cut short in color %1.").arg(i + 1));
        QString name;
        if (named) {
            quint32 length = 0;
            if (!in.read32(length) || qint64(length) * 2 > in.remaining())
                return fail(tr("The name of color %1 runs past the end of the swatch file.").arg(i + 1));
            for (quint32 k = 0; k < length; ++k) {
                quint16 unit = 0;
                in.read16(unit);
                if (unit != 0)
                    name.append(QChar(unit));
            }
        }
        QColor color;
        const double full = 65535.0;
        switch (space) {
        case 0: color = QColor::fromRgbF(w / full, x / full, y / full); break;
        case 1: color = QColor::fromHsvF(w / full, x / full, y / full); break;
        case 2:
            color = QColor::fromCmykF((full - w) / full, (full - x) / full, (full - y) / full, (full - z) / full).toRgb();
            break;
        default: continue;
        }
        color = color.toRgb();
        m_colors.append(color);
        m_names.append(name.isEmpty() ? hexText(color) : name);
    }
    if (m_colors.isEmpty())
        return fail(tr("The swatch file holds no RGB, HSB or CMYK color."));
    return true;
}

bool MPalette::importSwatchFile(const QString &path)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        *MLogger::instance() << tr("Palette %1 not imported: %2").arg(path, file.errorString());
        return false;
    }
    takeFileName(path);
    QString error;
    // Read whole at every start: the size is checked before anything is read.
    if (file.size() > MaximumFileBytes)
        error = tooLarge(file.size());
    else if (importSwatchData(file.readAtMost(MaximumFileBytes), &error))
        return true;
    *MLogger::instance() << tr("Palette %1 not imported: %2").arg(path, error);
    return false;
}

void MPalette::setName(const QString &value)
{
    if (m_name == value)
        return;
    m_name = value;
    emit nameChanged(value);
}

void MPalette::setIsSystem(bool value)
{
    if (m_isSystem == value)
        return;
    m_isSystem = value;
    emit isSystemChanged(value);
}

void MPalette::setColumns(int value)
{
    if (m_columns == value)
        return;
    m_columns = value;
    emit columnsChanged(value);
}

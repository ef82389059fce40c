#include "msettingsformat.h"

#include "mlogger.h"
#include "mregularfile.h"
#include "mutility.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QLockFile>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

const char hexDigits[] = "0123456789ABCDEF";

// Set from the first failed save until the next one that works, so that a
// disk that stays full is reported once and not at every change.
std::atomic<bool> saveFailing{false};
// Every run of the writer, so that a sync can tell whether it ran at all.
std::atomic<quint64> writerRuns{0};

// ---------------------------------------------------------------- writing

void appendKey(const QString &key, QByteArray &result)
{
    for (const QChar c : key) {
        uint ch = c.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'
                   || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%';
            result += hexDigits[ch / 16];
            result += hexDigits[ch % 16];
        } else {
            result += "%U";
            char code[4];
            for (int i = 3; i >= 0; --i) {
                code[i] = hexDigits[ch % 16];
                ch >>= 4;
            }
            result.append(code, 4);
        }
    }
}

void appendString(const QString &text, QByteArray &result)
{
    bool needsQuotes = false;
    // After a numeric escape a following hex digit would join it.
    bool escapeNextIfDigit = false;
    const int start = result.size();
    for (const QChar c : text) {
        const uint ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit
            && ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'))) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            result += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a': result += "\\a"; break;
        case '\b': result += "\\b"; break;
        case '\f': result += "\\f"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        case '\v': result += "\\v"; break;
        case '"':
        case '\\':
            result += '\\';
            result += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                result += char(ch);
            }
        }
    }
    if (needsQuotes || (start < result.size() && (result.at(start) == ' ' || result.at(result.size() - 1) == ' '))) {
        result.insert(start, '"');
        result += '"';
    }
}

QString variantToString(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return QStringLiteral("@ByteArray(") + QLatin1String(bytes.constData(), bytes.size()) + QLatin1Char(')');
    }
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QKeySequence: {
        QString text = value.toString();
        if (text.contains(QChar::Null))
            return QStringLiteral("@String(") + text + QLatin1Char(')');
        if (text.startsWith(QLatin1Char('@')))
            text.prepend(QLatin1Char('@'));
        return text;
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QString::asprintf("@Rect(%d %d %d %d)", r.x(), r.y(), r.width(), r.height());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QString::asprintf("@Size(%d %d)", s.width(), s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QString::asprintf("@Point(%d %d)", p.x(), p.y());
    }
    default: {
        QByteArray bytes;
        {
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            stream.setVersion(QDataStream::Qt_4_0);
            stream << value;
        }
        return QStringLiteral("@Variant(") + QLatin1String(bytes.constData(), bytes.size()) + QLatin1Char(')');
    }
    }
}

void appendValue(const QVariant &value, QByteArray &result)
{
    const bool list = value.userType() == QMetaType::QStringList
                      || (value.userType() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!list) {
        appendString(variantToString(value), result);
        return;
    }
    const QVariantList items = value.toList();
    // An empty list reads back as an invalid value, whose list is empty.
    if (items.isEmpty())
        result += "@Invalid()";
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            result += ", ";
        appendString(variantToString(items.at(i)), result);
    }
}

// ---------------------------------------------------------------- reading

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

// The next line from pos: its start and length, and where its first '=' out
// of quotes stands (-1 without one). Comment lines (';') are skipped; a
// backslash before a line end joins the next line, and so does a line end
// within quotes.
bool nextLine(const QByteArray &data, int &pos, int &lineStart, int &lineLength, int &equals)
{
    const int size = data.size();
    bool inQuotes = false;
    equals = -1;
    lineStart = pos;
    while (lineStart < size && isSpace(data.at(lineStart)))
        ++lineStart;
    int i = lineStart;
    while (i < size) {
        const char ch = data.at(i++);
        if (ch == '=') {
            if (!inQuotes && equals == -1)
                equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';') {
            if (i == lineStart + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && isSpace(data.at(i)))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    lineLength = i - lineStart;
    return lineLength > 0;
}

QString unescapedKey(const QByteArray &data, int from, int to)
{
    QString result;
    int i = from;
    while (i < to) {
        const uchar ch = uchar(data.at(i));
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            result += QLatin1Char(char(ch));
            ++i;
            continue;
        }
        int digits = 2;
        int first = i + 1;
        if (data.at(first) == 'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const int code = first + digits <= to ? data.mid(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

void chopTrailingSpaces(QString &text, int limit)
{
    int n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// A value: quotes, escapes, and commas out of quotes that make it a list.
bool unescapedValue(const QByteArray &data, int from, int to, QString &text, QStringList &list)
{
    static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                    {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    int i = from;
    bool skipSpaces = true;
    int chopLimit = 0;
    while (i < to) {
        if (skipSpaces) {
            while (i < to && (data.at(i) == ' ' || data.at(i) == '\t'))
                ++i;
            skipSpaces = false;
            chopLimit = text.size();
            continue;
        }
        const char ch = data.at(i);
        if (ch == '\\') {
            ++i;
            if (i >= to)
                break;
            const char code = data.at(i++);
            bool simple = false;
            for (const auto &pair : codes) {
                if (code == pair[0]) {
                    text += QLatin1Char(pair[1]);
                    simple = true;
                    break;
                }
            }
            if (simple) {
                chopLimit = text.size();
                continue;
            }
            if (code == 'x' || (code >= '0' && code <= '7')) {
                const int base = code == 'x' ? 16 : 8;
                uint value = code == 'x' ? 0 : uint(code - '0');
                bool any = code != 'x';
                while (i < to) {
                    const int digit = hexValue(data.at(i));
                    if (digit < 0 || digit >= base)
                        break;
                    value = value * base + uint(digit);
                    any = true;
                    ++i;
                }
                if (any)
                    text += QChar(ushort(value));
            } else if (code == '\n' || code == '\r') {
                if (i < to && (data.at(i) == '\n' || data.at(i) == '\r') && data.at(i) != code)
                    ++i;
            }
            chopLimit = text.size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces = true;
        } else if (ch == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingSpaces(text, chopLimit);
            if (!isList) {
                isList = true;
                list.clear();
            }
            list.append(text);
            text.clear();
            quoted = false;
            ++i;
            skipSpaces = true;
        } else {
            int j = i + 1;
            while (j < to && data.at(j) != '\\' && data.at(j) != '"' && data.at(j) != ',')
                ++j;
            text += QLatin1String(data.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted)
        chopTrailingSpaces(text, chopLimit);
    if (isList)
        list.append(text);
    return isList;
}

QStringList splitArguments(const QString &text, int open)
{
    return text.mid(open + 1, text.size() - open - 2).split(QLatin1Char(' '));
}

QVariant stringToVariant(const QString &text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return text.mid(11, text.size() - 12).toLatin1();
        if (text.startsWith(QLatin1String("@String(")))
            return text.mid(8, text.size() - 9);
        const bool dateTime = text.startsWith(QLatin1String("@DateTime("));
        if (text.startsWith(QLatin1String("@Variant(")) || dateTime) {
            QByteArray bytes = text.mid(dateTime ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant result;
            stream >> result;
            return result;
        }
        if (text.startsWith(QLatin1String("@Rect("))) {
            const QStringList args = splitArguments(text, 5);
            if (args.size() == 4)
                return QRect(args[0].toInt(), args[1].toInt(), args[2].toInt(), args[3].toInt());
        } else if (text.startsWith(QLatin1String("@Size("))) {
            const QStringList args = splitArguments(text, 5);
            if (args.size() == 2)
                return QSize(args[0].toInt(), args[1].toInt());
        } else if (text.startsWith(QLatin1String("@Point("))) {
            const QStringList args = splitArguments(text, 6);
            if (args.size() == 2)
                return QPoint(args[0].toInt(), args[1].toInt());
        } else if (text == QLatin1String("@Invalid()")) {
            return QVariant();
        }
    }
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    return text;
}

} // namespace

// ---------------------------------------------------------------- the format

QByteArray MSettingsFormat::toText(const QSettings::SettingsMap &map)
{
    // Keys are "section/key"; keys without a section go to [General].
    QMap<QString, QVector<QSettings::SettingsMap::const_iterator>> sections;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        sections[slash < 0 ? QString() : it.key().left(slash)].append(it);
    }
    QByteArray text;
    for (auto section = sections.constBegin(); section != sections.constEnd(); ++section) {
        if (section != sections.constBegin())
            text += '\n';
        QByteArray name;
        appendKey(section.key(), name);
        if (name.isEmpty())
            name = "General";
        else if (qstricmp(name.constData(), "general") == 0)
            name.prepend('%');
        text += '[' + name + "]\n";
        const int skip = section.key().isEmpty() ? 0 : section.key().size() + 1;
        for (const auto &it : section.value()) {
            appendKey(it.key().mid(skip), text);
            text += '=';
            appendValue(it.value(), text);
            text += '\n';
        }
    }
    return text;
}

QSettings::SettingsMap MSettingsFormat::fromText(const QByteArray &text)
{
    QSettings::SettingsMap map;
    const int bom = text.startsWith("\xef\xbb\xbf") ? 3 : 0;
    int pos = bom;
    int lineStart = 0;
    int lineLength = 0;
    int equals = -1;
    QString section;
    while (nextLine(text, pos, lineStart, lineLength, equals)) {
        if (text.at(lineStart) == '[') {
            int close = text.indexOf(']', lineStart);
            if (close < 0 || close >= lineStart + lineLength)
                close = lineStart + lineLength;
            const QByteArray name = text.mid(lineStart + 1, close - lineStart - 1).trimmed();
            if (qstricmp(name.constData(), "general") == 0)
                section.clear();
            else if (qstricmp(name.constData(), "%general") == 0)
                section = QString::fromLatin1(name.mid(1)) + QLatin1Char('/');
            else
                section = unescapedKey(name, 0, name.size()) + QLatin1Char('/');
            continue;
        }
        if (equals < 0)
            continue;
        int keyEnd = equals;
        while (keyEnd > lineStart && (text.at(keyEnd - 1) == ' ' || text.at(keyEnd - 1) == '\t'))
            --keyEnd;
        const QString key = section + unescapedKey(text, lineStart, keyEnd);
        QString value;
        QStringList list;
        if (unescapedValue(text, equals + 1, lineStart + lineLength, value, list)) {
            QVariantList items;
            for (const QString &item : qAsConst(list))
                items.append(stringToVariant(item));
            map.insert(key, items);
        } else {
            map.insert(key, stringToVariant(value));
        }
    }
    return map;
}

bool MSettingsFormat::read(QIODevice &device, QSettings::SettingsMap &map)
{
    map = fromText(device.readAll());
    return true;
}

bool MSettingsFormat::write(QIODevice &device, const QSettings::SettingsMap &map)
{
    ++writerRuns;
    const QByteArray text = toText(map);
    auto *file = qobject_cast<QFileDevice *>(&device);
    const int fd = file ? file->handle() : -1;
    QString reason;
    if (fd < 0) {
        if (device.write(text) != text.size())
            reason = device.errorString();
    } else {
        // The framework renames its file over the settings as soon as this
        // returns true, whether its buffered bytes reached the disk or not:
        // they are written and synced here, where a failure can still keep
        // the old file.
        qint64 done = 0;
        while (done < text.size() && reason.isEmpty()) {
            const ssize_t written = ::write(fd, text.constData() + done, size_t(text.size() - done));
            if (written >= 0)
                done += written;
            else if (errno != EINTR)
                reason = qt_error_string(errno);
        }
        if (reason.isEmpty() && ::fsync(fd) != 0)
            reason = qt_error_string(errno);
    }
    if (!reason.isEmpty()) {
        reportFailure(file ? file->fileName() : QString(), reason);
        return false;
    }
    saveFailing = false;
    return true;
}

void MSettingsFormat::reportFailure(const QString &path, const QString &reason)
{
    if (saveFailing.exchange(true))
        return;
    MLogger::instance()->log(QStringLiteral("Cannot save the settings to %1: %2").arg(path, reason));
    // Saves happen in the middle of anything, from any object's destructor:
    // the painter is told once the event loop runs again.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [path, reason]() {
            MUtility::showMessage(QMessageBox::Warning, QApplication::translate("MSettingsFormat", "Settings"),
                                  QApplication::translate("MSettingsFormat",
                                                          "The settings could not be saved to %1. The file "
                                                          "keeps its earlier settings; the changes are "
                                                          "saved again with the next change.")
                                      .arg(path),
                                  QMessageBox::Ok, QMessageBox::NoButton, reason);
        },
        Qt::QueuedConnection);
}

void MSettingsFormat::sync(QSettings &settings)
{
    const bool failedBefore = settings.status() != QSettings::NoError;
    const quint64 runs = writerRuns;
    settings.sync();
    // The writer reports its own failures; a status once set stays set.
    if (settings.status() == QSettings::NoError || writerRuns != runs)
        return;
    // The framework's lock holds a line or two: can the folder take that?
    const QString path = settings.fileName();
    QFile probe(path + QStringLiteral(".probe"));
    const QByteArray bytes(64, 'x');
    QString reason;
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        reason = probe.errorString();
    for (qint64 done = 0; reason.isEmpty() && done < bytes.size();) {
        const ssize_t written = ::write(probe.handle(), bytes.constData() + done, size_t(bytes.size() - done));
        if (written > 0)
            done += written;
        else if (written < 0 && errno != EINTR)
            reason = qt_error_string(errno);
    }
    probe.close();
    probe.remove();
    // A status from an earlier failure says nothing of this sync, which may
    // have had nothing to save; a folder that takes no file says it failed.
    if (failedBefore && reason.isEmpty())
        return;
    if (reason.isEmpty())
        reason = QStringLiteral("the lock file %1 could not be made").arg(path + QStringLiteral(".lock"));
    reportFailure(path, reason);
}

void MSettingsFormat::removeLeftovers(const QString &settingsPath)
{
    // Whoever saves the file holds its lock: without it nobody is writing.
    QLockFile lock(settingsPath + QStringLiteral(".lock"));
    if (!lock.tryLock(0))
        return;
    const QFileInfo info(settingsPath);
    QDir folder = info.absoluteDir();
    // The framework's temporary names: the file name, a dot and six letters
    // or digits (where the file system cannot make unnamed files).
    const QString prefix = info.fileName() + QLatin1Char('.');
    const QStringList names = folder.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString tail = name.mid(prefix.size());
        const bool temporary = std::all_of(tail.begin(), tail.end(), [](QChar c) {
            return c.unicode() < 128 && c.isLetterOrNumber();
        });
        if (temporary && folder.remove(name))
            MLogger::instance()->log(QStringLiteral("Removed %1, left by a settings save that did not end")
                                         .arg(folder.filePath(name)));
    }
    lock.unlock();
}

namespace {
QString &setAsideNotice()
{
    static QString notice;
    return notice;
}
} // namespace

QString MSettingsFormat::setAside(const QString &settingsPath)
{
    // A regular file, or a link to one, is the framework's to read.
    const QFileInfo info(settingsPath);
    if (!info.exists() || info.isFile())
        return QString();
    const QString refusal = MRegularFile::refusal(settingsPath);
    // Nothing already there is replaced: a name of its own is found.
    for (int number = 1; number <= 100; ++number) {
        const QString aside = settingsPath + QStringLiteral(".not-a-file")
                              + (number > 1 ? QStringLiteral(".%1").arg(number) : QString());
        const QFileInfo taken(aside);
        if (taken.exists() || taken.isSymLink())
            continue;
        if (::rename(QFile::encodeName(settingsPath).constData(), QFile::encodeName(aside).constData()) != 0)
            break;
        return QStringLiteral("The settings file %1 is set aside as %2: %3").arg(settingsPath, aside, refusal);
    }
    return QStringLiteral("The settings file %1 cannot be set aside: %2").arg(settingsPath, refusal);
}

QString MSettingsFormat::takeSetAsideNotice()
{
    QString notice;
    notice.swap(setAsideNotice());
    return notice;
}

QSettings::Format MSettingsFormat::install()
{
    static const QSettings::Format format = []() {
        const QSettings::Format registered = QSettings::registerFormat(QStringLiteral("conf"), &read, &write);
        QSettings::setDefaultFormat(registered);
        // Where the framework puts a user's settings file of this format.
        setAsideNotice() = setAside(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                    + QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/')
                                    + QCoreApplication::applicationName() + QStringLiteral(".conf"));
        removeLeftovers(QSettings(registered, QSettings::UserScope, QCoreApplication::organizationName(),
                                  QCoreApplication::applicationName())
                            .fileName());
        return registered;
    }();
    return format;
}

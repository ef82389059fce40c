#include "mfileframing.h"

#include "mlogger.h"
#include "mregularfile.h"
#include "msavefile.h"

#include <QDataStream>
#include <QUuid>

#include <new>

namespace {
constexpr int formatNumber = 100;
} // namespace

void MFileFraming::prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_5_4);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

MReadResult MFileFraming::readHeader(QDataStream &stream, const QUuid &magic, const QString &wrongMagic)
{
    prepare(stream);
    QUuid found;
    stream >> found;
    if (stream.status() != QDataStream::Ok || found.toString().toUpper() != magic.toString().toUpper()) {
        MLogger::instance()->systemError(wrongMagic);
        return ReadWrongMagic;
    }
    qint32 format = 0;
    stream >> format;
    return ReadDone;
}

MWriteResult MFileFraming::writeFile(const QString &path, const QUuid &magic,
                                     const std::function<MWriteResult(QDataStream &)> &body)
{
    MSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
        return WriteNotOpened;
    }
    QDataStream stream(&file);
    prepare(stream);
    stream << magic << qint32(formatNumber);
    const MWriteResult result = body(stream);
    if (result == WriteDone && stream.status() == QDataStream::Ok && file.commit())
        return WriteDone;
    // A tile the GPU would not give back is no fault of the disk.
    if (result != 0 && !file.hasError()) {
        file.cancelWriting();
        return result;
    }
    MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
    file.cancelWriting();
    return WriteIncomplete;
}

MReadResult MFileFraming::guarded(const std::function<MReadResult()> &read)
{
    try {
        return read();
    } catch (const std::bad_alloc &) {
        MLogger::instance()->systemError(QStringLiteral("Not enough memory to read the file"));
        return ReadBadData;
    }
}

MReadResult MFileFraming::readFile(const QString &path, const QUuid &magic, const QString &wrongMagic,
                                   const std::function<MReadResult(QDataStream &)> &body)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        // Logged so that the painter who asked can be shown why.
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, file.errorString()));
        return ReadNotOpened;
    }
    QDataStream stream(&file);
    const MReadResult result = readHeader(stream, magic, wrongMagic);
    return result != 0 ? result : guarded([&] { return body(stream); });
}

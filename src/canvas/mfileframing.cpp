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

MFileResult MFileFraming::readHeader(QDataStream &stream, const QUuid &magic, const QString &wrongMagic)
{
    prepare(stream);
    QUuid found;
    stream >> found;
    if (stream.status() != QDataStream::Ok || found.toString().toUpper() != magic.toString().toUpper())
        return MFileResult(ReadWrongMagic, MLogger::instance()->systemError(wrongMagic));
    qint32 format = 0;
    stream >> format;
    return ReadDone;
}

MFileResult MFileFraming::writeFile(const QString &path, const QUuid &magic,
                                    const std::function<MFileResult(QDataStream &)> &body)
{
    MSaveFile file(path);
    const auto unwritten = [&] {
        return MLogger::instance()->systemError(QStringLiteral("Unable to write %1: %2").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        return MFileResult(WriteNotOpened, unwritten());
    QDataStream stream(&file);
    prepare(stream);
    stream << magic << qint32(formatNumber);
    const MFileResult result = body(stream);
    if (result.isDone() && stream.status() == QDataStream::Ok && file.commit())
        return WriteDone;
    // A tile the GPU would not give back is no fault of the disk.
    if (!result.isDone() && !file.hasError()) {
        file.cancelWriting();
        return result;
    }
    const QString reason = unwritten();
    file.cancelWriting();
    return MFileResult(WriteIncomplete, reason);
}

MFileResult MFileFraming::guarded(const std::function<MFileResult()> &read)
{
    try {
        return read();
    } catch (const std::bad_alloc &) {
        return MFileResult(ReadBadData,
                           MLogger::instance()->systemError(QStringLiteral("Not enough memory to read the file")));
    }
}

MFileResult MFileFraming::readFile(const QString &path, const QUuid &magic, const QString &wrongMagic,
                                   const std::function<MFileResult(QDataStream &)> &body)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        return MFileResult(ReadNotOpened, MLogger::instance()->systemError(
                                              QStringLiteral("Unable to read %1: %2").arg(path, file.errorString())));
    }
    QDataStream stream(&file);
    const MFileResult result = readHeader(stream, magic, wrongMagic);
    return !result.isDone() ? result : guarded([&] { return body(stream); });
}

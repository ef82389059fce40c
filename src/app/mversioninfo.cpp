#include "mversioninfo.h"

#include <QDataStream>
#include <QSysInfo>

namespace {
constexpr int kStreamVersion = 17; // QDataStream::Qt_5_12
}

MVersionInfo::MVersionInfo()
    : name(QStringLiteral("KalmiDraw"))
    , major(1)
    , minor(4)
    , patch(2)
    , platform(runningPlatform())
{
}

QString MVersionInfo::runningPlatform()
{
    const QString bits = QSysInfo::buildCpuArchitecture() == QLatin1String("x86_64") ? QStringLiteral("64")
                                                                                     : QStringLiteral("32");
#ifdef Q_OS_WIN
    return QStringLiteral("win") + bits;
#else
    // Named after the system it runs on, never a "win" it is not.
    return QSysInfo::kernelType() + bits;
#endif
}

bool MVersionInfo::load(const QByteArray &bytes)
{
    return fromByteArray(*this, bytes);
}

bool MVersionInfo::fromByteArray(MVersionInfo &record, const QByteArray &bytes)
{
    QDataStream stream(bytes);
    stream.setVersion(kStreamVersion);
    qint32 major = 0, minor = 0, patch = 0;
    record.name.clear();
    record.platform.clear();
    stream >> record.name >> major >> minor >> patch >> record.platform;
    record.major = major;
    record.minor = minor;
    record.patch = patch;
    // Garbage must not pass for a version: a check that compared it would
    // offer a download that does not exist.
    return stream.status() == QDataStream::Ok && stream.atEnd() && !record.name.isEmpty();
}

QByteArray MVersionInfo::toByteArray() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(kStreamVersion);
    stream << name << qint32(major) << qint32(minor) << qint32(patch) << platform;
    return bytes;
}

bool MVersionInfo::isNewerThan(const MVersionInfo &other) const
{
    if (major != other.major)
        return major > other.major;
    if (minor != other.minor)
        return minor > other.minor;
    return patch > other.patch;
}

QString MVersionInfo::toString() const
{
    return QStringLiteral("%1.%2.%3-%4").arg(major).arg(minor).arg(patch).arg(platform);
}

#pragma once

#include "mfileresult.h"

#include <functional>

class QDataStream;
class QString;
class QUuid;

// What the document file and the single-layer file share around their
// bodies: a magic UUID, the format number, a write that puts the file in
// place only whole, and a read that fails on damage instead of ending the
// program. Each failure is logged, and the logged line is the result's reason.
class MFileFraming
{
public:
    static void prepare(QDataStream &stream);
    // Checks the magic and reads the format number (any value is accepted).
    static MFileResult readHeader(QDataStream &stream, const QUuid &magic, const QString &wrongMagic);
    // Writes the magic, the format number and the body beside path and puts the
    // result in place only when every byte reached the disk.
    static MFileResult writeFile(const QString &path, const QUuid &magic,
                                 const std::function<MFileResult(QDataStream &)> &body);
    // A count that slipped past the checks, or a machine short of memory, fails
    // the read like damage does instead of ending the program.
    static MFileResult guarded(const std::function<MFileResult()> &read);
    // Opens path, checks the magic and reads the format number before the body.
    static MFileResult readFile(const QString &path, const QUuid &magic, const QString &wrongMagic,
                                const std::function<MFileResult(QDataStream &)> &body);
};

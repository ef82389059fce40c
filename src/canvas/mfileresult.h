#pragma once

#include <QString>

// What reading a document or layer file came to; each failure is logged.
enum MReadResult {
    ReadDone = 0,
    ReadNotOpened = 1,
    ReadWrongMagic = 2,
    // Cut short, a header value out of range, or not whole tiles on the tile grid.
    ReadBadData = 3,
    // The document cannot take layers (no context).
    ReadNoContext = 4
};

// What writing a document or layer file came to; each failure is logged.
enum MWriteResult {
    WriteDone = 0,
    WriteNotOpened = 1,
    // Not every byte reached the file.
    WriteIncomplete = 2,
    // Reading a tile back from the GPU failed.
    WriteTileUnreadable = 3
};

// A read or write result with the words that say why it failed, for whoever
// asked for the file to tell the painter: the code (an MReadResult or an
// MWriteResult, 0 being done in both) and the reason, empty when done.
class MFileResult
{
public:
    MFileResult() = default;
    MFileResult(MReadResult read, const QString &why = QString())
        : code(read)
        , reason(why)
    {
    }
    MFileResult(MWriteResult write, const QString &why = QString())
        : code(write)
        , reason(why)
    {
    }

    bool isDone() const { return code == 0; }

    int code = 0;
    QString reason;
};

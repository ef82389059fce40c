#pragma once

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

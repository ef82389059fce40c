#pragma once

#include <QByteArray>
#include <QStringList>

// Every reader of outside bytes, run on bytes alone: no file, no window, no
// GL context. The fuzz targets and the replay of their corpora in the test
// suite go through here, so both exercise exactly the same code.
class MFuzzReaders
{
public:
    // "document", "layer", "brush", "effect", "params", "options", "swatches"
    // (.aco import), "palette", "shape" (with its previews), "sizeexpression" (a
    // shape's sizes), "template", "comiclayout", "snippet" (code
    // fragments), "textstyles", "helpindex", "version" (records of the update
    // check), "order" (library order files), "instancemessage" (what a
    // second start sends the running one) and "image" (an image opened,
    // imported or pasted, its header checked before it is decoded).
    static QStringList names();
    // 0 when the reader accepted the bytes, its own failure code otherwise;
    // -1 for an unknown reader.
    static int read(const QString &reader, const QByteArray &bytes);
    // Moves the log into a private data folder, and empties it again at each
    // later call: a million runs must not fill the disk with refusals.
    static void quietLog();
};

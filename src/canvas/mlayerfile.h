#pragma once

#include "mfileresult.h"

#include <QString>

class MLayerDescription;
class MTextureLayer;
class MTileRecordWriter;
class QDataStream;
class QIODevice;

// A layer record (properties, then each tile's cell and the raw RGBA pixels
// of its texture), as documents hold them, and the single-layer file that
// holds one: where a removed layer waits for its undo, in the cache folder
// under an id of its own. Reading and writing need the document's context
// current; parsing does not. Each failure is logged, and the logged line is
// the result's reason.
class MLayerFile
{
public:
    // Writes the layer under a new id and returns it; empty when that failed,
    // and the layer is left as it was.
    static QString park(MTextureLayer *layer);
    // Reads the layer parked under id into layer; false when it could not.
    static bool unpark(const QString &id, MTextureLayer *layer);

    static MFileResult writeLayerFile(const QString &path, MTextureLayer *layer);
    static MFileResult readLayerFile(const QString &path, MTextureLayer *layer);
    static MFileResult writeLayerRecord(QDataStream &stream, MTextureLayer *layer);
    static MFileResult readLayerRecord(QDataStream &stream, MTextureLayer *layer);
    // The checking half of the reader, on any device and without a GL context:
    // the same codes and log lines as the reader up to the upload.
    static MFileResult parseLayerFile(QIODevice *device, MLayerDescription &description);

    // A layer record's properties, then each tile's cell and pixels, read back
    // from the GPU while the writer writes what came before.
    static bool queueLayerRecord(MTileRecordWriter &writer, int version, MTextureLayer *layer);
    // A layer record's properties, with the only tile geometry documents have.
    static void setLayerProperties(const MLayerDescription &record, MTextureLayer *layer);
    // Puts a description that read whole into a layer: its properties, then the
    // pixels of every tile, read again from where the description found them.
    static MFileResult uploadLayer(QDataStream &stream, const MLayerDescription &record, MTextureLayer *layer);
};

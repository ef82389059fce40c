#pragma once

#include <QString>

class MCanvas;
class MDocumentDescription;
class MLayerDescription;
class MTextureLayer;
class QDataStream;
class QIODevice;

// The document file ("kxd") and the single-layer file in which a removed
// layer is parked on disk. Both are a magic UUID, the format number and a
// body: the document's painted rectangle, paper and margin followed by its
// layer records, or one layer record (properties, then the raw RGBA pixels of
// every tile texture). Reading and writing need the document's context
// current; the checking half of reading (MDocumentDescription,
// MLayerDescription) does not.
//
// Readers return 0 on success, 1 when the file cannot be opened, 2 for a
// wrong magic, 3 when the data is cut short, has a header value out of range
// or does not describe whole tiles on the tile grid, 4 when the document
// cannot take layers (no context). Each failure is logged. A document is
// replaced only once its whole file has been read: a failed read leaves it as
// it was.
//
// Writers return 0 on success, 1 when the file cannot be opened, 2 when not
// every byte reached the file, 3 when reading a tile from the GPU failed.
// Files are written beside the target (MSaveFile) and renamed over it, so a
// failed write leaves the previous file as it was.
int writeDocumentFile(const QString &path, MCanvas *canvas);
int readDocumentFile(const QString &path, MCanvas *canvas);
int writeDocument(QDataStream &stream, MCanvas *canvas);
int readDocument(QDataStream &stream, MCanvas *canvas);

// The checking half of the readers, on any device and without a GL context:
// the same codes and log lines as the readers up to the upload.
int parseDocumentFile(QIODevice *device, MDocumentDescription &description);
int parseLayerFile(QIODevice *device, MLayerDescription &description);

int writeLayerFile(const QString &path, MTextureLayer *layer);
int readLayerFile(const QString &path, MTextureLayer *layer);
int writeLayerRecord(QDataStream &stream, MTextureLayer *layer);
int readLayerRecord(QDataStream &stream, MTextureLayer *layer);

// Saves every layer, alone at the size of the painted rectangle, as
// <folder>/<baseName><number>.png, the number padded to four digits. Without
// reverse the last row is 1 and row 0 the layer count; with it row 0 is 1.
// With background each image shows row 0 under the layer. False when there is
// nothing to export, the folder is missing or an image could not be saved.
bool exportLayersAsPng(const QString &folder, const QString &baseName, MCanvas *canvas, bool reverse,
                       bool background);

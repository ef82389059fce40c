#pragma once

#include <QString>

class MTextureLayer;
class QDataStream;

// The single-layer file in which a removed layer is parked on disk: a magic
// UUID, the format number and one layer record (properties, then the raw
// RGBA pixels of every tile texture). Reading and writing need the
// document's context current.
//
// Readers return 0 on success, 1 when the file cannot be opened, 2 for a
// wrong magic, 3 when a tile's pixels are cut short (or their size is not a
// whole tile). Writers return 0 on success, 1 when the file cannot be opened,
// 2 when fewer bytes were written than a tile holds, 3 when reading a tile
// from the GPU failed.
int writeLayerFile(const QString &path, MTextureLayer *layer);
int readLayerFile(const QString &path, MTextureLayer *layer);
int writeLayerRecord(QDataStream &stream, MTextureLayer *layer);
int readLayerRecord(QDataStream &stream, MTextureLayer *layer);

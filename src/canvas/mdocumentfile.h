#pragma once

#include "mdocumentparts.h"
#include "mfileresult.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class MDocumentDescription;
class MDocumentLoader;
class MLayerDescription;
class MTextureLayer;
class QDataStream;
class QIODevice;

// The document file ("kxd"): a magic UUID, the format number, then the
// document's painted rectangle, paper and margin followed by its layer
// records (MLayerFile). Reading and writing need the document's context
// current; the checking half of reading (MDocumentDescription,
// MLayerDescription) does not.
//
// Each failure is logged, and the logged line is the result's reason. A document is replaced only once its whole file has
// been read: a failed read leaves it as it was. Files are written beside the
// target (MSaveFile) and renamed over it, so a failed write leaves the
// previous file as it was.

// Whether the file begins as a document does, whatever its name.
bool isDocumentFile(const QString &path);

// How a reader gives the document a file it read whole: the document
// empties itself and takes the header and the layers, which it then owns.
using MDocumentTake = std::function<void(const MDocumentDescription &, const QList<MTextureLayer *> &)>;

MFileResult writeDocumentFile(const QString &path, const MDocumentParts &parts);
MFileResult readDocumentFile(const QString &path, const MDocumentParts &parts, const MDocumentTake &take);
MFileResult writeDocument(QDataStream &stream, const MDocumentParts &parts);
MFileResult readDocument(QDataStream &stream, const MDocumentParts &parts, const MDocumentTake &take);
// Reads and checks the whole file as readDocumentFile does, then gives the
// document the file's header and its layers without their tiles, which the
// loader set up here brings in (not started): the tiles over the painted
// rectangle first, from its centre outwards, each place's layers from the
// bottom up, as the first frames composite them. A failure changes nothing.
MFileResult startReadingDocumentFile(const QString &path, const MDocumentParts &parts, const MDocumentTake &take,
                                     std::unique_ptr<MDocumentLoader> &loader);

// The checking half of the readers, on any device and without a GL context:
// the same codes and log lines as the readers up to the upload.
MFileResult parseDocumentFile(QIODevice *device, MDocumentDescription &description);

#pragma once

#include "mdocumentparts.h"
#include "mfileresult.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class MDocumentDescription;
class MDocumentLoader;
class MTextureLayer;

// The document's reading and writing: saving it, opening a document file
// (whole, or its tiles brought in from the event loop while the painter
// already sees the first), reading an image to open as a new document, and
// how the last of each ended, with the reason a failure was logged with.
// It changes the document's parts and announces through their events; what
// is the document's own (its name, whether it is new, its reactions, its
// current row) the document sets from what the storage returns or emits.
// Owned by its document.
class MDocumentStorage : public QObject
{
    Q_OBJECT
public:
    explicit MDocumentStorage(const MDocumentParts &parts, QObject *parent = nullptr);
    ~MDocumentStorage() override;

    // How the last load (document or image) and the last save ended, with
    // the reason the reader or writer logged for a failure.
    const MFileResult &lastReadResult() const { return m_lastReadResult; }
    const MFileResult &lastWriteResult() const { return m_lastWriteResult; }

    // Writes the document to path once a load in progress is whole; a
    // failure (the code in lastWriteResult) leaves the file as it was.
    bool saveToFile(const QString &path);
    // Reads and checks the document file whole; then the document empties
    // itself (replacing), the parts take the file's paper and its layers,
    // each made current in turn, without their tiles, and the undo stack is
    // emptied. The tiles wait for startTiles. A file that is not whole
    // fails (the code in lastReadResult) and changes nothing.
    bool readDocument(const QString &path);
    // Brings in the tiles of the document read last from the event loop,
    // the ones the view shows first, or at once for a small document:
    // loadingFinished tells the end, and a read that fails then emits
    // tilesFailed first.
    void startTiles();
    // Brings in every tile still to come without the event loop; whether
    // the whole load succeeded.
    bool completeLoading();
    bool isLoading() const { return m_loader != nullptr; }
    // Waits for the tiles still to come, the event loop running meanwhile
    // (frames, input, closing): whatever reads or changes the document's
    // pixels or layers calls it first, and does nothing when it returns
    // false: the load failed, or was given up for a close or another
    // document while it waited.
    bool finishLoading();
    // Gives up the load in progress at once; the tiles not in stay blank.
    void cancelLoading();
    // The loads to come ask this whether a tile may be read yet (tests hold
    // a load with it).
    void setLoadingReadHold(const std::function<bool(int)> &mayRead) { m_loadingReadHold = mayRead; }
    // The image of a file to open as a new document; null (lastReadResult
    // ReadNotOpened, logged) when the file cannot be read.
    QImage readImage(const QString &path);

signals:
    // A document file read whole is about to replace the document's layers:
    // the document empties itself (layers, stroke, selection) first.
    void replacing();
    // The tiles of the document being opened could not all be read: no half
    // document may stay, it becomes a new document. Before loadingFinished.
    void tilesFailed();
    // The tiles of the document being opened are all in (or the load failed).
    void loadingFinished(bool loaded);
    // Something began to wait for the last tiles (finishLoading), or the
    // last such wait ended, the load whole (loaded) or not.
    void loadingWaitStarted();
    void loadingWaitEnded(bool loaded);

private:
    // Ends the waits for the last tiles (finishLoading), telling them whether
    // the load is whole.
    void endLoadWaits(bool loaded);
    void endLoading(const MFileResult &result);
    // The document emptied and given the header of a description that read
    // whole and the layers made from it.
    void takeDocument(const MDocumentDescription &description, const QList<MTextureLayer *> &layers);

    MDocumentParts m_parts;
    MFileResult m_lastReadResult;
    MFileResult m_lastWriteResult;
    MDocumentLoader *m_loader = nullptr;
    // The loader of the document read last, until startTiles.
    std::unique_ptr<MDocumentLoader> m_readLoader;
    struct LoadWait;
    QList<LoadWait *> m_loadWaits;
    std::function<bool(int)> m_loadingReadHold;
};

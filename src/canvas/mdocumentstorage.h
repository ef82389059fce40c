#pragma once

#include "mdocumentparts.h"
#include "mfileresult.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class MDocumentDescription;
class MDocumentLoader;
class MTextureLayer;

// The document's reading and writing: saving it, opening a document file
// (whole, or its tiles brought in from the event loop while the painter
// already sees the first), opening an image as a new document, and how the
// last of each ended, with the reason a failure was logged with. Owned by
// its document.
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

    // A failed save or load changes nothing (the code is in
    // lastReadResult/lastWriteResult); a successful one sets the file name
    // and clears isNew; a save marks the undo history clean and keeps it, a
    // load empties it and makes the last layer current.
    bool saveToFile(const QString &path);
    bool loadFromFile(const QString &path);
    // Opens a document file as loadFromFile does, but returns once the file
    // was checked whole and the document took its header and layers: the
    // tiles come in from the event loop, the ones the view shows first, and
    // loadingFinished tells the end. A file that is not whole fails at once
    // and changes nothing; a read that fails later leaves a new document.
    bool startLoading(const QString &path);
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
    // A new document of one layer holding the image; false (lastReadResult ReadNotOpened)
    // with the document unchanged when the file cannot be read.
    bool loadImage(const QString &path);

signals:
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
    struct LoadWait;
    QList<LoadWait *> m_loadWaits;
    std::function<bool(int)> m_loadingReadHold;
};

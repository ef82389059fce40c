#include "mdocumentstorage.h"

#include "mdocumentdescription.h"
#include "mdocumentevents.h"
#include "mdocumentfile.h"
#include "mdocumentloader.h"
#include "menum.h"
#include "mgpudevice.h"
#include "mimagefile.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mundohistory.h"

#include <QEventLoop>
#include <QUndoStack>

#include <memory>

MDocumentStorage::MDocumentStorage(const MDocumentParts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{
}

MDocumentStorage::~MDocumentStorage() = default;

bool MDocumentStorage::saveToFile(const QString &path)
{
    // A document still loading is saved whole or not at all.
    if (!finishLoading()) {
        // Whatever ended the load said why; a load given up has no reason.
        m_lastWriteResult = MFileResult(WriteTileUnreadable, m_lastReadResult.reason);
        return false;
    }
    // Stamps still queued belong in what is saved.
    m_parts.flushStrokes();
    m_parts.device->makeCurrent();
    m_lastWriteResult = writeDocumentFile(path, m_parts);
    return m_lastWriteResult.isDone();
}

bool MDocumentStorage::readDocument(const QString &path)
{
    // The stamps queued for the document being replaced are drawn, not left
    // to land in the layers read.
    m_parts.flushStrokes();
    m_parts.device->makeCurrent();
    std::unique_ptr<MDocumentLoader> loader;
    m_lastReadResult = startReadingDocumentFile(
        path, m_parts,
        [this](const MDocumentDescription &description, const QList<MTextureLayer *> &layers) {
            takeDocument(description, layers);
        },
        loader);
    if (!m_lastReadResult.isDone())
        return false;
    m_readLoader = std::move(loader);
    return true;
}

void MDocumentStorage::startTiles()
{
    if (!m_readLoader)
        return;
    m_loader = m_readLoader.release();
    m_loader->setParent(this);
    if (m_loadingReadHold)
        m_loader->setReadHold(m_loadingReadHold);
    MDocumentEvents *events = m_parts.events;
    connect(m_loader, &MDocumentLoader::tilesArrived, this,
            [events](const QRectF &area) { emit events->refresh(true, area); });
    connect(m_loader, &MDocumentLoader::finished, this, &MDocumentStorage::endLoading);
    m_loader->start();
}

bool MDocumentStorage::completeLoading()
{
    if (m_loader)
        m_loader->finish();
    return m_lastReadResult.isDone();
}

void MDocumentStorage::takeDocument(const MDocumentDescription &description, const QList<MTextureLayer *> &layers)
{
    m_parts.flushStrokes();
    m_parts.device->makeCurrent();
    emit replacing();
    MPaper *paper = m_parts.paper;
    paper->setPaintedRect(description.paintedRect);
    paper->setPaperType(MEnum::PaperType(description.paperType));
    paper->setPaperColor(description.paperColor);
    if (paper->paperType() == MEnum::Paper) {
        paper->setPaperName(description.paperName);
        paper->setPaperTile(description.paperTile);
    }
    paper->setAutoExtent(description.autoExtent);
    paper->setPaintMargin(description.paintMargin);
    MLayerStack *stack = m_parts.layers;
    for (MTextureLayer *layer : layers) {
        stack->insertAt(stack->count(), layer);
        emit m_parts.events->thumbnailWanted(stack->currentRow());
    }
    // Commands of the replaced document would act on layers that are gone.
    m_parts.history->stack()->clear();
}

struct MDocumentStorage::LoadWait
{
    QEventLoop loop;
    bool loaded = false;
};

bool MDocumentStorage::finishLoading()
{
    if (!m_loader)
        return true;
    // The loader's slices go on from this loop: frames, the painter's input
    // and a close are answered meanwhile, and whatever would end the load
    // (a close, another document) ends the wait with it.
    LoadWait wait;
    m_loadWaits.append(&wait);
    if (m_loadWaits.size() == 1)
        emit loadingWaitStarted();
    wait.loop.exec();
    m_loadWaits.removeOne(&wait);
    if (m_loadWaits.isEmpty())
        emit loadingWaitEnded(wait.loaded);
    // The frames drawn meanwhile made their own context current.
    if (wait.loaded) {
        m_parts.flushStrokes();
        m_parts.device->makeCurrent();
    }
    return wait.loaded;
}

void MDocumentStorage::endLoadWaits(bool loaded)
{
    for (LoadWait *wait : qAsConst(m_loadWaits)) {
        wait->loaded = loaded;
        wait->loop.quit();
    }
}

void MDocumentStorage::cancelLoading()
{
    if (!m_loader)
        return;
    m_loader->cancel();
    m_loader->deleteLater();
    m_loader = nullptr;
    endLoadWaits(false);
}

void MDocumentStorage::endLoading(const MFileResult &result)
{
    // Called from the loader's own signal: it goes once that returned.
    m_loader->deleteLater();
    m_loader = nullptr;
    m_lastReadResult = result;
    if (!result.isDone()) {
        // No half document stays: a document missing tiles would be saved
        // over the file as it is.
        emit tilesFailed();
    } else {
        for (int row = 0; row < m_parts.layers->count(); ++row)
            emit m_parts.events->thumbnailWanted(row);
    }
    emit m_parts.events->refresh(false, QRectF());
    endLoadWaits(result.isDone());
    emit loadingFinished(result.isDone());
}

QImage MDocumentStorage::readImage(const QString &path)
{
    m_lastReadResult = MFileResult();
    QString reason;
    const QImage image = MImageFile::read(path, &reason, MDocumentDescription::imageCheck());
    if (image.isNull())
        m_lastReadResult = MFileResult(
            ReadNotOpened, MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, reason)));
    return image;
}

#include "mdocumentstorage.h"

#include "mcanvas.h"
#include "mcommandinsertlayer.h"
#include "mdocumentdescription.h"
#include "mdocumentfile.h"
#include "mdocumentloader.h"
#include "mimagefile.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mundohistory.h"

#include <QEventLoop>
#include <QUndoStack>
#include <QPainterPath>

#include <memory>

MDocumentStorage::MDocumentStorage(const MDocumentParts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{
}

MDocumentStorage::~MDocumentStorage() = default;

bool MDocumentStorage::saveToFile(const QString &path)
{
    MCanvas *document = m_parts.document;
    // A document still loading is saved whole or not at all.
    if (!finishLoading()) {
        // Whatever ended the load said why; a load given up has no reason.
        m_lastWriteResult = MFileResult(WriteTileUnreadable, m_lastReadResult.reason);
        return false;
    }
    document->makeCurrent();
    m_lastWriteResult = writeDocumentFile(path, m_parts);
    if (!m_lastWriteResult.isDone())
        return false;
    document->setFileName(path);
    document->setIsNew(false);
    // The painter may still want to undo what was saved.
    m_parts.history->setClean();
    return true;
}

bool MDocumentStorage::loadFromFile(const QString &path)
{
    if (!startLoading(path))
        return false;
    if (m_loader)
        m_loader->finish();
    return m_lastReadResult.isDone();
}

bool MDocumentStorage::startLoading(const QString &path)
{
    MCanvas *document = m_parts.document;
    document->makeCurrent();
    document->disconnectSignals();
    std::unique_ptr<MDocumentLoader> loader;
    m_lastReadResult = startReadingDocumentFile(
        path, m_parts,
        [this](const MDocumentDescription &description, const QList<MTextureLayer *> &layers) {
            takeDocument(description, layers);
        },
        loader);
    document->connectSignals();
    if (!m_lastReadResult.isDone())
        return false;
    document->setFileName(path);
    document->setIsNew(false);
    m_parts.history->clear();
    // The reader emptied the stack while its signals were off.
    emit document->modifiedChanged();
    document->setCurrentRow(document->count() - 1);
    emit document->layerListReset();
    m_loader = loader.release();
    m_loader->setParent(this);
    if (m_loadingReadHold)
        m_loader->setReadHold(m_loadingReadHold);
    connect(m_loader, &MDocumentLoader::tilesArrived, this,
            [document](const QRectF &area) { emit document->refresh(true, area); });
    connect(m_loader, &MDocumentLoader::finished, this, &MDocumentStorage::endLoading);
    m_loader->start();
    return true;
}

void MDocumentStorage::takeDocument(const MDocumentDescription &description, const QList<MTextureLayer *> &layers)
{
    MCanvas *document = m_parts.document;
    document->makeCurrent();
    document->clear();
    document->setClipPath(QPainterPath());
    document->setPaintedRect(description.paintedRect);
    document->setPaperType(MEnum::PaperType(description.paperType));
    document->setPaperColor(description.paperColor);
    if (document->paperType() == MEnum::Paper) {
        document->setPaperName(description.paperName);
        document->setPaperTile(description.paperTile);
    }
    document->setAutoExtent(description.autoExtent);
    document->setPaintMargin(description.paintMargin);
    for (MTextureLayer *layer : layers) {
        document->appendItem(layer);
        document->updateLayerThumbnail();
    }
    // Commands of the replaced document would act on layers that are gone.
    document->undoStack()->clear();
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
    if (wait.loaded)
        m_parts.document->makeCurrent();
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
    MCanvas *document = m_parts.document;
    // Called from the loader's own signal: it goes once that returned.
    m_loader->deleteLater();
    m_loader = nullptr;
    m_lastReadResult = result;
    if (!result.isDone()) {
        // No half document stays: a document missing tiles would be saved
        // over the file as it is.
        document->reset();
        document->setFileName(QString());
        document->setIsNew(true);
    } else {
        for (int row = 0; row < document->count(); ++row)
            document->updateLayerThumbnail(row);
    }
    document->refresh();
    endLoadWaits(result.isDone());
    emit loadingFinished(result.isDone());
}

bool MDocumentStorage::loadImage(const QString &path)
{
    MCanvas *document = m_parts.document;
    m_lastReadResult = MFileResult();
    QString reason;
    const QImage image = MImageFile::read(path, &reason, MDocumentDescription::imageCheck());
    if (image.isNull()) {
        m_lastReadResult = MFileResult(
            ReadNotOpened, MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, reason)));
        return false;
    }
    document->makeCurrent();
    document->disconnectSignals();
    document->clear();
    document->setClipPath(QPainterPath());
    m_parts.history->push(MCommandInsertLayer::append(m_parts));
    document->setPaperSize(image.size(), false);
    document->pasteImage(QPointF(0, 0), image, false, QString(), -1, QRectF(), 0);
    document->connectSignals();
    document->setFileName(QString());
    document->setIsNew(true);
    m_parts.history->clear();
    document->setCurrentRow(document->count() - 1);
    emit document->layerListReset();
    return true;
}

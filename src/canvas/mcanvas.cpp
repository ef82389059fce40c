#include "mcanvas.h"

#include "mlogcategory.h"
#include "mbrushlist.h"
#include "mcanvasfill.h"
#include "mcommandinsertlayer.h"
#include "mcommandsetpaintedrect.h"
#include "mdocumentevents.h"
#include "mdocumentstorage.h"
#include "mevent.h"
#include "mgpudevice.h"
#include "mpaper.h"
#include "mquickfill.h"
#include "mselection.h"
#include "mlayerlistmodel.h"
#include "mpathevents.h"
#include "mlogger.h"
#include "mpaintengine.h"
#include "msettings.h"
#include "mshaderprogramlist.h"
#include "mstrokes.h"
#include "mundohistory.h"
#include "mundostream.h"

#include <QFileInfo>
#include <QTimer>
#include <QUndoStack>

#include <cmath>

namespace {
int documentCounter = 0;

void trace(const char *function, const QString &message)
{
    qCDebug(lcCanvas).noquote() << QStringLiteral("mcanvas::%1").arg(QLatin1String(function)) << message;
}
} // namespace

MCanvas::MCanvas(QObject *parent, Purpose purpose)
    : QObject(parent)
    , m_layers(new MLayerStack(this))
    , m_layerModel(new MLayerListModel(m_layers, this))
    , m_programs(purpose == ScratchDocument ? MShaderProgramList::scratchList() : new MShaderProgramList(this))
{
    MSettings *settings = MSettings::instance();
    const int width = settings->defaultWidth();
    const int height = settings->defaultHeight();
    m_paper = new MPaper(settings->paperType(), settings->paperColor(),
                         QRectF(-(width / 2), -(height / 2), width, height), this);
    m_strokeLayer = new MTextureLayer(this);
    m_selection = new MSelection(this);
    m_device = new MGpuDevice({shaderProgramList(), m_selection, m_paper, m_strokeLayer,
                               [this] {
                                   m_paintEngine->createPaperTexture();
                                   return m_paintEngine->isPaperUpToDate() ? m_paintEngine->paperTexture() : nullptr;
                               }},
                              this);
    m_paintEngine = new MPaintEngine(m_paper, m_device, this);
    m_history = new MUndoHistory(this);
    m_history->stack()->setUndoLimit(settings->undoLimit());
    // Undo and redo replace tiles, the stroke layer's among them: no stamp
    // may still be queued for a tile they change or delete.
    m_history->setBeforeRun([this] { return flushStrokesAndMakeCurrent(); });
    connect(m_history, &MUndoHistory::messageForPainter, this, &MCanvas::messageForPainter);
    m_events = new MDocumentEvents(this);
    m_parts.layers = m_layers;
    m_parts.paper = m_paper;
    m_parts.selection = m_selection;
    m_parts.paintEngine = m_paintEngine;
    m_parts.device = m_device;
    m_parts.history = m_history;
    m_parts.events = m_events;
    m_parts.strokeLayer = m_strokeLayer;
    m_parts.flushStrokes = [this] { flushStrokes(); };
    m_parts.strokeInProgress = [this] { return m_strokeInProgress; };
    // The storage owns the wait for a load: the parts made after it hold that wait.
    m_storage = new MDocumentStorage(m_parts, this);
    m_parts.finishLoading = [storage = m_storage] { return storage->finishLoading(); };
    // A scratch document's programs are shared with the others and outlive it.
    m_strokes = new MStrokes(
        m_parts, m_programs, purpose == ScratchDocument,
        [this](MShader *engine) { m_paintEngine->loadEffectTexture(engine); }, this);
    m_renderer.reset(new MDocumentRenderer(m_parts));
    m_layerEdits.reset(new MLayerEdits(m_parts));
    // Connections made to the document before its loads were the storage's keep working.
    connect(m_storage, &MDocumentStorage::loadingFinished, this, &MCanvas::loadingFinished);
    connect(m_storage, &MDocumentStorage::loadingWaitStarted, this, &MCanvas::loadingWaitStarted);
    connect(m_storage, &MDocumentStorage::loadingWaitEnded, this, &MCanvas::loadingWaitEnded);
    connectStorage();
    if (purpose == UserDocument)
        m_fileName = tr("new document %1.%2").arg(++documentCounter).arg(QStringLiteral("kxd"));
    connectParts();
    setPaperName(settings->paperName());
    initializeGL();
    connectSignals();
}

MCanvas::~MCanvas()
{
    // A macro still open is a stroke or an action that began and never ended.
    const QUndoStack *stack = m_history->stack();
    if (stack->count() > 0 && !stack->canUndo() && !stack->canRedo())
        trace("~MCanvas", QStringLiteral("stroke start <> end !"));
    // Commands may hold layers whose textures go with the context.
    if (isGlReady())
        shutDown();
    delete m_history;
    m_history = nullptr;
}

// ---------------------------------------------------------------- OpenGL

void MCanvas::initializeGL()
{
    if (isGlReady() || !m_device->createContext())
        return;
    m_strokes->initializeGL();
    if (m_device->init() && m_paintEngine->init()) {
        m_history->push(MCommandInsertLayer::append(m_parts));
        m_history->clear();
    } else {
        MLogger::instance()->systemError(QStringLiteral("Unable to create paint engine"));
    }
}

bool MCanvas::makeCurrent()
{
    return m_device->makeCurrent();
}

bool MCanvas::flushStrokesAndMakeCurrent()
{
    // Current first: the flush then draws without switching there and back.
    const bool current = m_device->makeCurrent();
    flushStrokes();
    return current;
}

bool MCanvas::isGlReady() const
{
    return m_device->isGlReady();
}

QOpenGLContext *MCanvas::context() const
{
    return m_device->context();
}

void MCanvas::prepareBrush(const MBrush *brush)
{
    if (!isGlReady())
        return;
    m_strokes->prepareBrush(brush);
    // What every stroke draws besides its stamps: the view shows the current
    // layer through "stroke" while the pen is down, and the release merges
    // the stroke with "blit" (or "stroke" for an eraser).
    MShaderProgramList *programs = shaderProgramList();
    for (const QString &name : {QStringLiteral("stroke"), QStringLiteral("blit")})
        programs->programFor(name);
    emit brushPrepared();
}

bool MCanvas::beginRehearsal(const MBrush *brush, const QPointF &point)
{
    MTextureLayer *layer = current();
    if (!brush || m_strokeInProgress || m_rehearsalTile || !layer || !isStrokeAllowed()
        || !flushStrokesAndMakeCurrent())
        return false;
    m_strokes->state()->layerIndex = currentRow();
    m_strokes->state()->setBrush(brush);
    auto *tile = static_cast<MTextureTile *>(m_strokeLayer->addTile(point));
    if (!tile || !tile->ensureTexture())
        return false;
    // Stamps read the layer's tile under them; where there is none, a
    // stand-in, so that the rehearsal adds nothing to the layer.
    auto *target = static_cast<MTextureTile *>(layer->tileAt(point));
    std::unique_ptr<MTextureTile> standIn;
    if (!target) {
        standIn.reset(new MTextureTile(layer));
        target = standIn.get();
    }
    m_strokes->rehearse(brush, tile, target);
    m_rehearsalTile = tile;
    m_strokeInProgress = true;
    return true;
}

void MCanvas::endRehearsal()
{
    if (!m_rehearsalTile)
        return;
    m_strokeInProgress = false;
    clearTile(m_rehearsalTile);
    m_rehearsalTile = nullptr;
}

void MCanvas::flushStrokes()
{
    m_strokes->flush();
}

void MCanvas::shutDown()
{
    if (!flushStrokesAndMakeCurrent())
        MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    disconnectSignals();
    // The history is of layers that are about to go; a command may hold one
    // whose textures need this context.
    m_history->clear();
    m_history->stream()->completeReads();
    m_paintEngine->shutDown();
    m_device->shutDown();
    m_strokes->shutDown();
    clear();
    m_device->destroyContext();
}

MShaderProgramList *MCanvas::shaderProgramList() const
{
    return m_programs;
}

void MCanvas::connectSignals()
{
    disconnectSignals();
    m_connections << connect(this, &MCanvas::currentRowChanged, this, qOverload<>(&MCanvas::refresh))
                  << connect(m_history->stack(), &QUndoStack::canRedoChanged, this, &MCanvas::modifiedChanged)
                  << connect(m_history->stack(), &QUndoStack::canUndoChanged, this, &MCanvas::modifiedChanged)
                  << connect(m_history->stack(), &QUndoStack::cleanChanged, this, &MCanvas::modifiedChanged);
    // The brush's programs are compiled once the choice is shown, off the press.
    if (MBrushList *brushes = MBrushList::existingInstance()) {
        auto prepareCurrent = [this] {
            QTimer::singleShot(0, this, [this] {
                if (MBrushList *list = MBrushList::existingInstance())
                    prepareBrush(list->currentBrush());
            });
        };
        m_connections << connect(brushes, &MBrushList::currentRowChanged, this, prepareCurrent);
        prepareCurrent();
    }
}

void MCanvas::disconnectSignals()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
}

// ---------------------------------------------------------------- state

QUndoStack *MCanvas::undoStack() const
{
    return m_history->stack();
}

MUndoStream *MCanvas::undoStream() const
{
    return m_history->stream();
}

void MCanvas::disposeCommand(QUndoCommand *command)
{
    m_history->dispose(command);
}

bool MCanvas::isModified() const
{
    return !m_history->isClean();
}

void MCanvas::refresh()
{
    emit refresh(false, QRectF());
}

void MCanvas::clear()
{
    // Tiles still to come would land in layers that are gone.
    cancelLoading();
    if (!isGlReady())
        return;
    // The stroke layer's tiles go: no stamp may still name one, and no
    // stroke can go on.
    flushStrokesAndMakeCurrent();
    m_strokeInProgress = false;
    m_strokeSlots = 0;
    m_strokeLayer->clear();
    selectionLayer()->clear();
    m_layers->clear();
    emit layerListReset();
}

void MCanvas::reset()
{
    cancelLoading();
    MSettings *settings = MSettings::instance();
    m_paper->setPaperType(settings->paperType());
    m_paper->setPaperColor(settings->paperColor());
    setPaperName(settings->paperName());
    setPaperSize(QSize(settings->defaultWidth(), settings->defaultHeight()), false);
    setAutoExtent(settings->autoExtent());
    m_paper->setPaintMargin(settings->paintMargin());
    clear();
    setClipPath(QPainterPath());
    m_history->push(MCommandInsertLayer::append(m_parts));
    m_history->clear();
}

void MCanvas::setIsNew(bool value)
{
    if (m_isNew == value)
        return;
    m_isNew = value;
    emit isNewChanged(value);
}

void MCanvas::setIsReadOnly(bool value)
{
    if (m_isReadOnly == value)
        return;
    m_isReadOnly = value;
    emit isReadOnlyChanged(value);
}

bool MCanvas::pushPaintedRect(const QRectF &rect)
{
    bool limited = false;
    QRectF bounded = boundedPaintedRect(rect, &limited);
    if (limited)
        emit paintedRectLimited();
    if (bounded.isEmpty())
        return false;
    // Aligned only once within the limit, where the coordinates fit an int.
    bounded = QRectF(bounded.toAlignedRect());
    // A resize that changes nothing is no step to undo.
    if (MPaper::samePaintedRect(bounded, paintedRect()))
        return false;
    m_history->push(new MCommandSetPaintedRect(m_parts, paintedRect(), bounded));
    return true;
}

void MCanvas::updatePaintedRect(const QRectF &rect)
{
    if (!finishLoading())
        return;
    if (rect.isEmpty())
        return;
    pushPaintedRect(rect);
}

void MCanvas::setPaperSize(const QSize &size)
{
    setPaperSize(size, false);
}

void MCanvas::setPaperSize(const QSize &size, bool crop)
{
    if (!finishLoading())
        return;
    beginMacro(tr("Set canvas size: %1, %2").arg(size.width()).arg(size.height()));
    const double width = size.width() > 1 ? size.width() : 1;
    const double height = size.height() > 1 ? size.height() : 1;
    const QPointF centre = paintedRect().center();
    const QRectF resized(QRect(int(centre.x() - width * 0.5), int(centre.y() - height * 0.5), int(width),
                               int(height)));
    if (crop) {
        const QPainterPath remembered = selectionPath();
        QPainterPath inside;
        inside.addRect(resized);
        setClipPath(inside);
        invertClipPath();
        if (isStrokeAllowed())
            m_layerEdits->fillLayer(currentRow(), Qt::transparent);
        setClipPath(remembered);
    }
    pushPaintedRect(resized);
    endMacro();
    refresh();
}

void MCanvas::setFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = QFileInfo(name).absoluteFilePath();
    emit fileNameChanged(name);
}

void MCanvas::undo()
{
    // A load empties the history: with nothing to undo there is nothing to wait for.
    if (!m_history->stack()->canUndo() || !finishLoading())
        return;
    m_history->undo();
    emit updateThumbnail(this, currentRow());
}

void MCanvas::redo()
{
    // A load empties the history: with nothing to redo there is nothing to wait for.
    if (!m_history->stack()->canRedo() || !finishLoading())
        return;
    m_history->redo();
    emit updateThumbnail(this, currentRow());
}

// ---------------------------------------------------------------- file

void MCanvas::connectStorage()
{
    connect(m_storage, &MDocumentStorage::replacing, this, [this] {
        clear();
        setClipPath(QPainterPath());
    });
    connect(m_storage, &MDocumentStorage::tilesFailed, this, [this] {
        reset();
        setFileName(QString());
        setIsNew(true);
    });
}

bool MCanvas::saveToFile(const QString &path)
{
    if (!m_storage->saveToFile(path))
        return false;
    setFileName(path);
    setIsNew(false);
    // The painter may still want to undo what was saved.
    m_history->setClean();
    return true;
}

bool MCanvas::loadFromFile(const QString &path)
{
    return startLoading(path) && m_storage->completeLoading();
}

bool MCanvas::startLoading(const QString &path)
{
    // The layers and the stack change many times over while the file's are
    // taken: the document reacts once, to the whole.
    disconnectSignals();
    const bool read = m_storage->readDocument(path);
    connectSignals();
    if (!read)
        return false;
    setFileName(path);
    setIsNew(false);
    m_history->clear();
    // The reader emptied the stack while the document's signals were off.
    emit modifiedChanged();
    setCurrentRow(count() - 1);
    emit layerListReset();
    m_storage->startTiles();
    return true;
}

bool MCanvas::loadImage(const QString &path)
{
    const QImage image = m_storage->readImage(path);
    if (image.isNull())
        return false;
    flushStrokesAndMakeCurrent();
    disconnectSignals();
    clear();
    setClipPath(QPainterPath());
    m_history->push(MCommandInsertLayer::append(m_parts));
    setPaperSize(image.size(), false);
    pasteImage(QPointF(0, 0), image, false, QString(), -1, QRectF(), 0);
    connectSignals();
    setFileName(QString());
    setIsNew(true);
    m_history->clear();
    setCurrentRow(count() - 1);
    emit layerListReset();
    return true;
}

// ---------------------------------------------------------------- list hooks

void MCanvas::connectParts()
{
    connect(m_events, &MDocumentEvents::refresh, this, qOverload<bool, const QRectF &>(&MCanvas::refresh));
    connect(m_events, &MDocumentEvents::thumbnailWanted, this, [this](int row) { emit updateThumbnail(this, row); });
    connect(m_events, &MDocumentEvents::layerListReset, this, &MCanvas::layerListReset);
    connect(m_events, &MDocumentEvents::selectionChanged, this, &MCanvas::selectionChanged);
    connect(m_events, &MDocumentEvents::modifiedChanged, this, &MCanvas::modifiedChanged);
    connect(m_paper, &MPaper::changed, this, qOverload<>(&MCanvas::refresh));
    connect(m_paper, &MPaper::tileChanged, m_paintEngine, &MPaintEngine::resetPaper);
    connect(m_paper, &MPaper::paintedRectChanged, this, &MCanvas::paintedRectChanged);
    connect(m_paper, &MPaper::paintedRectLimited, this, &MCanvas::paintedRectLimited);
    connect(m_selection, &MSelection::clipStrokeChanged, this, &MCanvas::clipStrokeChanged);
    connect(m_selection, &MSelection::hasSelectionChanged, this, &MCanvas::hasSelectionChanged);
    connect(m_layers, &MLayerStack::currentRowChanged, this, &MCanvas::currentRowChanged);
    connect(m_layers, &MLayerStack::countChanged, this, &MCanvas::countChanged);
    connect(m_layers, &MLayerStack::layerLimitReached, this, &MCanvas::layerLimitReached);
    connect(m_layers, &MLayerStack::pixelsChanged, this, qOverload<>(&MCanvas::refresh));
    // A new layer becomes current.
    connect(m_layers, &MLayerStack::layerInserted, this, [this](int row) {
        emit updateThumbnail(this, row);
        refresh();
    });
    connect(m_layers, &MLayerStack::layerMovedDownward, this, [this] {
        if (current())
            refresh();
    });
}

MTextureLayer *MCanvas::appendNew()
{
    auto *layer = new MTextureLayer;
    m_layers->insertAt(count(), layer);
    return layer;
}

MTextureLayer *MCanvas::prependNew()
{
    auto *layer = new MTextureLayer;
    m_layers->insertAt(0, layer);
    return layer;
}

// ---------------------------------------------------------------- layers

MTextureLayer *MCanvas::createLayer()
{
    return new MTextureLayer(this);
}

QString MCanvas::newLayerName() const
{
    return m_layers->newLayerName();
}

bool MCanvas::isStrokeAllowed() const
{
    return isGlReady() && count() > 0 && currentLayerEditable();
}

// ---------------------------------------------------------------- stroke entry

namespace {
quint32 slotBit(int slot)
{
    return slot >= 0 && slot < MStrokes::slotCount ? quint32(1) << slot : 0;
}
} // namespace

void MCanvas::stroke(MEvent *event, int slot, const MStrokePaint &paint)
{
    if (!event)
        return;
    switch (event->type) {
    case MEvent::Press:
        startStroke(event, paint, slot);
        break;
    case MEvent::Move:
        // A drag whose press was not taken has nothing to continue.
        if (m_strokeInProgress && (m_strokeSlots & slotBit(slot)) && isStrokeAllowed()) {
            m_strokes->segment(slot, *event);
        }
        break;
    case MEvent::Release:
        endStroke(event, slot);
        break;
    default:
        break;
    }
}

void MCanvas::startStroke(MEvent *event, const MStrokePaint &paint, int slot)
{
    if (!finishLoading())
        return;
    if (!event || !paint.brush || !slotBit(slot) || !isStrokeAllowed())
        return;
    emit strokeStarted(paint.color);
    m_strokeInProgress = true;
    m_strokeSlots |= slotBit(slot);
    m_strokes->begin(slot, currentRow(), *event, paint);
}

void MCanvas::endStroke(MEvent *event, int slot)
{
    if (!m_strokeInProgress)
        return;
    if (event && isStrokeAllowed()) {
        // The stroke reaches the point where the pen lifted.
        if (m_strokeSlots & slotBit(slot)) {
            MEvent last = *event;
            last.type = MEvent::Move;
            m_strokes->segment(slot, last);
        }
        m_strokes->end(slot);
    }
    // Whatever the end could not merge must not leak into the next stroke.
    if (!m_strokeLayer->touchedTiles().isEmpty())
        discardStroke();
    m_strokeInProgress = false;
    m_strokeSlots = 0;
}

void MCanvas::discardStroke()
{
    m_strokes->cancel();
}

void MCanvas::drawLine(const QPointF &from, const QPointF &to, const MStrokePaint &paint)
{
    beginMacro(tr("Draw line"));
    MEvent event;
    event.type = MEvent::Press;
    event.inputs[MEnum::biPositionX] = from.x();
    event.inputs[MEnum::biPositionY] = from.y();
    stroke(&event, 0, paint);
    event.type = MEvent::Move;
    event.inputs[MEnum::biPositionX] = to.x();
    event.inputs[MEnum::biPositionY] = to.y();
    stroke(&event, 0, paint);
    event.type = MEvent::Release;
    stroke(&event, 0, paint);
    endMacro();
}

int MCanvas::brushStroke(const QPainterPath &path, bool clip, const MStrokePaint &paint)
{
    if (!finishLoading())
        return 0;
    if (!current())
        return 0;
    const QVector<MEvent> events = MPathEvents::fromPath(path);
    beginMacro(tr("Brush stroke"));
    m_selection->setClipStrokeSilently(clip);
    for (MEvent event : events)
        stroke(&event, 0, paint);
    endMacro();
    m_selection->setClipStrokeSilently(true);
    return 1;
}

void MCanvas::updateLayerThumbnail(int row)
{
    emit updateThumbnail(this, row);
}

void MCanvas::updateLayerThumbnail()
{
    updateLayerThumbnail(currentRow());
}

void MCanvas::beginMacro(const QString &text)
{
    m_history->beginMacro(text);
}

void MCanvas::endMacro()
{
    m_history->endMacro();
}

// ---------------------------------------------------------------- selection

void MCanvas::setClipPath(const QPainterPath &path)
{
    m_selection->setPath(path);
    blitImage(path.boundingRect().center(), MCanvasFill::renderPath(path, Qt::black), selectionLayer(), true);
    emit selectionChanged();
}

void MCanvas::resetClipPath()
{
    setClipPath(QPainterPath());
}

void MCanvas::resetSelectionPath()
{
    m_selection->resetPath();
    emit selectionChanged();
}

void MCanvas::invertClipPath()
{
    setClipPath(m_selection->invertedPath(paintedRect()));
}

// ---------------------------------------------------------------- tile primitives

void MCanvas::clearTile(MTile *tile)
{
    flushStrokesAndMakeCurrent();
    m_device->clearTile(tile);
}

void MCanvas::clearLayer(MTextureLayer *layer)
{
    if (layer && layer->tileCount() > 0)
        flushStrokesAndMakeCurrent();
    m_device->clearLayer(layer);
}

void MCanvas::blitTile(MTextureTile *destination, MTextureTile *source, const QString &programName, double opacity,
                       const QRect &area)
{
    flushStrokesAndMakeCurrent();
    m_device->blitTile(destination, source, GL_ONE, GL_ONE_MINUS_SRC_ALPHA, programName, opacity, area);
}

void MCanvas::fillTile(MTile *tile, const QColor &color)
{
    flushStrokesAndMakeCurrent();
    m_device->fillTile(tile, color);
}

bool MCanvas::blitImage(const QPointF &centre, const QImage &image, MTextureLayer *layer, bool clearFirst)
{
    if (image.isNull() || !layer)
        return false;
    flushStrokesAndMakeCurrent();
    m_device->blitImage(centre, image, layer, clearFirst);
    refresh();
    return true;
}

// ---------------------------------------------------------------- rendering

int MCanvas::maximumRenderSize()
{
    return makeCurrent() ? m_device->maximumRenderSize() : 0;
}

// ---------------------------------------------------------------- selection operations

void MCanvas::selectLayerBoundingRect(MTextureLayer *layer)
{
    const QRectF bounds = layerBoundingRect(layer);
    if (bounds.isEmpty())
        return;
    QPainterPath path;
    path.addRect(bounds);
    setClipPath(path);
}

void MCanvas::adjustPaperToSelection()
{
    if (selectionPath().isEmpty())
        return;
    pushPaintedRect(selectionPath().boundingRect());
}

void MCanvas::fillSelection(const QPoint &point, bool clearSelection, uchar threshold, int row)
{
    if (!finishLoading())
        return;
    MQuickFill fill;
    fill.setEdits(m_layerEdits.get());
    fill.set_threshold(threshold);
    fill.set_clearSelection(clearSelection);
    fill.selectAt(point, row);
    if (fill.resultRect().isEmpty())
        return;
    m_selection->setHasSelection(true);
    emit selectionChanged();
}

// ---------------------------------------------------------------- image file

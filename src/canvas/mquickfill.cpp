#include "mquickfill.h"

#include "mbufferlayer.h"
#include "mfloodfill.h"
#include "mgpudevice.h"
#include "mlayeredits.h"
#include "mlayerstack.h"
#include "mpaper.h"
#include "mselection.h"

#include <cstring>

MQuickFill::MQuickFill(QObject *parent)
    : QObject(parent)
{
}

MQuickFill::~MQuickFill()
{
    delete m_buffer;
}

void MQuickFill::set_threshold(uchar value)
{
    if (value == m_threshold)
        return;
    m_threshold = value;
    emit thresholdChanged(value);
}

void MQuickFill::set_clearSelection(bool value)
{
    if (value == m_clearSelection)
        return;
    m_clearSelection = value;
    emit clearSelectionChanged(value);
}

void MQuickFill::setMaskImage(const QImage &image)
{
    if (image.isNull()) {
        m_usePattern = false;
        return;
    }
    m_pattern = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_usePattern = true;
}

MTextureLayer *MQuickFill::sampledLayer(int &row) const
{
    if (!m_edits)
        return nullptr;
    MLayerStack *layers = m_edits->parts().layers;
    if (MTextureLayer *layer = layers->at(row))
        return layer;
    row = layers->currentRow();
    return layers->at(row);
}

MGpuDevice *MQuickFill::device() const
{
    return m_edits ? m_edits->parts().device : nullptr;
}

void MQuickFill::prepareBuffer(MTextureLayer *layer)
{
    if (!m_buffer)
        m_buffer = new MBufferLayer(512, 6, 4);
    m_buffer->clear();
    m_buffer->configure(layer);
}

int MQuickFill::fill(const QPoint &seed, const uchar *color, MTextureLayer *layer, MBufferLayer *selection)
{
    if (!m_buffer)
        m_buffer = new MBufferLayer(512, 6, 4);
    m_buffer->clear();
    const QRect bounds = m_edits ? m_edits->parts().paper->paintedRect().normalized().toRect() : QRect();
    return fillBuffer(m_buffer, seed, color, bounds, device(), layer, selection);
}

int MQuickFill::fillBuffer(MBufferLayer *buffer, const QPoint &seed, const uchar *color, const QRect &bounds,
                           MGpuDevice *device, MTextureLayer *layer, MBufferLayer *selection)
{
    m_resultRect = QRectF();
    if (!buffer || !bounds.contains(seed))
        return NothingToDo;
    MBufferTile *seedTile = buffer->tile(seed, device, layer);
    if (!seedTile)
        return OutOfMemory;
    uchar seedColor[4];
    std::memcpy(seedColor, seedTile->pixel(seed.x(), seed.y()), 4);

    uchar fillColor[4];
    if (selection) {
        for (int i = 0; i < 3; ++i)
            fillColor[i] = uchar(~seedColor[i]);
        fillColor[3] = 255;
    } else {
        std::memcpy(fillColor, color, 4);
    }
    for (int i = 0; i < 3; ++i)
        fillColor[i] = uchar(fillColor[i] * fillColor[3] / 255);
    if (std::memcmp(seedColor, fillColor, 4) == 0)
        return NothingToDo;

    MFloodFill::Pattern pattern;
    if (m_usePattern && !m_pattern.isNull()) {
        pattern.image = &m_pattern;
        pattern.useColor = m_usePatternColor;
    }
    MFloodFill::Mask mask;
    mask.buffer = m_mask;
    mask.layer = m_maskLayer;
    MFloodFill engine(buffer, device, layer, selection, bounds, seedColor, fillColor, m_threshold, pattern, mask);
    const int result = engine.run(seed, m_timeLimit, m_stopAtClockReading);
    // A fill that stopped early reports the region it painted before it stopped.
    if (result == Filled || result == TimedOut || result == OutOfMemory)
        m_resultRect = engine.filledRect();
    return result;
}

bool MQuickFill::fillAt(const QPointF &point, const QColor &color, int row)
{
    MTextureLayer *layer = sampledLayer(row);
    if (!layer)
        return false;
    // The layer is read as the queued stamps leave it.
    m_edits->flushStrokesAndMakeCurrent();
    prepareBuffer(layer);
    const uchar bytes[4] = {uchar(color.red()), uchar(color.green()), uchar(color.blue()), uchar(color.alpha())};
    // A selection keeps the fill inside it, as it keeps a stroke.
    MBufferLayer selected;
    const MSelection *documentSelection = m_edits->parts().selection;
    if (documentSelection->hasSelection()) {
        selected.configure(documentSelection->layer());
        setMask(&selected, documentSelection->layer());
    }
    m_lastResult = fill(point.toPoint(), bytes, layer, nullptr);
    setMask(nullptr);
    // A fill stopped early keeps what it filled.
    const bool pasted =
        m_lastResult != NothingToDo && !m_resultRect.isEmpty() && pasteIntoDocument(row, tr("Fill"));
    // The copy may hold a whole layer: the document and its history have
    // the pixels now.
    m_buffer->clear();
    return pasted;
}

bool MQuickFill::selectAt(const QPointF &point, int row)
{
    MTextureLayer *layer = sampledLayer(row);
    if (!layer)
        return false;
    // The layer is read as the queued stamps leave it.
    m_edits->flushStrokesAndMakeCurrent();
    prepareBuffer(layer);
    MBufferLayer selection(m_buffer->tileSize(), m_buffer->border(), m_buffer->bytesPerPixel());
    if (!m_clearSelection)
        selection.copyLayer(device(), m_edits->parts().selection->layer());
    const uchar black[4] = {0, 0, 0, 255};
    m_lastResult = fill(point.toPoint(), black, layer, &selection);
    bool written = false;
    if (m_lastResult == Filled && !m_resultRect.isEmpty()) {
        written = writeSelection(&selection);
        if (!written)
            m_resultRect = QRectF();
    }
    // The copy may hold a whole layer: the selection has the region now.
    m_buffer->clear();
    return written;
}

bool MQuickFill::pasteIntoDocument(int row, const QString &undoText)
{
    return m_edits && m_buffer && m_edits->pasteBuffer(m_buffer, row, undoText);
}

bool MQuickFill::writeSelection(MBufferLayer *selection)
{
    MTextureLayer *layer = m_edits->parts().selection->layer();
    // Stamps queued before read the selection as it was.
    m_edits->flushStrokesAndMakeCurrent();
    device()->clearLayer(layer);
    return selection->writeBack(device(), layer, true);
}

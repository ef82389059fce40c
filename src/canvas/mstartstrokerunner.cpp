#include "mstartstrokerunner.h"

#include "mbrush.h"
#include "mcanvas.h"
#include "mshareddata.h"

MStartStrokeRunner::MStartStrokeRunner(MSharedData *sharedData, int layerIndex, int slot, const MEvent &event,
                                       const MBrush *brush, const QColor &foreground, const QColor &background)
    : MRunner(sharedData)
    , m_slot(slot)
    , m_event(event)
{
    if (!m_sharedData)
        return;
    // Queued stamps are drawn with the brush, layer and colours they were placed with.
    if (MCanvas *canvas = m_sharedData->canvas())
        canvas->flushStrokes();
    m_sharedData->setCurrentLayer(layerIndex);
    if (brush)
        m_sharedData->setBrush(brush);
    m_sharedData->setForegroundColor(foreground);
    m_sharedData->setBackgroundColor(background);
    // The background colour becomes the stroke's border colour.
    MBrush *stroke = m_sharedData->brush();
    stroke->setBaseValue(MEnum::bsBrushColorHue, foreground.hueF());
    stroke->setBaseValue(MEnum::bsBrushColorSaturation, foreground.saturationF());
    stroke->setBaseValue(MEnum::bsBrushColorValue, foreground.valueF());
    stroke->setBaseValue(MEnum::bsBorderColorHue, background.hueF());
    stroke->setBaseValue(MEnum::bsBorderColorSaturation, background.saturationF());
    stroke->setBaseValue(MEnum::bsBorderColorValue, background.valueF());
}

void MStartStrokeRunner::run()
{
    if (!prepare())
        return;
    MCanvas *canvas = m_sharedData->canvas();
    MBrush *brush = m_sharedData->brush();
    m_sharedData->setStartPaintedRect(canvas->paintedRect());
    m_sharedData->setColorTextureSize(brush->radius());
    // A press event: the next stroke-to run places the first stamp.
    MEvent &last = m_sharedData->slotEvent(m_slot);
    last = m_event;
    last.type = MEvent::Press;
    double *values = m_sharedData->slotValues(m_slot);
    double *base = m_sharedData->baseValues();
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const double v = brush->value(setting);
        values[setting] = v;
        base[setting] = v;
    }
    MTextureLayer *strokeLayer = canvas->strokeLayer();
    strokeLayer->setEraserMode(m_event.pointerType == 3 || brush->eraser());
    strokeLayer->setOpacity(brush->opacity());
    m_sharedData->setPaintedRect(QRectF());
    emit finished(this);
}

#include "mbrushpreviewrenderer.h"

#include "mbrush.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mlogger.h"
#include "mopengl.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace {
const QColor kPreviewColor(128, 128, 128);

// A plain copy, so that the sample stroke neither mixes colours nor erases
// and shows the brush's own shape, at a radius the picture can hold.
void copyForTheSample(const MBrush *brush, MBrush *sample)
{
    sample->copyFrom(brush);
    sample->setCompositionMode(0);
    sample->setInheritAlphaCurrent(false);
    sample->setInheritAlphaUnder(false);
    sample->setEraser(false);
    sample->setColorAbsorbtionRate(0.0);
    sample->setColorFlowingRate(1.0);
    const double radius = qMax(qMin(brush->radius(), 10.0), 1.0);
    sample->setBaseValue(MEnum::bsRadius, radius);
}

// One sine period, pressure 0.6 to 1.0, one sample every 50 ms.
void strokeTheSample(MCanvas *canvas, MBrush *sample, const QSize &size, const QColor &first, const QColor &second)
{
    const double r = sample->radius();
    const double length = size.width() - 2 * (r + 5);
    const double amplitude = (size.height() - 2 * (r + 5)) / 2;
    const int samples = 40;
    const MStrokePaint paint{sample, first, second};
    MEvent event;
    float previousX = 0.0f;
    float previousY = 0.0f;
    double totalDistance = 0.0;
    for (int i = 0; i <= samples; ++i) {
        const double s = std::sin(2 * M_PI * i / samples);
        const double x = length * i / samples - length / 2;
        const double y = amplitude * s + size.height() / 2.0;
        const float dx = i == 0 ? 0.0f : float(x) - previousX;
        const float dy = i == 0 ? 0.0f : float(y) - previousY;
        const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
        totalDistance += d;
        previousX = float(x);
        previousY = float(y);
        event.type = i == 0 ? MEvent::Press : i == samples ? MEvent::Release : MEvent::Move;
        event.inputs[MEnum::biPressure] = 0.8 + 0.2 * s;
        event.inputs[MEnum::biPositionX] = x;
        event.inputs[MEnum::biPositionY] = y;
        event.inputs[MEnum::biDirectionX] = dx;
        event.inputs[MEnum::biDirectionY] = dy;
        event.inputs[MEnum::biDistanceToPrevious] = d;
        event.inputs[MEnum::biSpeed] = d / 50;
        event.inputs[MEnum::biTimeToPrevious] = 50;
        event.inputs[MEnum::biTotalTime] = 50.0 * i;
        event.inputs[MEnum::biTotalDistance] = totalDistance;
        canvas->stroke(&event, 0, paint);
    }
}

// Brushes draw their pictures through this renderer from the moment the
// document's library loads.
[[maybe_unused]] const bool lentToBrushes = MBrush::setPreviewPainter(
    {&MBrushPreviewRenderer::update,
     [](const MBrush *brush, const QSize &size, const QColor &first, const QColor &second) {
         return size.isValid() ? MBrushPreviewRenderer::render(brush, size, first, second)
                               : MBrushPreviewRenderer::render(brush, first, second);
     }});
} // namespace

QImage MBrushPreviewRenderer::render(const MBrush *brush, const QSize &size, const QColor &first, const QColor &second)
{
    if (!brush)
        return QImage();
    // Drawing needs OpenGL contexts, which only a GUI application can make,
    // and the driver's limits (texture units) that the stamping pass binds by.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()) || !MOpenGL::instance()->initialize()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to draw a brush preview without OpenGL"));
        return QImage();
    }

    MBrush sample;
    copyForTheSample(brush, &sample);

    MCanvas canvas(nullptr, MCanvas::ScratchDocument);
    canvas.initializeGL();
    if (!canvas.makeCurrent())
        return QImage();
    canvas.setPaintedRect(QRectF());
    canvas.setAutoExtentSilently(true);
    canvas.setPaintMargin(10.0);
    canvas.setPaperType(MEnum::Colored);
    canvas.setPaperColor(Qt::transparent);
    strokeTheSample(&canvas, &sample, size, first, second);

    const QRectF painted = canvas.paintedRect();
    const QImage rendered = canvas.renderToImage(QStringLiteral("basic"), int(painted.width()), int(painted.height()),
                                                 QPainterPath(), true, true, {});

    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    if (!rendered.isNull()) {
        double scale = 1.0;
        const QRectF target = MGeometry::fitRect(painted, QRect(QPoint(0, 0), size).adjusted(5, 5, -5, -5), scale);
        QPainter painter(&result);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.drawImage(target, rendered);
    }
    canvas.shutDown();
    return result;
}

QImage MBrushPreviewRenderer::render(const MBrush *brush, const QColor &first, const QColor &second)
{
    return render(brush, previewSize(), first, second);
}

QImage MBrushPreviewRenderer::preview(MBrush *brush)
{
    if (!brush)
        return QImage();
    if (brush->preview().isNull())
        update(brush);
    return brush->preview();
}

void MBrushPreviewRenderer::update(MBrush *brush)
{
    if (brush)
        brush->setPreview(render(brush, kPreviewColor, Qt::white));
}

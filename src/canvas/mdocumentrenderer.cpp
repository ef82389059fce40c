#include "mdocumentrenderer.h"

#include "mgeometry.h"
#include "mgpudevice.h"
#include "mlayerstack.h"
#include "mlogger.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "mpaper.h"
#include "mselection.h"
#include "mtexturelayer.h"
#include "mtransform.h"

#include <QDir>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPainter>

MDocumentRenderer::MDocumentRenderer(const MDocumentParts &parts)
    : m_parts(parts)
{
}

void MDocumentRenderer::draw(MPaintParams *params)
{
    m_parts.flushStrokes();
    m_parts.paintEngine->renderPaper(params);
    m_parts.paintEngine->renderLayers(params);
    m_parts.paintEngine->renderSelection(params);
}

QImage MDocumentRenderer::renderToImage(const QString &programName, int width, int height,
                                        const QPainterPath &clipPath, bool drawBackground, bool drawAllLayers,
                                        const QList<MTextureLayer *> &layers, QString *why)
{
    const auto refuse = [why](const QString &message) {
        const QString line = MLogger::instance()->systemError(message);
        if (why)
            *why = line;
        return QImage();
    };
    if (!m_parts.finishLoading())
        return QImage();
    if (!m_parts.device->makeCurrent())
        return refuse(QStringLiteral("Unable to make current context"));
    // The image shows every stamp placed so far.
    m_parts.flushStrokes();
    // A size the driver cannot render would give a blank or broken image
    // that looks like a success.
    const int limit = maximumRenderSize();
    if (width <= 0 || height <= 0 || width > limit || height > limit) {
        return refuse(QStringLiteral("Unable to render an image of %1 x %2 pixels (the limit is %3)")
                          .arg(width)
                          .arg(height)
                          .arg(limit));
    }
    QOpenGLFramebufferObjectFormat format;
    format.setSamples(0);
    format.setMipmap(false);
    format.setInternalTextureFormat(GL_RGBA8);
    format.setTextureTarget(GL_TEXTURE_2D);
    format.setAttachment(QOpenGLFramebufferObject::NoAttachment);
    QOpenGLFramebufferObject target(width, height, format);
    if (!target.isValid() || !target.bind())
        return refuse(QStringLiteral("Unable to create frame buffer"));
    QOpenGLFunctions *f = m_parts.device->context()->functions();
    f->glClearColor(0, 0, 0, 0);
    f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    MPaintParams params;
    params.context = m_parts.device->context();
    params.parts = m_parts;
    params.programList = m_parts.device->programs();
    params.vertexArray = m_parts.device->vertexArrayObject();
    params.setProgramName(programName);
    params.clipToSelection = !clipPath.isEmpty();
    params.viewport = QRectF(0, 0, width, height);
    params.useDevicePixelRatio = false;
    const QRectF source = clipPath.isEmpty() ? m_parts.paper->paintedRect() : clipPath.boundingRect();
    params.rect = source;
    MTransform transform;
    transform.reset();
    const QPointF outputCentre = params.viewport.center();
    transform.setTranslation(outputCentre - transform.map(source.center()));
    double scale = 1.0;
    MGeometry::fitRect(source, params.viewport, scale);
    transform.setScale(scale, outputCentre);
    params.transform = &transform;

    if (drawBackground)
        m_parts.paintEngine->renderPaper(&params);
    if (drawAllLayers) {
        m_parts.paintEngine->renderLayers(&params);
    } else {
        QList<MTextureLayer *> drawn = layers;
        if (drawn.isEmpty() && m_parts.layers->current())
            drawn.append(m_parts.layers->current());
        for (MTextureLayer *layer : qAsConst(drawn)) {
            params.layer = layer;
            params.underLayer = nullptr;
            params.opacity = 1.0;
            params.setProgramName(programName);
            m_parts.paintEngine->applyProgram(&params);
        }
    }
    m_parts.device->makeCurrent();
    target.release();
    return target.toImage(true).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int MDocumentRenderer::maximumRenderSize()
{
    return m_parts.device->makeCurrent() ? m_parts.device->maximumRenderSize() : 0;
}

QImage MDocumentRenderer::flattenedImage(const QString &programName)
{
    const QRectF painted = m_parts.paper->paintedRect();
    return renderToImage(programName, int(painted.width()), int(painted.height()), QPainterPath(), true, true, {});
}

QImage MDocumentRenderer::grabLayerSized(MTextureLayer *layer, const QString &programName, int width, int height)
{
    return renderToImage(programName, width, height, QPainterPath(), false, false, {layer});
}

QImage MDocumentRenderer::grabLayer(MTextureLayer *layer, const QString &programName)
{
    const QRectF painted = m_parts.paper->paintedRect();
    return grabLayerSized(layer, programName, int(painted.width()), int(painted.height()));
}

QRectF MDocumentRenderer::layerBoundingRect(MTextureLayer *layer)
{
    if (!m_parts.finishLoading())
        return QRectF();
    if (!layer)
        return QRectF();
    const QImage image = grabLayer(layer, QStringLiteral("basic"));
    int minX = image.width();
    int minY = image.height();
    int maxX = 0;
    int maxY = 0;
    for (int y = 0; y < image.height(); ++y) {
        const quint32 *row = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] == 0)
                continue;
            minX = qMin(minX, x);
            maxX = qMax(maxX, x);
            minY = qMin(minY, y);
            maxY = qMax(maxY, y);
        }
    }
    if (minX > maxX || minY > maxY)
        return QRectF();
    const QRectF painted = m_parts.paper->paintedRect();
    return QRectF(painted.left() + minX, painted.top() + minY, maxX - minX + 1, maxY - minY + 1);
}

QImage MDocumentRenderer::copyImage(bool selectionOnly, QString *why)
{
    if (!m_parts.finishLoading())
        return QImage();
    MTextureLayer *layer = m_parts.layers->current();
    if (!layer)
        return QImage();
    QImage image;
    if (selectionOnly) {
        const QPainterPath path = m_parts.selection->path();
        const QRectF bounds = path.boundingRect();
        image = renderToImage(QStringLiteral("blit"), int(bounds.width()), int(bounds.height()), path, false, false,
                              {layer}, why);
    } else {
        const QRectF painted = m_parts.paper->paintedRect();
        image = renderToImage(QStringLiteral("blit"), int(painted.width()), int(painted.height()), QPainterPath(),
                              false, false, {layer}, why);
    }
    return image;
}

MFileResult MDocumentRenderer::exportLayersAsPng(const QString &folder, const QString &baseName, bool reverse,
                                                  bool background)
{
    const auto refuse = [&folder](const QString &why) {
        return MFileResult(WriteNotOpened, MLogger::instance()->systemError(
                                               QStringLiteral("Unable to export layers to %1: %2").arg(folder, why)));
    };
    if (!m_parts.isValid() || m_parts.layers->count() == 0)
        return refuse(QStringLiteral("no layer to export"));
    if (!QFileInfo(folder).isDir())
        return refuse(QStringLiteral("no such folder"));
    const MLayerStack *layers = m_parts.layers;
    const QString basic = QStringLiteral("basic");
    QImage under;
    if (background)
        under = grabLayer(layers->at(0), basic);
    const QString stem = QDir(folder).absolutePath() + QLatin1Char('/') + baseName;
    const int count = layers->count();
    MFileResult result;
    for (int row = count - 1; row >= 0; --row) {
        QImage image = grabLayer(layers->at(row), basic);
        if (background && !image.isNull()) {
            QImage combined(image.size(), image.format());
            combined.fill(Qt::transparent);
            QPainter painter(&combined);
            painter.drawImage(0, 0, under);
            painter.drawImage(0, 0, image);
            painter.end();
            image = combined;
        }
        const int number = reverse ? row + 1 : count - row;
        const QString path = stem + QStringLiteral("%1.png").arg(number, 4, 10, QLatin1Char('0'));
        // A frame missing from the sequence must not pass for an export; the
        // first one missing says why.
        if (!image.save(path)) {
            const QString line = MLogger::instance()->systemError(QStringLiteral("Unable to save %1").arg(path));
            if (result.isDone())
                result = MFileResult(WriteIncomplete, line);
        }
    }
    return result;
}

// Writes the seed corpora of the fuzz targets (tests/data/fuzz/<reader>/)
// through the system's own writers: documents and single-layer files as a
// save writes them, the shipped brushes and effects as their libraries save
// them, and the "@params" and "@options" sections of the shipped effects.
// Needs a display with OpenGL (run it under xvfb-run).

#include "mbrush.h"
#include "mbrushstream.h"
#include "mcanvas.h"
#include "mdocumentfile.h"
#include "menum.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderstream.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSurfaceFormat>
#include <QTextStream>

#include <cstdio>

namespace {
bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0;
}

// Every texel of the tile over p set to one colour.
void paintTile(MTextureLayer *layer, const QPointF &p, quint8 shade)
{
    auto *tile = static_cast<MTextureTile *>(layer->addTile(p));
    tile->ensureTexture();
    QByteArray bytes(tile->byteSize(), char(0));
    for (int i = 0; i < bytes.size(); i += 4) {
        bytes[i] = char(shade);
        bytes[i + 1] = char(255 - shade);
        bytes[i + 2] = char(shade / 2);
        bytes[i + 3] = char(255);
    }
    tile->setData(bytes.constData());
}

bool writeDocuments(const QString &documents, const QString &layers)
{
    if (!MOpenGL::instance()->initialize())
        return false;
    MSettings::instance()->set_defaultWidth(640);
    MSettings::instance()->set_defaultHeight(480);
    MCanvas canvas;
    if (!canvas.isGlReady())
        return false;
    canvas.makeCurrent();
    bool ok = true;

    // Layers without tiles: the header and the records alone.
    canvas.setPaperType(MEnum::Colored);
    canvas.setPaperColor(QColor(250, 240, 220));
    canvas.at(0)->setName(QStringLiteral("Background"));
    canvas.appendLayer();
    canvas.at(1)->setName(QStringLiteral("Ink \u00e9t\u00e9"));
    canvas.at(1)->setOpacity(0.5);
    canvas.at(1)->setLocked(true);
    canvas.appendLayer();
    canvas.at(2)->setVisible(false);
    ok &= writeDocumentFile(documents + QStringLiteral("seed-layers.kxd"), &canvas) == 0;
    ok &= writeLayerFile(layers + QStringLiteral("seed-empty.data"), canvas.at(1)) == 0;

    // A paper image, named, before the layers.
    QImage paper(6, 4, QImage::Format_ARGB32);
    paper.fill(QColor(200, 190, 170));
    canvas.setPaperType(MEnum::Paper);
    canvas.setPaperName(QStringLiteral("paper.png"));
    canvas.setPaperTile(paper);
    ok &= writeDocumentFile(documents + QStringLiteral("seed-paper.kxd"), &canvas) == 0;

    // One tile of pixels.
    canvas.setPaperType(MEnum::Transparent);
    paintTile(canvas.at(0), QPointF(10, 10), 40);
    ok &= writeDocumentFile(documents + QStringLiteral("seed-tile.kxd"), &canvas) == 0;
    ok &= writeLayerFile(layers + QStringLiteral("seed-tile.data"), canvas.at(0)) == 0;
    canvas.shutDown();
    return ok;
}

// The shipped brushes and effects, read and written again by their streams.
bool writeLibraries(const QString &data, const QString &fuzz)
{
    bool ok = true;
    int number = 0;
    for (const QFileInfo &file : QDir(data + QStringLiteral("/brushes")).entryInfoList({QStringLiteral("*.kxb")})) {
        MBrush brush;
        ok &= MBrushStream(&brush).loadFromJsonFile(file.absoluteFilePath());
        ok &= MBrushStream(&brush).saveToJsonFile(fuzz + QStringLiteral("brush/seed-%1.kxb").arg(++number));
    }
    number = 0;
    QString params, options;
    for (const QFileInfo &file : QDir(data + QStringLiteral("/shaders")).entryInfoList({QStringLiteral("*.kxs")})) {
        MShader shader;
        ok &= MShaderStream(&shader).loadFromJsonFile(file.absoluteFilePath());
        ok &= MShaderStream(&shader).saveToJsonFile(fuzz + QStringLiteral("effect/seed-%1.kxs").arg(++number));
        const QString paramsText = shader.sectionLines(QStringLiteral("params")).join(QLatin1Char('\n'));
        const QString optionsText = shader.sectionLines(QStringLiteral("options")).join(QLatin1Char('\n'));
        if (!paramsText.trimmed().isEmpty())
            ok &= writeText(fuzz + QStringLiteral("params/seed-%1.txt").arg(number), paramsText);
        if (!optionsText.trimmed().isEmpty())
            ok &= writeText(fuzz + QStringLiteral("options/seed-%1.txt").arg(number), optionsText);
    }
    return ok;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat::setDefaultFormat(MOpenGL::requestedFormat());
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: makefuzzseeds <shipped data folder> <tests/data/fuzz folder>\n");
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QString fuzz = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');
    for (const char *reader : {"document", "layer", "brush", "effect", "params", "options"})
        QDir().mkpath(fuzz + QLatin1String(reader));
    MLogger::instance()->startSession();
    bool ok = writeDocuments(fuzz + QStringLiteral("document/"), fuzz + QStringLiteral("layer/"));
    ok &= writeLibraries(data, fuzz);
    if (!ok)
        std::fprintf(stderr, "makefuzzseeds: not every seed could be written (see the log)\n");
    return ok ? 0 : 1;
}

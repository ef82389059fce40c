// Writes the seed corpora of the fuzz targets (tests/data/fuzz/<reader>/)
// through the system's own writers: documents and single-layer files as a
// save writes them, the shipped brushes, effects, shapes, templates and code
// fragments as their libraries save them, the "@params" and "@options"
// sections of the shipped effects, the size expressions of the shipped
// shapes, the system palettes, comic layouts, text styles, the help index,
// version records, library order files and the messages of a second start.
// Needs a display with OpenGL (run it under xvfb-run).

#include "mbrush.h"
#include "mbrushstream.h"
#include "mcanvas.h"
#include "mcomicstriptool.h"
#include "mdocumentfile.h"
#include "mdocumenttemplate.h"
#include "menum.h"
#include "mlayerfile.h"
#include "mhelpengine.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpalette.h"
#include "mpalettelist.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderstream.h"
#include "mshape.h"
#include "mshapelist.h"
#include "msingleinstance.h"
#include "msnippet.h"
#include "msnippetstream.h"
#include "mtablemodel.h"
#include "mtextstyle.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mutility.h"
#include "mversioninfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>

namespace {
bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

bool writeText(const QString &path, const QString &text)
{
    return writeBytes(path, text.toUtf8());
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
    ok &= writeDocumentFile(documents + QStringLiteral("seed-layers.kxd"), canvas.parts()).isDone();
    ok &= MLayerFile::writeLayerFile(layers + QStringLiteral("seed-empty.data"), canvas.at(1)).isDone();

    // A paper image, named, before the layers.
    QImage paper(6, 4, QImage::Format_ARGB32);
    paper.fill(QColor(200, 190, 170));
    canvas.setPaperType(MEnum::Paper);
    canvas.setPaperName(QStringLiteral("paper.png"));
    canvas.setPaperTile(paper);
    ok &= writeDocumentFile(documents + QStringLiteral("seed-paper.kxd"), canvas.parts()).isDone();

    // One tile of pixels.
    canvas.setPaperType(MEnum::Transparent);
    paintTile(canvas.at(0), QPointF(10, 10), 40);
    ok &= writeDocumentFile(documents + QStringLiteral("seed-tile.kxd"), canvas.parts()).isDone();
    ok &= MLayerFile::writeLayerFile(layers + QStringLiteral("seed-tile.data"), canvas.at(0)).isDone();
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
// The ".aco" swatch format the palettes import, version 1 (colours) or 2
// (colours with names), every colour in its RGB space. The system writes no
// such file: this is the format as the import reads it.
QByteArray swatchFile(const MPalette &palette, int count, quint16 version)
{
    QByteArray out;
    auto word = [&out](quint16 value) {
        char buffer[2];
        qToBigEndian<quint16>(value, buffer);
        out.append(buffer, 2);
    };
    count = qMin(count, palette.count());
    word(version);
    word(quint16(count));
    for (int i = 0; i < count; ++i) {
        const QColor color = palette.colorAt(i).toRgb();
        word(0);
        word(quint16(color.red() * 257));
        word(quint16(color.green() * 257));
        word(quint16(color.blue() * 257));
        word(0);
        if (version == 2) {
            const QString name = palette.nameAt(i);
            const quint32 length = quint32(name.size() + 1);
            char buffer[4];
            qToBigEndian<quint32>(length, buffer);
            out.append(buffer, 4);
            for (const QChar c : name)
                word(c.unicode());
            word(0);
        }
    }
    return out;
}

// The system palettes as a palette file and as swatch files.
bool writePalettes(const QString &fuzz)
{
    bool ok = true;
    MPaletteList palettes;
    int number = 0;
    for (int row = 0; row < palettes.count() && number < 2; ++row) {
        const MPalette *palette = palettes.at(row);
        if (!palette->isSystem())
            continue;
        ++number;
        ok &= writeBytes(fuzz + QStringLiteral("palette/seed-%1.kxp").arg(number), palette->paletteData());
        ok &= writeBytes(fuzz + QStringLiteral("swatches/seed-%1-v1.aco").arg(number), swatchFile(*palette, 12, 1));
        ok &= writeBytes(fuzz + QStringLiteral("swatches/seed-%1-v2.aco").arg(number), swatchFile(*palette, 12, 2));
    }
    MPalette small;
    small.appendColor(QColor(10, 20, 30), QStringLiteral("Ink"));
    small.appendColor(QColor(200, 100, 50));
    small.setColumns(5);
    ok &= writeBytes(fuzz + QStringLiteral("palette/seed-small.kxp"), small.paletteData());
    return ok && number == 2;
}

// The shipped shapes written again, one with its preview kept in the file
// and one repeated past what a preview draws, and the distinct size
// expressions they hold.
bool writeShapes(const QString &data, const QString &fuzz)
{
    bool ok = true;
    int number = 0;
    QStringList expressions;
    for (const QFileInfo &file : QDir(data + QStringLiteral("/shapes")).entryInfoList({QStringLiteral("*.kxh")})) {
        MShape shape;
        ok &= shape.readJson(file.absoluteFilePath());
        const QString path = fuzz + QStringLiteral("shape/seed-%1.kxh").arg(++number);
        ok &= shape.writeJson(path);
        for (const MShapeItem &item : shape.items()) {
            for (int k = 0; k < 4; ++k) {
                for (const QString &text : {item.x[k], item.y[k], item.minx[k], item.miny[k], item.maxx[k], item.maxy[k]})
                    if (!text.isEmpty() && !expressions.contains(text))
                        expressions.append(text);
            }
            for (const QString &text : {item.width, item.height})
                if (!text.isEmpty() && !expressions.contains(text))
                    expressions.append(text);
        }
        if (number == 1) {
            // More items than a preview draws.
            MShape many;
            QVector<MShapeItem> items;
            while (items.size() <= MShape::MaximumPreviewItems)
                items += shape.items();
            many.setId(shape.id());
            many.setGroup(shape.group());
            many.setDescription(shape.description());
            many.setItems(items);
            many.setSize(shape.width(), shape.height());
            ok &= many.writeJson(fuzz + QStringLiteral("shape/seed-many-items.kxh"));
            QFile written(path);
            ok &= written.open(QIODevice::ReadOnly);
            QJsonObject root = QJsonDocument::fromJson(written.readAll()).object();
            root.insert(QStringLiteral("preview"), MUtility::imageToJson(shape.preview()));
            ok &= writeBytes(fuzz + QStringLiteral("shape/seed-preview.kxh"),
                             QJsonDocument(root).toJson(QJsonDocument::Indented));
        }
    }
    // The longest ones hold the most operators.
    std::sort(expressions.begin(), expressions.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (int i = 0; i < expressions.size() && i < 12; ++i)
        ok &= writeText(fuzz + QStringLiteral("sizeexpression/seed-%1.txt").arg(i + 1), expressions.at(i));
    return ok && number > 0;
}

// The order file a library writes for its items, here the shipped shapes.
bool writeOrder(const QString &data, const QString &fuzz)
{
    QTemporaryDir user;
    MShapeList shapes(data + QStringLiteral("/shapes"), user.path());
    auto keep = [&shapes, &fuzz](const QString &name) {
        QFile written(shapes.indexFileName(MUtility::UserPath));
        return written.open(QIODevice::ReadOnly) && writeBytes(fuzz + QStringLiteral("order/") + name, written.readAll());
    };
    QStringList order = shapes.order();
    bool ok = shapes.setOrder(order) && keep(QStringLiteral("seed-shapes.kxl"));
    std::reverse(order.begin(), order.end());
    order.append(MParamList::newItemId()); // an item whose file is gone
    ok &= shapes.setOrder(order) && keep(QStringLiteral("seed-reversed.kxl"));
    return ok;
}

bool writeTemplatesAndSnippets(const QString &data, const QString &fuzz)
{
    bool ok = true;
    int number = 0;
    for (const QFileInfo &file : QDir(data + QStringLiteral("/templates")).entryInfoList({QStringLiteral("*.kxt")})) {
        MDocumentTemplate documentTemplate;
        ok &= documentTemplate.load(file.absoluteFilePath());
        documentTemplate.set_fileName(fuzz + QStringLiteral("template/seed-%1.kxt").arg(++number));
        ok &= documentTemplate.save();
    }
    MDocumentTemplate coloured;
    coloured.set_id(QStringLiteral("coloured"));
    coloured.set_description(QStringLiteral("Coloured paper"));
    coloured.set_paperType(MEnum::Colored);
    coloured.set_paperColor(QColor(250, 240, 220));
    coloured.set_autoExtent(true);
    coloured.set_fileName(fuzz + QStringLiteral("template/seed-coloured.kxt"));
    ok &= coloured.save();
    number = 0;
    for (const QFileInfo &file : QDir(data + QStringLiteral("/snippets")).entryInfoList({QStringLiteral("*.kxn")})) {
        MSnippet snippet;
        ok &= MSnippetStream(&snippet).read(file.absoluteFilePath());
        ok &= MSnippetStream(&snippet).write(fuzz + QStringLiteral("snippet/seed-%1.kxn").arg(++number));
    }
    return ok;
}

// Layouts as the comic tool saves them: the default grid and a changed one
// with a cell added and some borders off.
bool writeComicLayouts(const QString &fuzz)
{
    bool ok = true;
    MComicStripTool tool(MTool::ComicStripTool);
    tool.setup();
    ok &= writeBytes(fuzz + QStringLiteral("comiclayout/seed-default.json"), tool.toJson());
    tool.set_rows(2);
    tool.set_columns(5);
    tool.set_topMargin(40.5);
    tool.set_rowGap(12);
    tool.setup();
    tool.selectAll();
    tool.setNoBorders();
    tool.unselectAll();
    tool.select(true, 0);
    tool.setTopBorder();
    tool.setLeftBorder();
    ok &= writeBytes(fuzz + QStringLiteral("comiclayout/seed-changed.json"), tool.toJson());
    return ok;
}

bool writeTextStyles(const QString &fuzz)
{
    QJsonArray array;
    const struct {
        const char *id;
        const char *font;
        int size;
        bool bold;
        QColor color;
    } styles[] = {{"normal", "Arial", 12, false, Qt::black},
                  {"Title", "DejaVu Serif", 36, true, QColor(120, 20, 20)},
                  {"caption \u00e9", "Sans", 9, false, QColor(0, 0, 255, 128)}};
    for (const auto &entry : styles) {
        MTextStyle style;
        style.set_id(QString::fromUtf8(entry.id));
        style.set_fontName(QString::fromLatin1(entry.font));
        style.set_fontSize(entry.size);
        style.set_fontBold(entry.bold);
        style.set_fontItalic(!entry.bold);
        style.set_fontColor(entry.color);
        QJsonObject json;
        objectToJson(json, &style);
        array.append(json);
    }
    return writeBytes(fuzz + QStringLiteral("textstyles/seed-styles.json"), QJsonDocument(array).toJson());
}

// The shipped help index as the help editor saves it, whole and its first
// topics alone.
bool writeHelpIndex(const QString &helpSource, const QString &fuzz)
{
    QStringList lines;
    if (!MUtility::readLines(lines, helpSource + QStringLiteral("/en/index.txt"), false, true))
        return false;
    MHelpEngine engine;
    engine.loadIndex(lines);
    bool ok = MUtility::writeLines(engine.indexLines(), fuzz + QStringLiteral("helpindex/seed-shipped.txt"));
    engine.loadIndex(lines.mid(0, 3));
    ok &= MUtility::writeLines(engine.indexLines(), fuzz + QStringLiteral("helpindex/seed-short.txt"));
    return ok;
}

bool writeVersions(const QString &fuzz)
{
    MVersionInfo running;
    bool ok = writeBytes(fuzz + QStringLiteral("version/seed-running.bin"), running.toByteArray());
    MVersionInfo other;
    other.name = QStringLiteral("KalmiDraw \u00e9");
    other.major = 12;
    other.minor = 0;
    other.patch = 345;
    other.platform = QStringLiteral("windows");
    ok &= writeBytes(fuzz + QStringLiteral("version/seed-other.bin"), other.toByteArray());
    return ok;
}
// What a second start sends the running one: its hello, alone or with the
// file it was asked to open.
// An image as another program offers one or a painter opens: a small one.
bool writeImages(const QString &fuzz)
{
    QImage image(16, 12, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(16 * x, 20 * y, 128, 255 - 10 * x));
    }
    return image.save(fuzz + QStringLiteral("image/seed-small.png"), "PNG");
}

bool writeInstanceMessages(const QString &fuzz)
{
    const QString folder = fuzz + QStringLiteral("instancemessage/");
    bool ok = writeBytes(folder + QStringLiteral("seed-hello.txt"), MSingleInstance::encodeMessage({QStringLiteral("hello")}));
    ok &= writeBytes(folder + QStringLiteral("seed-file.txt"),
                     MSingleInstance::encodeMessage({QStringLiteral("hello"), QStringLiteral("/home/painter/Pictures/sea.kxd")}));
    ok &= writeBytes(folder + QStringLiteral("seed-odd-name.txt"),
                     MSingleInstance::encodeMessage({QStringLiteral("hello"), QStringLiteral("/tmp/100% \u00e9t\u00e9\r\nsecond line.kxd")}));
    return ok;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat::setDefaultFormat(MOpenGL::requestedFormat());
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: makefuzzseeds <shipped data folder> <help source folder> <tests/data/fuzz folder>\n");
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QString helpSource = QString::fromLocal8Bit(argv[2]);
    const QString fuzz = QDir(QString::fromLocal8Bit(argv[3])).absolutePath() + QLatin1Char('/');
    for (const char *reader : {"document", "layer", "brush", "effect", "params", "options", "swatches", "palette",
                               "shape", "sizeexpression", "template", "comiclayout", "snippet", "textstyles", "helpindex", "version",
                               "order", "instancemessage", "image"})
        QDir().mkpath(fuzz + QLatin1String(reader));
    MLogger::instance()->startSession();
    bool ok = writeDocuments(fuzz + QStringLiteral("document/"), fuzz + QStringLiteral("layer/"));
    ok &= writeLibraries(data, fuzz);
    ok &= writePalettes(fuzz);
    ok &= writeShapes(data, fuzz);
    ok &= writeOrder(data, fuzz);
    ok &= writeTemplatesAndSnippets(data, fuzz);
    ok &= writeComicLayouts(fuzz);
    ok &= writeTextStyles(fuzz);
    ok &= writeHelpIndex(helpSource, fuzz);
    ok &= writeVersions(fuzz);
    ok &= writeInstanceMessages(fuzz);
    ok &= writeImages(fuzz);
    if (!ok)
        std::fprintf(stderr, "makefuzzseeds: not every seed could be written (see the log)\n");
    return ok ? 0 : 1;
}

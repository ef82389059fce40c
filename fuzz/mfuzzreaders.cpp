#include "mfuzzreaders.h"

#include "mbrush.h"
#include "mbrushstream.h"
#include "mcomicstriptool.h"
#include "mdocumentdescription.h"
#include "mdocumentfile.h"
#include "mdocumenttemplate.h"
#include "mfield.h"
#include "mfolders.h"
#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mlayerdescription.h"
#include "mlayerfile.h"
#include "moptionslanguage.h"
#include "mpalette.h"
#include "mparamlist.h"
#include "mparamslanguage.h"
#include "mshader.h"
#include "mshaderstream.h"
#include "mshape.h"
#include "mshapeparser.h"
#include "msingleinstance.h"
#include "msnippet.h"
#include "msnippetstream.h"
#include "mtextstylelist.h"
#include "mtexture.h"
#include "mutility.h"
#include "mversioninfo.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

QStringList MFuzzReaders::names()
{
    QStringList names;
    for (const char *name : {"document", "layer", "brush", "effect", "params", "options", "swatches", "palette",
                             "shape", "sizeexpression", "template", "comiclayout", "snippet", "textstyles",
                             "helpindex", "version", "order", "instancemessage", "image"})
        names.append(QLatin1String(name));
    return names;
}

namespace {
template <typename Scanner, typename Parser>
int parseLanguage(const QByteArray &bytes)
{
    Scanner scanner(QString::fromUtf8(bytes));
    Parser parser(&scanner);
    parser.parse();
    return parser.errors().count() == 0 ? 0 : 1;
}

// A shape is drawn at every start (its preview) and at whatever size the
// painter drags: both go through the size expressions and the drawing.
int readShape(const QByteArray &bytes)
{
    MShape shape;
    if (!shape.readJsonData(bytes, QStringLiteral("fuzz.kxh")))
        return 1;
    shape.preview();
    QImage image(37, 23, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    return shape.drawStrokes(painter, QRectF(0, 0, 37, 23)) ? 0 : 2;
}

// Every topic's page paths, as the help build and the help panel ask them;
// refused when a topic's id names no page inside the help folder.
int readHelpIndex(const QByteArray &bytes)
{
    static QTemporaryDir root;
    MHelpEngine engine;
    engine.setHelpRoot(root.path());
    engine.loadIndex(MUtility::textLines(bytes, false, true));
    engine.checkIndex();
    const QList<MHelpItem *> topics = engine.allTopics();
    if (topics.isEmpty())
        return 1;
    for (const MHelpItem *topic : topics) {
        if (engine.sourcePagePath(topic).isEmpty() || engine.exportPagePath(topic).isEmpty())
            return 2;
    }
    engine.indexLines();
    return 0;
}

// What a library does with the ids of its order file: each names an item
// file in its folders, or is passed over.
int readOrder(const QByteArray &bytes)
{
    const QStringList ids = MParamList::indexIds(bytes);
    if (ids.isEmpty())
        return 1;
    for (const QString &id : ids) {
        if (!MParamList::isFileId(id.trimmed().toUpper()))
            return 2;
    }
    return 0;
}
} // namespace

int MFuzzReaders::read(const QString &reader, const QByteArray &bytes)
{
    if (reader == QLatin1String("document") || reader == QLatin1String("layer")) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        if (reader == QLatin1String("layer")) {
            MLayerDescription layer;
            return MLayerFile::parseLayerFile(&buffer, layer).code;
        }
        MDocumentDescription document;
        return parseDocumentFile(&buffer, document).code;
    }
    if (reader == QLatin1String("brush")) {
        MBrush brush;
        return MBrushStream(&brush).loadFromJson(bytes, QStringLiteral("fuzz.kxb")) ? 0 : 1;
    }
    if (reader == QLatin1String("effect")) {
        // The file, then what loading an effect goes on to do with its
        // source: the sections, both languages and the GLSL assembly.
        MShader shader;
        if (!MShaderStream(&shader).loadFromJson(bytes, QStringLiteral("fuzz.kxs")))
            return 1;
        if (!shader.parseParams())
            return 2;
        bool ok = false;
        shader.buildFragmentSource(&ok);
        return ok ? 0 : 3;
    }
    if (reader == QLatin1String("params"))
        return parseLanguage<params::Scanner, params::Parser>(bytes);
    if (reader == QLatin1String("options"))
        return parseLanguage<options::Scanner, options::Parser>(bytes);
    if (reader == QLatin1String("swatches"))
        return MPalette().importSwatchData(bytes) ? 0 : 1;
    if (reader == QLatin1String("palette"))
        return MPalette().readPaletteData(bytes) ? 0 : 1;
    if (reader == QLatin1String("shape"))
        return readShape(bytes);
    if (reader == QLatin1String("sizeexpression")) {
        MShapeParser parser;
        parser.setRect(QRectF(0, 0, 640, 480));
        parser.evaluate(QString::fromUtf8(bytes));
        return parser.error().isEmpty() ? 0 : 1;
    }
    if (reader == QLatin1String("template")) {
        MDocumentTemplate documentTemplate;
        return documentTemplate.loadData(bytes) ? 0 : 1;
    }
    if (reader == QLatin1String("comiclayout")) {
        MComicStripTool tool(MTool::ComicStripTool);
        QString error;
        return tool.fromJson(bytes, error) ? 0 : 1;
    }
    if (reader == QLatin1String("snippet")) {
        MSnippet snippet;
        return MSnippetStream(&snippet).readData(bytes) ? 0 : 1;
    }
    if (reader == QLatin1String("textstyles")) {
        MTextStyleList styles(QString{});
        return styles.loadJsonData(bytes, QStringLiteral("fuzz textstyles.json")) ? 0 : 1;
    }
    if (reader == QLatin1String("helpindex"))
        return readHelpIndex(bytes);
    if (reader == QLatin1String("version"))
        return MVersionInfo().load(bytes) ? 0 : 1;
    if (reader == QLatin1String("order"))
        return readOrder(bytes);
    if (reader == QLatin1String("instancemessage")) {
        QStringList lines;
        return MSingleInstance::decodeMessage(bytes, lines) ? 0 : 1;
    }
    if (reader == QLatin1String("image")) {
        // What is checked before an image is decoded, with the memory of a
        // small machine free, so that an image the check lets through
        // decodes within the fuzzer's own limit.
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QString reason;
        const MImageFile::SizeCheck check = [](const QSize &size) {
            return MDocumentDescription::imageRefusal(size, qint64(256) << 20);
        };
        return MImageFile::read(reader, &reason, check).isNull() ? 1 : 0;
    }
    return -1;
}

void MFuzzReaders::quietLog()
{
    static QTemporaryDir home;
    static bool moved = false;
    if (!moved) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        moved = true;
    }
    QFile log(MFolders::userDataPath() + QStringLiteral("vantor.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        log.close();
}

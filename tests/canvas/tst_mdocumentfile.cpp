#include "mcanvas.h"
#include "mdocumentdescription.h"
#include "mdocumentfile.h"
#include "menum.h"
#include "mfolders.h"
#include "mlayerfile.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtesteffect.h"
#include "mtestfilesizelimit.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpng.h"
#include "mtexturetile.h"
#include "mutility.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <QUuid>

#include <cerrno>
#include <memory>

using namespace MTestCanvas;

namespace {

const QString tintId = QStringLiteral("{7A2C1E90-55B3-4C8D-9F0E-6B4D3A2C1E88}");
const QString paperFile = QStringLiteral("fixture-paper.png");

// Where a damage is made in a saved document.
enum Anchor { FileStart, LayerCount, FirstLayerSizes, PaperImage, FileEnd };
enum Damage { PutInt, Truncate, FlipByte };

// A paper whose pixels say where they are.
QImage paperImage(int shade)
{
    QImage paper(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            paper.setPixel(x, y, qRgba(30 * x, 40 * y, shade, 255));
    return paper;
}

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

QByteArray imageHash(const QImage &image)
{
    if (image.isNull())
        return "null";
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return hashOf(QByteArray(reinterpret_cast<const char *>(pixels.constBits()), int(pixels.sizeInBytes())));
}

// Fills a tile at a canvas point with pixels of a seed, every byte value possible.
void fillTile(MTextureLayer *layer, const QPointF &at, quint32 seed)
{
    auto *tile = static_cast<MTextureTile *>(layer->addTile(at));
    QVERIFY(tile->ensureTexture());
    QRandomGenerator random(seed);
    QByteArray pixels(tile->byteSize(), Qt::Uninitialized);
    for (char &byte : pixels)
        byte = char(random.bounded(256));
    QVERIFY(tile->setData(pixels.constData()));
}

QByteArray int32(qint32 value)
{
    QByteArray raw;
    QDataStream(&raw, QIODevice::WriteOnly) << value;
    return raw;
}

// A document written field by field: a paper image when png is given (an
// empty one stands for "no image"), the layer count the header claims and
// as many empty layer records as are really there.
QByteArray documentBytes(const QString &paperName, const QByteArray &png, qint32 claimedLayers, int layers)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_4);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    stream << QUuid(QStringLiteral("{CEC50B25-E865-4A4F-9E63-120098E6C0FD}")) << qint32(100)
           << QRectF(-10, -10, 20, 20) << qint32(paperName.isNull() ? MEnum::Colored : MEnum::Paper)
           << QColor(Qt::white);
    if (!paperName.isNull()) {
        stream << paperName << qint32(png.isEmpty() ? 0 : 1);
        stream.writeRawData(png.constData(), png.size());
    }
    stream << false << 0.0 << claimedLayers << qint32(0);
    for (int i = 0; i < layers; ++i)
        stream << QString() << 1.0 << false << true << QString() << qint32(512) << qint32(6) << qint32(4) << qint32(0)
               << qint32(1048576);
    return bytes;
}

// A device that cannot tell how many bytes are still to come.
class SequentialBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;
    bool isSequential() const override { return true; }
};

} // namespace

class TestMDocumentFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestFolder> folder;

    // Three layers with every stored property set apart; tiles made in an
    // order that is not the order of their cells; layer 2 has none.
    void buildDocument(int paperType)
    {
        canvas->reset();
        canvas->appendLayer();
        canvas->appendLayer();
        canvas->makeCurrent();
        MTextureLayer *sky = canvas->at(0);
        sky->setName(QStringLiteral("Sky"));
        sky->setOpacity(0.25);
        sky->setLocked(true);
        fillTile(sky, QPointF(10, 10), 1);
        fillTile(sky, QPointF(-700, 1200), 2);
        fillTile(sky, QPointF(5000, -3), 3);
        MTextureLayer *ink = canvas->at(1);
        ink->setName(QStringLiteral("Ink \u00e9t\u00e9"));
        ink->setVisible(false);
        ink->set_shaderId(tintId);
        QCOMPARE(ink->shaderId(), tintId);
        fillTile(ink, QPointF(-10, -10), 4);
        MTextureLayer *notes = canvas->at(2);
        notes->setName(QStringLiteral("Notes"));
        notes->setOpacity(0.6);
        notes->setLocked(true);
        notes->setVisible(false);
        canvas->setPaintedRect(QRectF(-150.5, -80.25, 301, 160.5));
        canvas->setPaperColor(QColor(12, 34, 56, 200));
        canvas->setAutoExtent(true);
        canvas->setPaintMargin(20);
        if (paperType == MEnum::Paper) {
            QVERIFY(paperImage(100).save(MFolders::papersDirectory(MFolders::UserPath) + paperFile));
            canvas->setPaperName(paperFile);
            QCOMPARE(canvas->paperName(), paperFile);
            canvas->setPaperTile(paperImage(100));
        }
        canvas->setPaperType(MEnum::PaperType(paperType));
        canvas->setCurrentRow(1);
    }

    // Everything a file holds of the document, pixels as hashes; with state,
    // also what a failed load must not touch.
    QStringList describe(bool withState)
    {
        canvas->makeCurrent();
        QStringList lines;
        const QRectF r = canvas->paintedRect();
        lines << QStringLiteral("painted %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
              << QStringLiteral("paper %1 %2").arg(canvas->paperType()).arg(canvas->paperColor().name(QColor::HexArgb))
              << QStringLiteral("extent %1 margin %2").arg(canvas->autoExtent()).arg(canvas->paintMargin());
        // Only a paper image is kept in the file, or shown.
        if (withState || canvas->paperType() == MEnum::Paper)
            lines << QStringLiteral("paper image %1 %2").arg(canvas->paperName(), QString::fromLatin1(imageHash(canvas->paperTile())));
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            lines << QStringLiteral("layer %1 '%2' %3 locked %4 visible %5 effect '%6' tiles %7")
                         .arg(row)
                         .arg(layer->name())
                         .arg(layer->opacity())
                         .arg(layer->locked())
                         .arg(layer->visible())
                         .arg(layer->shaderId())
                         .arg(layer->tileCount());
            for (int i = 0; i < layer->tileCount(); ++i) {
                MTextureTile *tile = layer->tileAt(i);
                QByteArray pixels(tile->byteSize(), '\0');
                const bool read = tile->readPixels(pixels.data());
                const QRect cell = tile->rect();
                lines << QStringLiteral("  tile %1 at %2, %3 size %4 x %5 pixels %6")
                             .arg(i)
                             .arg(cell.x())
                             .arg(cell.y())
                             .arg(cell.width())
                             .arg(cell.height())
                             .arg(read ? QString::fromLatin1(hashOf(pixels)) : QStringLiteral("unreadable"));
            }
        }
        if (withState) {
            lines << QStringLiteral("file '%1' new %2 modified %3 undo %4 current %5 selection %6")
                         .arg(canvas->fileName())
                         .arg(canvas->isNew())
                         .arg(canvas->isModified())
                         .arg(canvas->undoStack()->count())
                         .arg(canvas->currentRow())
                         .arg(canvas->hasSelection());
        }
        return lines;
    }

    // The document a failed load must leave alone: unsaved, with a
    // selection and an undo step.
    void buildUnsavedWork()
    {
        canvas->reset();
        canvas->makeCurrent();
        fillTile(canvas->at(0), QPointF(30, 30), 9);
        canvas->appendLayer();
        QPainterPath selection;
        selection.addRect(-20, -20, 40, 40);
        canvas->setClipPath(selection);
        canvas->setCurrentRow(0);
    }

    QString saved(const QString &name)
    {
        const QString path = folder->filePath(name);
        if (!canvas->saveToFile(path))
            return QString();
        return path;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_defaultWidth(200);
        MSettings::instance()->set_defaultHeight(120);
        auto *tint = new MTestEffect(tintId);
        tint->addParam("color", QColor(Qt::blue));
        MShaderList::instance()->append(tint);
        QVERIFY(QDir().mkpath(MFolders::papersDirectory(MFolders::UserPath)));
        // One document for every case: making one costs the compilation of every program.
        canvas.reset(new MCanvas());
        QVERIFY(canvas->isGlReady());
    }

    void init() { folder.reset(new MTestFolder()); }

    void cleanupTestCase()
    {
        canvas.reset();
        MShaderList::destroyInstance();
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("paperType");
        QTest::addColumn<bool>("noLayer");
        QTest::newRow("transparent paper") << int(MEnum::Transparent) << false;
        QTest::newRow("coloured paper") << int(MEnum::Colored) << false;
        QTest::newRow("paper image") << int(MEnum::Paper) << false;
        QTest::newRow("no layer") << int(MEnum::Colored) << true;
    }

    // Saving and opening again gives back every property, every pixel, at
    // the same cells in the same order, and the same picture.
    void roundTrip()
    {
        QFETCH(int, paperType);
        QFETCH(bool, noLayer);
        buildDocument(paperType);
        if (noLayer)
            canvas->clear();
        const QStringList written = describe(false);
        const QImage picture = canvas->flattenedImage(QStringLiteral("basic"));
        const MTestLogWatch log;
        const QString path = saved(QStringLiteral("picture.kxd"));
        QVERIFY(!path.isEmpty());

        // Another document in between, on another paper: what comes back
        // must come from the file.
        QVERIFY(paperImage(200).save(MFolders::papersDirectory(MFolders::UserPath) + paperFile));
        buildUnsavedWork();
        canvas->setPaperType(MEnum::Colored);
        canvas->setPaperColor(Qt::white);
        canvas->setPaperTile(paperImage(200));
        QVERIFY(canvas->isModified());
        QSignalSpy resets(canvas.get(), &MCanvas::layerListReset);
        QSignalSpy modified(canvas.get(), &MCanvas::modifiedChanged);
        QVERIFY(canvas->loadFromFile(path));
        QCOMPARE(canvas->lastReadResult().code, int(ReadDone));
        QCOMPARE(describe(false), written);
        QCOMPARE_IMAGES(canvas->flattenedImage(QStringLiteral("basic")), picture, 0);
        QCOMPARE(canvas->fileName(), QFileInfo(path).absoluteFilePath());
        QVERIFY(!canvas->isNew());
        QCOMPARE(canvas->undoStack()->count(), 0);
        QVERIFY(!canvas->isModified());
        QVERIFY(modified.count() >= 1);
        QVERIFY(!canvas->hasSelection());
        QCOMPARE(canvas->currentRow(), canvas->count() - 1);
        QVERIFY(resets.count() >= 1);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    // A tiny document, byte for byte: magic, format number, painted
    // rectangle, paper type and colour, flags, counts and the layer record.
    void headerBytes()
    {
        canvas->reset();
        canvas->makeCurrent();
        MTextureLayer *layer = canvas->at(0);
        layer->setName(QStringLiteral("A"));
        layer->setOpacity(0.5);
        canvas->setPaintedRect(QRectF(-100, -60, 200, 120));
        canvas->setPaperType(MEnum::Colored);
        canvas->setPaperColor(QColor(10, 20, 30));
        canvas->setAutoExtent(false);
        canvas->setPaintMargin(0);
        fillTile(layer, QPointF(10, 10), 5);
        QByteArray pixels(layer->tileAt(0)->byteSize(), '\0');
        QVERIFY(layer->tileAt(0)->readPixels(pixels.data()));

        const QString path = folder->filePath(QStringLiteral("tiny.kxd"));
        QCOMPARE(writeDocumentFile(path, canvas->parts()).code, 0);
        const QByteArray bytes = folder->readFile(QStringLiteral("tiny.kxd"));
        const QByteArray header = QByteArray::fromHex(
            "CEC50B25E8654A4F9E63120098E6C0FD" // magic
            "00000064"                         // format 100
            "C059000000000000C04E000000000000" // x -100, y -60
            "4069000000000000405E000000000000" // width 200, height 120
            "00000001"                         // coloured paper
            "01FFFF0A0A14141E1E0000"           // RGB spec, alpha, red, green, blue, pad
            "00"                               // no auto extent
            "0000000000000000"                 // margin 0
            "0000000100000001"                 // one layer, one tile
            "000000020041"                     // "A"
            "3FE0000000000000"                 // opacity 0.5
            "0001"                             // not locked, visible
            "FFFFFFFF"                         // no effect
            "00000200000000060000000400000001" // tile size, border, bytes per pixel, one tile
            "00100000"                         // bytes a tile
            "0000000000000000000001F3000001F3" // cell 0, 0 to 499, 499
        );
        QCOMPARE(bytes.left(header.size()).toHex(), header.toHex());
        QCOMPARE(bytes.size(), header.size() + pixels.size());
        QVERIFY(bytes.mid(header.size()) == pixels);
    }

    // Tiles come back from the GPU a few at a time while earlier ones are
    // written: a document of more tiles than are ever in flight is still the
    // header, then each layer's record with every tile's cell and the very
    // pixels a plain read of that tile gives, in the layers' and tiles' order.
    void manyTilesWrittenAsTheyRead()
    {
        buildDocument(MEnum::Colored);
        canvas->makeCurrent();
        for (int i = 0; i < 23; ++i)
            fillTile(canvas->at(i % 2 == 0 ? 0 : 2), QPointF(-3000 + 500 * (i % 11), 2000 + 500 * (i / 11)), 40 + i);
        const QString path = saved(QStringLiteral("many.kxd"));
        QVERIFY(!path.isEmpty());
        const QByteArray bytes = folder->readFile(QStringLiteral("many.kxd"));

        QByteArray expected;
        QDataStream stream(&expected, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_5_4);
        stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
        qint32 tiles = 0;
        for (int row = 0; row < canvas->count(); ++row)
            tiles += canvas->at(row)->tileCount();
        QVERIFY(tiles > 24);
        stream << QUuid(QStringLiteral("{CEC50B25-E865-4A4F-9E63-120098E6C0FD}")) << qint32(100) << canvas->paintedRect()
               << qint32(canvas->paperType()) << canvas->paperColor() << canvas->autoExtent() << canvas->paintMargin()
               << qint32(canvas->count()) << tiles;
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            stream << layer->name() << layer->opacity() << layer->locked() << layer->visible() << layer->shaderId()
                   << qint32(512) << qint32(6) << qint32(4) << qint32(layer->tileCount()) << qint32(1048576);
            for (int i = 0; i < layer->tileCount(); ++i) {
                QByteArray pixels(layer->tileAt(i)->byteSize(), '\0');
                QVERIFY(layer->tileAt(i)->readPixels(pixels.data()));
                stream << layer->tileAt(i)->rect();
                stream.writeRawData(pixels.constData(), pixels.size());
            }
        }
        QCOMPARE(bytes.size(), expected.size());
        QCOMPARE(hashOf(bytes), hashOf(expected));
    }

    // A document is known by its leading bytes whatever its name; nothing
    // else is taken for one.
    void documentKnownByItsBytes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("document");
        QTest::newRow("document named as an image") << "document" << true;
        QTest::newRow("magic cut short") << "cut" << false;
        QTest::newRow("parked layer") << "layer" << false;
        QTest::newRow("image") << "image" << false;
        QTest::newRow("empty") << "empty" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("folder") << "folder" << false;
    }

    void documentKnownByItsBytes()
    {
        QFETCH(QString, kind);
        QFETCH(bool, document);
        canvas->reset();
        canvas->makeCurrent();
        const QString path = folder->filePath(QStringLiteral("picture.png"));
        if (kind == QLatin1String("document") || kind == QLatin1String("cut")) {
            QCOMPARE(writeDocumentFile(path, canvas->parts()).code, 0);
            if (kind == QLatin1String("cut"))
                folder->writeFile(QStringLiteral("picture.png"), folder->readFile(QStringLiteral("picture.png")).left(15));
        } else if (kind == QLatin1String("layer")) {
            QCOMPARE(MLayerFile::writeLayerFile(path, canvas->at(0)).code, 0);
        } else if (kind == QLatin1String("image")) {
            QImage image(8, 8, QImage::Format_ARGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(path));
        } else if (kind == QLatin1String("empty")) {
            folder->writeFile(QStringLiteral("picture.png"), QByteArray());
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("picture.png")));
        }
        QCOMPARE(isDocumentFile(path), document);
    }

    void paperInFile_data()
    {
        QTest::addColumn<int>("paperType");
        QTest::newRow("transparent") << int(MEnum::Transparent);
        QTest::newRow("coloured") << int(MEnum::Colored);
        QTest::newRow("paper image") << int(MEnum::Paper);
    }

    // Only a paper image has its name and image in the file, the image as a
    // PNG behind an int32 1.
    void paperInFile()
    {
        QFETCH(int, paperType);
        buildDocument(paperType);
        canvas->clear();
        const QString path = folder->filePath(QStringLiteral("paper.kxd"));
        QCOMPARE(writeDocumentFile(path, canvas->parts()).code, 0);
        const QByteArray bytes = folder->readFile(QStringLiteral("paper.kxd"));
        constexpr int afterColour = 16 + 4 + 32 + 4 + 11;
        QCOMPARE(bytes.mid(afterColour - 15, 4), int32(paperType));
        // Auto extent, margin 20, no layer, no tile.
        const QByteArray tail = QByteArray::fromHex("01403400000000000000000000" "00000000");
        if (paperType != MEnum::Paper) {
            QCOMPARE(bytes.mid(afterColour).toHex(), tail.toHex());
            return;
        }
        QDataStream stream(bytes.mid(afterColour));
        stream.setVersion(QDataStream::Qt_5_4);
        QString name;
        qint32 marker = 0;
        stream >> name >> marker;
        QCOMPARE(name, paperFile);
        QCOMPARE(marker, 1);
        const int png = afterColour + 4 + 2 * paperFile.size() + 4;
        QCOMPARE(bytes.mid(png, 8).toHex(), QByteArray("89504e470d0a1a0a"));
        QImage image;
        QVERIFY(image.loadFromData(bytes.mid(png, bytes.size() - png - tail.size()), "PNG"));
        QCOMPARE(imageHash(image), imageHash(paperImage(100)));
        QCOMPARE(bytes.right(tail.size()).toHex(), tail.toHex());
    }

    void damagedFiles_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<QVector<int>>("edits"); // offset and value pairs, or one offset
        QTest::addColumn<bool>("paper");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString magic = QStringLiteral("Invalid canvas file format");
        // Said in words first; the detail follows for the log.
        const QString cut = QStringLiteral("The file is cut short: it ends before the data it announces (Error during "
                                           "readRawData)");
        const QString record = QStringLiteral("The file is damaged: Invalid layer record");
        const QString cell = QStringLiteral("The file is damaged: Invalid tile cell");
        using V = QVector<int>;
        const QString header = QStringLiteral("The file is damaged: Invalid canvas header");
        QTest::newRow("missing file") << -1 << 0 << V{} << false << 1 << QStringLiteral("Unable to read");
        QTest::newRow("empty file") << int(Truncate) << int(FileStart) << V{0} << false << 2 << magic;
        QTest::newRow("wrong magic") << int(FlipByte) << int(FileStart) << V{3} << false << 2 << magic;
        QTest::newRow("cut in the magic") << int(Truncate) << int(FileStart) << V{10} << false << 2 << magic;
        QTest::newRow("cut in the header") << int(Truncate) << int(LayerCount) << V{2} << false << 3 << cut;
        QTest::newRow("cut in a layer's sizes") << int(Truncate) << int(FirstLayerSizes) << V{10} << false << 3 << cut;
        QTest::newRow("cut inside a tile's pixels") << int(Truncate) << int(FileEnd) << V{-1000} << false << 3 << cut;
        QTest::newRow("one layer more than the file holds") << int(PutInt) << int(LayerCount) << V{0, 4} << false << 3
                                                            << cut;
        QTest::newRow("absurd layer count") << int(PutInt) << int(LayerCount) << V{0, 2000000000} << false << 3 << cut;
        QTest::newRow("negative layer count") << int(PutInt) << int(LayerCount) << V{0, -1} << false << 3 << cut;
        QTest::newRow("absurd tile count") << int(PutInt) << int(FirstLayerSizes) << V{12, 2000000000} << false << 3
                                           << cut;
        QTest::newRow("one tile more than the file holds") << int(PutInt) << int(FirstLayerSizes) << V{12, 7} << false
                                                           << 3 << cut;
        QTest::newRow("negative tile count") << int(PutInt) << int(FirstLayerSizes) << V{12, -5} << false << 3 << cut;
        QTest::newRow("tile size") << int(PutInt) << int(FirstLayerSizes) << V{0, 1024, 16, 4 * 1024 * 1024} << false
                                   << 3 << record;
        QTest::newRow("border") << int(PutInt) << int(FirstLayerSizes) << V{4, 0} << false << 3 << record;
        QTest::newRow("bytes per pixel") << int(PutInt) << int(FirstLayerSizes) << V{8, 8, 16, 2 * 1048576} << false
                                         << 3 << record;
        QTest::newRow("tile byte size") << int(PutInt) << int(FirstLayerSizes) << V{16, 1048575} << false << 3
                                        << record;
        QTest::newRow("cell off the grid") << int(PutInt) << int(FirstLayerSizes) << V{20, 250, 28, 749} << false << 3
                                           << cell;
        QTest::newRow("cell of two steps") << int(PutInt) << int(FirstLayerSizes) << V{28, 999} << false << 3 << cell;
        QTest::newRow("cell beyond the canvas") << int(PutInt) << int(FirstLayerSizes)
                                                << V{20, 2000000000, 28, 2000000499} << false << 3 << cell;
        QTest::newRow("paper image not a PNG") << int(PutInt) << int(PaperImage) << V{0, 0} << true << 3 << cut;
        // Header values that would reach undefined behaviour if stored: the
        // rectangle's doubles at 20 (x, y, width, height), the paper type at
        // 52, the colour's spec byte at 56, the margin at 68.
        QTest::newRow("paper type beyond the enumeration") << int(PutInt) << int(FileStart) << V{52, 3} << false << 3
                                                           << header;
        QTest::newRow("negative paper type") << int(PutInt) << int(FileStart) << V{52, -1} << false << 3 << header;
        QTest::newRow("painted rectangle NaN") << int(PutInt) << int(FileStart) << V{20, 0x7FF80000, 24, 0} << false
                                               << 3 << header;
        QTest::newRow("painted rectangle infinite") << int(PutInt) << int(FileStart) << V{36, 0x7FF00000, 40, 0}
                                                    << false << 3 << header;
        QTest::newRow("painted rectangle huge") << int(PutInt) << int(FileStart) << V{44, 0x41F00000, 48, 0} << false
                                                << 3 << header;
        QTest::newRow("painted rectangle of negative width") << int(PutInt) << int(FileStart) << V{36, int(0xC0590000)}
                                                             << false << 3 << header;
        QTest::newRow("colour of unknown spec") << int(PutInt) << int(FileStart) << V{56, 0x09FFFF0A} << false << 3
                                                << header;
        QTest::newRow("colour of negative spec") << int(PutInt) << int(FileStart) << V{56, int(0xF0FFFF0A)} << false
                                                 << 3 << header;
        QTest::newRow("paint margin NaN") << int(PutInt) << int(FileStart) << V{68, 0x7FF80000, 72, 0} << false << 3
                                          << header;
        QTest::newRow("layer opacity NaN") << int(PutInt) << int(FirstLayerSizes) << V{-14, 0x7FF80000, -10, 0}
                                           << false << 3 << record;
        QTest::newRow("paper type beyond the enumeration, with a paper image") << int(PutInt) << int(FileStart)
                                                                               << V{52, 7} << true << 3 << header;
        QTest::newRow("format number not 100") << int(PutInt) << int(FileStart) << V{16, 7} << false << 0 << QString();
    }

    // A damaged file is refused with its code and its log line, and the
    // open document, unsaved work and all, stays exactly as it was.
    void damagedFiles()
    {
        QFETCH(int, damage);
        QFETCH(int, anchor);
        QFETCH(QVector<int>, edits);
        QFETCH(bool, paper);
        QFETCH(int, code);
        QFETCH(QString, message);
        buildDocument(paper ? int(MEnum::Paper) : int(MEnum::Colored));
        const QStringList written = describe(false);
        const QString path = folder->filePath(QStringLiteral("damaged.kxd"));
        QCOMPARE(writeDocumentFile(path, canvas->parts()).code, 0);
        QByteArray bytes = folder->readFile(QStringLiteral("damaged.kxd"));
        // Paper type 1: the header is 84 bytes. Layer 0 ("Sky", no effect):
        // name, opacity, two flags and a null effect id before its sizes.
        const int paperBytes = paper ? 4 + 2 * paperFile.size() + 4 : 0;
        int anchors[] = {0, 76 + paperBytes, 84 + paperBytes + 4 + 6 + 8 + 2 + 4, 16 + 4 + 32 + 4 + 11 + paperBytes,
                               int(bytes.size())};
        if (paper) {
            QCOMPARE(bytes.mid(anchors[PaperImage], 4).toHex(), QByteArray("89504e47"));
            const int end = bytes.indexOf(QByteArray::fromHex("49454E44AE426082"), anchors[PaperImage]) + 8;
            // The image's length moves everything after it.
            for (int a : {LayerCount, FirstLayerSizes})
                anchors[a] += end - anchors[PaperImage];
        }
        QCOMPARE(bytes.mid(anchors[FirstLayerSizes], 4), int32(512));
        const int at = anchors[anchor];
        if (damage == PutInt) {
            for (int i = 0; i + 1 < edits.size(); i += 2)
                bytes.replace(at + edits[i], 4, int32(edits[i + 1]));
        } else if (damage == Truncate) {
            bytes.truncate(at + edits[0]);
        } else if (damage == FlipByte) {
            bytes[at + edits[0]] = char(bytes[at + edits[0]] ^ 0x40);
        }
        const QString damaged = damage < 0 ? folder->filePath(QStringLiteral("missing.kxd"))
                                           : folder->writeFile(QStringLiteral("damaged.kxd"), bytes);

        buildUnsavedWork();
        const QStringList before = describe(true);
        const MTestLogWatch log;
        QCOMPARE(canvas->loadFromFile(damaged), code == 0);
        QCOMPARE(canvas->lastReadResult().code, code);
        // The reason the painter is shown is the line the reader logged.
        const QStringList logged = log.lines();
        QCOMPARE(canvas->lastReadResult().reason,
                 code == 0 ? QString() : MTestLogWatch::message(logged.value(logged.size() - 1)));
        if (code == 0) {
            QCOMPARE(describe(false), written);
            return;
        }
        QCOMPARE(describe(true), before);
        if (message.isEmpty())
            QCOMPARE(log.count(QStringLiteral("System error")), 0);
        else
            QCOMPARE(log.count(QStringLiteral("System error: ") + message), 1);
    }

    // The size a header claims decides before any pixel memory is taken:
    // what a document reaches, then the memory available.
    void documentImageLimits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qint64>("memory");
        QTest::addColumn<QString>("refusal");
        const qint64 gigabyte = qint64(1) << 30;
        QTest::newRow("fits") << QSize(20000, 20000) << 16 * gigabyte << QString();
        QTest::newRow("memory unknown") << QSize(20000, 20000) << qint64(-1) << QString();
        QTest::newRow("no size in the header") << QSize() << qint64(0) << QString();
        QTest::newRow("more memory than available")
            << QSize(20000, 20000) << 4 * gigabyte
            << QStringLiteral("The image is 20000 x 20000 pixels: it needs about 7630 MB of memory and only 4096 MB "
                              "are available.");
        QTest::newRow("wider than a document")
            << QSize(2097153, 1) << 1000 * gigabyte
            << QStringLiteral("The image is 2097153 x 1 pixels: a document reaches at most 2097152 pixels across.");
        QTest::newRow("higher than a document") << QSize(1, 3000000) << qint64(-1)
                                                << QStringLiteral("The image is 1 x 3000000 pixels: a document "
                                                                  "reaches at most 2097152 pixels across.");
    }

    void documentImageLimits()
    {
        QFETCH(QSize, size);
        QFETCH(qint64, memory);
        QFETCH(QString, refusal);
        QCOMPARE(MDocumentDescription::imageRefusal(size, memory), refusal);
    }

    // Counts and sizes a file claims are refused before anything is taken
    // for them, whatever the file's length: a sparse file can be gigabytes
    // of nothing behind a header of a hundred bytes.
    void claimsBeyondTheLimits_data()
    {
        QTest::addColumn<QString>("paperName");
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<int>("claimedLayers");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<QString>("message");
        const qint64 twoGiB = qint64(2) << 30;
        QTest::newRow("50,000,000 layers in 2 GiB") << QString() << QByteArray() << 50000000 << twoGiB
                                                   << "Invalid canvas header: 50000000 layers, more than the 10000";
        QTest::newRow("one layer past the limit") << QString() << QByteArray()
                                                  << int(MDocumentDescription::MaximumLayers) + 1 << twoGiB
                                                  << "Invalid canvas header: 10001 layers";
        QTest::newRow("paper image of 30000 x 30000")
            << "big.png" << MTestPng::claiming(30000, 30000) << 1 << qint64(0)
            << "Invalid canvas header: paper image of 30000 x 30000 pixels, larger than 4096 x 4096";
        QTest::newRow("paper image one pixel too wide")
            << "wide.png" << MTestPng::claiming(4097, 1) << 1 << qint64(0)
            << "Invalid canvas header: paper image of 4097 x 1 pixels";
    }

    void claimsBeyondTheLimits()
    {
        QFETCH(QString, paperName);
        QFETCH(QByteArray, png);
        QFETCH(int, claimedLayers);
        QFETCH(qint64, fileSize);
        QFETCH(QString, message);
        const QString path = folder->writeFile(QStringLiteral("claims.kxd"), documentBytes(paperName, png, claimedLayers, 1));
        if (fileSize > 0) {
            QFile sparse(path);
            QVERIFY(sparse.resize(fileSize));
        }
        MDocumentDescription description;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        {
            const MTestLogWatch log;
            QCOMPARE(parseDocumentFile(&file, description).code, int(ReadBadData));
            QCOMPARE(log.count(QStringLiteral("System error: ") + message), 1);
        }
        QVERIFY(description.layers.isEmpty());

        buildUnsavedWork();
        const QStringList before = describe(true);
        const MTestLogWatch log;
        QVERIFY(!canvas->loadFromFile(path));
        QCOMPARE(canvas->lastReadResult().code, int(ReadBadData));
        QCOMPARE(log.count(QStringLiteral("System error: ") + message), 1);
        QVERIFY(canvas->lastReadResult().reason.startsWith(QStringLiteral("System error: ") + message));
        QCOMPARE(describe(true), before);
    }

    // The largest paper image still loads, and only the file name of a
    // paper's name is kept: a path in it must not reach outside the papers
    // folder, from a file or from anywhere else.
    void paperWithinItsFolderAndLimit()
    {
        QImage widest(MUtility::maximumImageSize().width(), 1, QImage::Format_ARGB32);
        widest.fill(qRgba(1, 2, 3, 255));
        const QByteArray png = MTestPng::encode(widest);
        const QString escaping = QStringLiteral("../../../../home/someone/secret.png");
        MDocumentDescription description;
        QBuffer device;
        device.setData(documentBytes(escaping, png, 1, 1));
        QVERIFY(device.open(QIODevice::ReadOnly));
        QCOMPARE(parseDocumentFile(&device, description).code, int(ReadDone));
        QCOMPARE(description.paperName, QStringLiteral("secret.png"));
        QCOMPARE(description.paperTile.size(), widest.size());
        QCOMPARE(description.layers.size(), 1);

        // A file beside the papers folder, which a path would reach.
        canvas->reset();
        const QString papers = MFolders::papersDirectory(MFolders::UserPath);
        QVERIFY(paperImage(7).save(papers + QStringLiteral("../outside.png")));
        QVERIFY(paperImage(9).save(papers + paperFile));
        const QString before = canvas->paperName();
        canvas->setPaperName(QStringLiteral("../outside.png"));
        QCOMPARE(canvas->paperName(), before);
        canvas->setPaperName(QStringLiteral("../papers/../") + paperFile);
        QCOMPARE(canvas->paperName(), paperFile);
        QCOMPARE(imageHash(canvas->paperTile()), imageHash(paperImage(9)));
        QFile::remove(papers + QStringLiteral("../outside.png"));
    }

    // Without a size to check a count against, nothing is reserved for it:
    // a layer record claiming two billion tiles is cut short, not the end of
    // the program.
    void countsOnADeviceOfUnknownSize()
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_5_4);
        stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
        stream << QUuid(QStringLiteral("{FF014CB9-2855-4DC1-99C9-97B20357BF83}")) << qint32(100) << QString() << 1.0
               << false << true << QString() << qint32(512) << qint32(6) << qint32(4) << qint32(0x7FFFFFFF)
               << qint32(1048576);
        SequentialBuffer device;
        device.setData(bytes);
        QVERIFY(device.open(QIODevice::ReadOnly));
        MLayerDescription layer;
        const MTestLogWatch log;
        QCOMPARE(MLayerFile::parseLayerFile(&device, layer).code, int(ReadBadData));
        QCOMPARE(log.count(QStringLiteral("System error: The file is cut short")), 1);
        QVERIFY(layer.cells.isEmpty());
    }

    void failedSave_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason"); // the system's, as the painter is shown it
        QTest::newRow("file size limit") << QStringLiteral("limit") << 2 << qt_error_string(EFBIG);
        QTest::newRow("folder in place of the file") << QStringLiteral("folder") << 1 << qt_error_string(EISDIR);
        QTest::newRow("missing folder") << QStringLiteral("missing") << 1 << qt_error_string(ENOENT);
    }

    // A save that cannot complete reports its code and leaves what was on
    // disk, and the document's own state, as they were.
    void failedSave()
    {
        QFETCH(QString, obstacle);
        QFETCH(int, code);
        QFETCH(QString, reason);
        buildDocument(MEnum::Colored);
        QString path = folder->filePath(QStringLiteral("kept.kxd"));
        QByteArray old;
        if (obstacle == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
            folder->writeFile(QStringLiteral("kept.kxd/inside.txt"), "still here");
        } else if (obstacle == QLatin1String("missing")) {
            path = folder->filePath(QStringLiteral("no such folder/kept.kxd"));
        } else {
            QVERIFY(canvas->saveToFile(path));
            old = folder->readFile(QStringLiteral("kept.kxd"));
            QVERIFY(old.size() > 4 * 1048576);
        }
        // Something to save that differs from the file.
        canvas->makeCurrent();
        fillTile(canvas->at(2), QPointF(700, 700), 6);
        canvas->appendLayer();
        const QStringList before = describe(true);
        const QStringList entries = QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        bool savedAnyway = false;
        const MTestLogWatch log;
        {
            std::unique_ptr<MTestFileSizeLimit> limit;
            if (obstacle == QLatin1String("limit"))
                limit.reset(new MTestFileSizeLimit(256 * 1024));
            savedAnyway = canvas->saveToFile(path);
        }
        QVERIFY(!savedAnyway);
        QCOMPARE(canvas->lastWriteResult().code, code);
        // The user is shown the logged line as the reason.
        QVERIFY(log.count(QStringLiteral("System error: ")) >= 1);
        const QString line = QStringLiteral("System error: Unable to write %1: %2.").arg(path, reason);
        const QStringList logged = log.lines();
        QCOMPARE(MTestLogWatch::message(logged.value(logged.size() - 1)), line);
        QCOMPARE(canvas->lastWriteResult().reason, line);
        QCOMPARE(describe(true), before);
        QCOMPARE(QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
        if (obstacle == QLatin1String("folder"))
            QCOMPARE(folder->readFile(QStringLiteral("kept.kxd/inside.txt")), QByteArray("still here"));
        else if (obstacle == QLatin1String("limit"))
            QVERIFY(folder->readFile(QStringLiteral("kept.kxd")) == old);
    }

    // A successful save names the document after its file, clears isNew once
    // and marks the history clean without emptying it; a leftover of a save
    // killed before its rename is cleared away.
    void saveState()
    {
        buildDocument(MEnum::Colored);
        canvas->setIsNew(true);
        canvas->setFileName(QStringLiteral("untitled.kxd"));
        QVERIFY(canvas->undoStack()->count() > 0);
        QSignalSpy isNew(canvas.get(), &MCanvas::isNewChanged);
        QSignalSpy names(canvas.get(), &MCanvas::fileNameChanged);
        const QString path = folder->filePath(QStringLiteral("named.kxd"));
        QVERIFY(canvas->saveToFile(path));
        QCOMPARE(canvas->lastWriteResult().code, int(WriteDone));
        QCOMPARE(canvas->fileName(), QFileInfo(path).absoluteFilePath());
        QCOMPARE(isNew.count(), 1);
        QCOMPARE(isNew.at(0).at(0).toBool(), false);
        QCOMPARE(names.count(), 1);
        const int steps = canvas->undoStack()->count();
        QVERIFY(steps > 0);
        QVERIFY(!canvas->isModified());
        canvas->undo();
        QVERIFY(canvas->isModified());
        canvas->redo();
        QVERIFY(!canvas->isModified());
        canvas->appendLayer();
        QVERIFY(canvas->isModified());
        folder->writeFile(QStringLiteral("named.kxd.kalmisave"), "half of a killed save");
        QVERIFY(canvas->saveToFile(path));
        QCOMPARE(canvas->undoStack()->count(), steps + 1);
        QVERIFY(!canvas->isModified());
        QCOMPARE(isNew.count(), 1);
        QCOMPARE(names.count(), 1);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList{QStringLiteral("named.kxd")});
    }

    void exportLayers_data()
    {
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<bool>("background");
        QTest::addColumn<QVector<int>>("rowOfNumber"); // numbers 1, 2, 3
        QTest::newRow("last row first") << false << false << QVector<int>{2, 1, 0};
        QTest::newRow("row 0 first") << true << false << QVector<int>{0, 1, 2};
        QTest::newRow("over row 0") << false << true << QVector<int>{2, 1, 0};
    }

    // Every layer alone, at the painted rectangle's size, in a numbered file.
    void exportLayers()
    {
        QFETCH(bool, reverse);
        QFETCH(bool, background);
        QFETCH(QVector<int>, rowOfNumber);
        canvas->reset();
        canvas->appendLayer();
        canvas->appendLayer();
        canvas->setPaintedRect(QRectF(-100, -60, 200, 120));
        canvas->makeCurrent();
        const QRect bands[3] = {QRect(-100, -60, 120, 120), QRect(-40, -60, 120, 60), QRect(20, 0, 80, 60)};
        const QRgb colours[3] = {qRgba(200, 0, 0, 255), qRgba(0, 200, 0, 255), qRgba(0, 0, 200, 255)};
        for (int row = 0; row < 3; ++row)
            paintRect(canvas->at(row), bands[row], colours[row]);

        QVERIFY(canvas->renderer()
                    ->exportLayersAsPng(folder->path(), QStringLiteral("f"), reverse, background)
                    .isDone());
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("f0001.png"), QStringLiteral("f0002.png"), QStringLiteral("f0003.png")}));
        for (int number = 1; number <= 3; ++number) {
            const int row = rowOfNumber[number - 1];
            QImage expected(200, 120, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < 120; ++y) {
                for (int x = 0; x < 200; ++x) {
                    const QPoint p(x - 100, y - 60);
                    QRgb pixel = background && bands[0].contains(p) ? colours[0] : 0;
                    if (bands[row].contains(p))
                        pixel = colours[row];
                    expected.setPixel(x, y, pixel);
                }
            }
            const QImage image(folder->filePath(QStringLiteral("f%1.png").arg(number, 4, 10, QLatin1Char('0'))));
            QCOMPARE_IMAGES(image.convertToFormat(QImage::Format_ARGB32_Premultiplied), expected, 0);
        }
    }

    void exportRefusals()
    {
        canvas->reset();
        const MTestLogWatch log;
        // Each refusal says why, in the line it logged.
        const QString missing = folder->filePath(QStringLiteral("missing"));
        const struct
        {
            MFileResult result;
            QString reason;
        } refusals[] = {
            {MDocumentRenderer(MDocumentParts()).exportLayersAsPng(folder->path(), QStringLiteral("f"), false, false),
             QStringLiteral("System error: Unable to export layers to %1: no layer to export.").arg(folder->path())},
            {canvas->renderer()->exportLayersAsPng(missing, QStringLiteral("f"), false, false),
             QStringLiteral("System error: Unable to export layers to %1: no such folder.").arg(missing)},
        };
        for (const auto &refusal : refusals) {
            QCOMPARE(refusal.result.code, int(WriteNotOpened));
            QCOMPARE(refusal.result.reason, refusal.reason);
            QCOMPARE(log.count(refusal.reason), 1);
        }
        // A frame that cannot be written is reported, the others are still written.
        canvas->appendLayer();
        QVERIFY(QDir().mkpath(folder->filePath(QStringLiteral("f0001.png"))));
        const MFileResult frameMissing =
            canvas->renderer()->exportLayersAsPng(folder->path(), QStringLiteral("f"), false, false);
        QCOMPARE(frameMissing.code, int(WriteIncomplete));
        QCOMPARE(frameMissing.reason,
                 QStringLiteral("System error: Unable to save %1.").arg(folder->filePath(QStringLiteral("f0001.png"))));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to save")), 1);
        QVERIFY(QFileInfo(folder->filePath(QStringLiteral("f0002.png"))).isFile());
        canvas->clear();
        QCOMPARE(canvas->renderer()->exportLayersAsPng(folder->path(), QStringLiteral("g"), false, false).code,
                 int(WriteNotOpened));
        QVERIFY(!QFileInfo::exists(folder->filePath(QStringLiteral("g0001.png"))));
    }
};

QTEST_MAIN(TestMDocumentFile)
#include "tst_mdocumentfile.moc"

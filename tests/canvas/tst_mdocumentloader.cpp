#include "mcanvas.h"
#include "mdocumentloader.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtexturetile.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <tuple>

using namespace MTestCanvas;

namespace {

// The fixture: a painted rectangle of 5 x 4 cells, three full layers and one
// more tile outside the rectangle; more tiles than a document that loads at once.
const QRectF painted(0, 0, 2500, 2000);
const QPointF outside(3200, 100);
const QRect everywhere(0, 0, 3500, 2000);
constexpr int layerCount = 3;

// A tile of noise at a canvas point, every byte value possible.
void addNoiseTile(MTextureLayer *layer, const QPointF &at, quint32 seed)
{
    auto *tile = static_cast<MTextureTile *>(layer->addTile(at));
    QVector<quint32> noise(tile->byteSize() / 4);
    QRandomGenerator(seed).fillRange(noise.data(), noise.size());
    QVERIFY(tile->ensureTexture() && tile->setData(noise.constData()));
}

// Where the first frame needs a tile: over the painted rectangle first, from
// its centre out, one place after the other, each with its layers from the
// bottom up.
std::tuple<bool, double, int, int, int> need(const QRect &cell, int row)
{
    const QPointF offset = QRectF(cell).center() - painted.center();
    return std::make_tuple(!painted.intersects(QRectF(cell)), QPointF::dotProduct(offset, offset), cell.top(),
                           cell.left(), row);
}

QByteArray hashOf(const QImage &image)
{
    return QCryptographicHash::hash(QByteArray(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes())),
                                    QCryptographicHash::Sha1)
        .toHex();
}

// The texels of a texture level, in the order the texture keeps them.
QByteArray level(GLuint texture, int level, int side)
{
    auto *f = QOpenGLContext::currentContext()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    QByteArray texels(side * side * 4, '\0');
    f->glBindTexture(GL_TEXTURE_2D, texture);
    f->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    f->glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

} // namespace

class TestMDocumentLoader : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestFolder> folder;
    QString path;

    void buildDocument(quint32 seed)
    {
        canvas->reset();
        canvas->makeCurrent();
        while (canvas->count() < layerCount)
            canvas->appendLayer();
        canvas->setPaintedRect(painted);
        for (int row = 0; row < layerCount; ++row) {
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 5; ++x)
                    addNoiseTile(canvas->at(row), QPointF(x * 500 + 250, y * 500 + 250), seed + quint32(row * 100 + y * 5 + x));
        }
        addNoiseTile(canvas->at(1), outside, seed + 99);
        canvas->undoStack()->clear();
    }

    // Every layer's pixels, with the layer count and names.
    QStringList describe()
    {
        canvas->makeCurrent();
        QStringList lines;
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            lines << QStringLiteral("%1 '%2' %3 tiles %4")
                         .arg(row)
                         .arg(layer->name())
                         .arg(layer->tileCount())
                         .arg(QString::fromLatin1(hashOf(layerImage(layer, everywhere))));
        }
        return lines;
    }

    // Starts loading with the reads past the first place held until it
    // returns, so that even a fast machine is still loading when the test
    // looks; a minute at most, so that a fault fails instead of hanging.
    bool startLoadingHeld(const QString &file)
    {
        *readsHeld = true;
        holdSince->restart();
        const bool started = canvas->startLoading(file);
        *readsHeld = false;
        return started;
    }
    std::shared_ptr<std::atomic<bool>> readsHeld = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<QElapsedTimer> holdSince = std::make_shared<QElapsedTimer>();

    int validTiles()
    {
        int tiles = 0;
        for (int row = 0; row < canvas->count(); ++row) {
            for (int i = 0; i < canvas->at(row)->tileCount(); ++i)
                tiles += canvas->at(row)->tileAt(i)->isValid() ? 1 : 0;
        }
        return tiles;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_generateMipmaps(true);
        canvas.reset(new MCanvas());
        QVERIFY(canvas->isGlReady());
        holdSince->start();
        canvas->setLoadingReadHold([held = readsHeld, since = holdSince](int index) {
            return !*held || index < layerCount || since->elapsed() > 60000;
        });
    }

    void init()
    {
        folder.reset(new MTestFolder());
        buildDocument(1);
        path = folder->filePath(QStringLiteral("big.kxd"));
        QVERIFY(canvas->saveToFile(path));
    }

    void cleanupTestCase() { canvas.reset(); }

    // The first tiles are in when the load returns, the ones the first frame
    // needs first; the rest come from the event loop, which goes on turning,
    // with every pixel and every smaller level as the GPU would make it.
    void tilesComeInAsTheFirstFrameNeedsThem()
    {
        const QStringList saved = describe();
        canvas->reset();
        QSignalSpy finished(canvas.get(), &MCanvas::loadingFinished);
        QSignalSpy frames(canvas.get(), QOverload<bool, const QRectF &>::of(&MCanvas::refresh));
        QVERIFY(startLoadingHeld(path));
        QVERIFY(canvas->isLoading());
        QCOMPARE(canvas->count(), layerCount);
        // At least the whole first place.
        const int first = validTiles();
        QVERIFY(first >= layerCount);
        QVERIFY(first < layerCount * 20 + 1);
        // No tile that is in is needed later than one still to come.
        std::tuple<bool, double, int, int, int> latestIn(false, -1.0, INT_MIN, INT_MIN, -1),
            earliestOut(true, 1e300, INT_MAX, INT_MAX, INT_MAX);
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            for (int i = 0; i < layer->tileCount(); ++i) {
                const auto key = need(layer->tileAt(i)->rect(), row);
                if (layer->tileAt(i)->isValid())
                    latestIn = std::max(latestIn, key);
                else
                    earliestOut = std::min(earliestOut, key);
            }
        }
        QVERIFY(latestIn <= earliestOut);
        QVERIFY(frames.count() >= 1);

        int turns = 0;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, [&turns] { ++turns; });
        ticks.start(1);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(turns >= 2);
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(!canvas->isLoading());
        QCOMPARE(canvas->lastReadResult().code, int(ReadDone));
        QCOMPARE(describe(), saved);
        QVERIFY(!canvas->isModified());

        // The smaller levels made on the way equal the driver's own.
        canvas->makeCurrent();
        MTextureTile *loaded = canvas->at(2)->tileAt(3);
        QVERIFY(!loaded->mipmapsDirty());
        auto *rebuilt = static_cast<MTextureTile *>(canvas->at(0)->addTile(QPointF(-700, -700)));
        QVERIFY(rebuilt->ensureTexture());
        QByteArray pixels(loaded->byteSize(), '\0');
        QVERIFY(loaded->readPixels(pixels.data()));
        QVERIFY(rebuilt->setData(pixels.constData()));
        QVERIFY(rebuilt->rebuildMipmaps());
        for (int l = 1, side = 256; side >= 1; ++l, side /= 2)
            QVERIFY2(level(loaded->textureId(), l, side) == level(rebuilt->textureId(), l, side),
                     qPrintable(QStringLiteral("level %1").arg(l)));
    }

    void everyPixelWithOrWithoutSmallerLevels_data()
    {
        QTest::addColumn<bool>("levels");
        QTest::newRow("smaller levels made while reading") << true;
        QTest::newRow("first level alone") << false;
    }

    // Every pixel lands where the file has it, whether the smaller levels
    // are made as the tiles are read or not.
    void everyPixelWithOrWithoutSmallerLevels()
    {
        QFETCH(bool, levels);
        const QStringList saved = describe();
        canvas->reset();
        MSettings::instance()->set_generateMipmaps(levels);
        const bool loaded = canvas->loadFromFile(path);
        MSettings::instance()->set_generateMipmaps(true);
        QVERIFY(loaded);
        QCOMPARE(describe(), saved);
    }

    void whatReadsOrChangesTheDocumentWaits_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("save") << "save";
        QTest::newRow("export a layer") << "export";
        QTest::newRow("merge layers") << "merge";
        QTest::newRow("remove a layer, undo") << "remove";
        QTest::newRow("duplicate a layer") << "duplicate";
        QTest::newRow("fill a layer") << "fill";
        QTest::newRow("paper size, cropped") << "crop";
    }

    // Anything that reads or changes the document while its tiles come in
    // first waits for the last one: it acts on the whole document, as it
    // would once the load was over.
    void whatReadsOrChangesTheDocumentWaits()
    {
        QFETCH(QString, action);
        const QString copy = folder->filePath(QStringLiteral("copy.kxd"));
        QString exported;
        const QMap<QString, std::function<void()>> actions{
            {"save", [&] { QVERIFY(canvas->saveToFile(copy)); }},
            {"export", [&] { exported = QString::fromLatin1(hashOf(canvas->grabLayer(canvas->at(1), "basic"))); }},
            {"merge", [&] { canvas->mergeLayers(0, 1); }},
            {"remove",
             [&] {
                 canvas->removeLayer(1);
                 canvas->undo();
             }},
            {"duplicate", [&] { canvas->duplicateLayer(2); }},
            {"fill",
             [&] {
                 canvas->setCurrentRow(1);
                 canvas->fill(QColor(200, 10, 10, 128));
             }},
            {"crop", [&] { canvas->setPaperSize(QSize(1200, 900), true); }},
        };
        QVERIFY(canvas->loadFromFile(path));
        actions[action]();
        const QStringList expected = describe();
        const QString expectedExport = exported;
        const QByteArray source = folder->readFile(QStringLiteral("big.kxd"));

        canvas->reset();
        QVERIFY(startLoadingHeld(path));
        QVERIFY(canvas->isLoading());
        actions[action]();
        QVERIFY(!canvas->isLoading());
        QCOMPARE(describe(), expected);
        QCOMPARE(exported, expectedExport);
        if (action == QLatin1String("save"))
            QVERIFY(folder->readFile(QStringLiteral("copy.kxd")) == source);
    }

    void aFileChangedUnderTheLoad_data()
    {
        QTest::addColumn<bool>("truncated");
        QTest::newRow("cut short") << true;
        QTest::newRow("another file renamed over it") << false;
    }

    // The tiles come from the file that was checked, through a descriptor of
    // its own: one renamed over it changes nothing; one cut short afterwards
    // fails the load with the reason logged and leaves a new document, not
    // half of this one.
    void aFileChangedUnderTheLoad()
    {
        QFETCH(bool, truncated);
        const QStringList saved = describe();
        buildDocument(7);
        const QString other = folder->filePath(QStringLiteral("other.kxd"));
        QVERIFY(canvas->saveToFile(other));
        canvas->reset();
        QSignalSpy finished(canvas.get(), &MCanvas::loadingFinished);
        const MTestLogWatch log;
        QVERIFY(startLoadingHeld(path));
        QVERIFY(canvas->isLoading());
        if (truncated) {
            QVERIFY(QFile::resize(path, 3 * 1048576));
        } else {
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(other, path));
        }
        const bool loaded = canvas->finishLoading();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), loaded);
        if (!truncated) {
            QVERIFY(loaded);
            QCOMPARE(describe(), saved);
            return;
        }
        QVERIFY(!loaded);
        QCOMPARE(canvas->lastReadResult().code, int(ReadBadData));
        QCOMPARE(log.count(QStringLiteral("System error: The file is cut short")), 1);
        QCOMPARE(canvas->count(), 1);
        QCOMPARE(canvas->at(0)->tileCount(), 0);
        QVERIFY(canvas->isNew());
        QVERIFY(canvas->fileName().isEmpty());
        QVERIFY(!canvas->isModified());
    }

    void replacedWhileLoading_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::newRow("new document") << "new";
        QTest::newRow("another document") << "document";
        QTest::newRow("an image") << "image";
    }

    // A document replaced while its tiles come in stops the load: nothing
    // more lands in the layers that went, and the new one is whole.
    void replacedWhileLoading()
    {
        QFETCH(QString, replacement);
        buildDocument(11);
        const QStringList other = describe();
        const QString otherPath = folder->filePath(QStringLiteral("other.kxd"));
        QVERIFY(canvas->saveToFile(otherPath));
        QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgba(10, 120, 30, 255));
        const QString imagePath = folder->filePath(QStringLiteral("picture.png"));
        QVERIFY(image.save(imagePath));

        canvas->reset();
        QSignalSpy finished(canvas.get(), &MCanvas::loadingFinished);
        QVERIFY(startLoadingHeld(path));
        QVERIFY(canvas->isLoading());
        if (replacement == QLatin1String("new")) {
            canvas->reset();
            QCOMPARE(canvas->count(), 1);
            QCOMPARE(canvas->at(0)->tileCount(), 0);
        } else if (replacement == QLatin1String("document")) {
            QVERIFY(canvas->loadFromFile(otherPath));
            QCOMPARE(describe(), other);
        } else {
            QVERIFY(canvas->loadImage(imagePath));
            QCOMPARE(canvas->count(), 1);
        }
        const QStringList after = describe();
        QVERIFY(!canvas->isLoading());
        QTest::qWait(200);
        QCOMPARE(describe(), after);
        // Only the load that replaced it ended.
        QCOMPARE(finished.count(), replacement == QLatin1String("document") ? 1 : 0);
    }
};

QTEST_MAIN(TestMDocumentLoader)
#include "tst_mdocumentloader.moc"

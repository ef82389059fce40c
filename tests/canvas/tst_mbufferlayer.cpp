#include "mbufferlayer.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestbuffer.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpixels.h"
#include "mtexturetile.h"
#include "mtexturetransfert.h"

#include <QTest>
#include <QtEndian>

#include <memory>

using namespace MTestCanvas;

namespace {
const QRgb red = qRgba(200, 0, 0, 255);
const QRgb blue = qRgba(0, 0, 90, 128);
const uchar redBytes[4] = {200, 0, 0, 255};

QRgb bufferPixel(const MBufferLayer &buffer, int x, int y)
{
    uchar bytes[4] = {1, 2, 3, 4};
    buffer.pixelAt(x, y, bytes);
    return qRgba(bytes[0], bytes[1], bytes[2], bytes[3]);
}

// One row of pixels: runs of colours starting at x0.
QImage row(const QVector<QPair<int, QRgb>> &runs)
{
    int width = 0;
    for (const auto &run : runs)
        width += run.first;
    QImage image(width, 1, QImage::Format_ARGB32_Premultiplied);
    int x = 0;
    for (const auto &run : runs)
        for (int i = 0; i < run.first; ++i)
            image.setPixel(x++, 0, run.second);
    return image;
}
} // namespace

class TestMBufferLayer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    MTextureLayer *layer() const { return canvas->at(0); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        canvas.reset(new MCanvas());
        QVERIFY(canvas->isGlReady());
    }

    void init()
    {
        canvas->reset();
        canvas->makeCurrent();
    }

    void cleanup()
    {
        MShaderList::destroyInstance();
    }

    void cleanupTestCase()
    {
        canvas->makeCurrent();
        MTextureTransfert::instance()->release(canvas->context());
        canvas.reset();
    }

    void untouchedPixelIsTransparent()
    {
        MBufferLayer buffer;
        QCOMPARE(bufferPixel(buffer, 12, -7), qRgba(0, 0, 0, 0));
        QCOMPARE(buffer.tileCount(), 0);
        QVERIFY(buffer.bounds().isEmpty());
    }

    // Cells are found by floor, and cells however far out keep their own
    // tiles (pairs that a 32-bit pairing with offset 1000 would merge).
    void cellsKeepTheirOwnTiles_data()
    {
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<QRect>("cellOfA");
        QTest::newRow("either side of the origin") << QPoint(-1, -1) << QPoint(0, 0) << QRect(-500, -500, 500, 500);
        QTest::newRow("on a cell edge") << QPoint(500, 499) << QPoint(499, 499) << QRect(500, 0, 500, 500);
        QTest::newRow("far left, rows 0 and -1") << QPoint(-999800, 10) << QPoint(-999800, -10)
                                                << QRect(-1000000, 0, 500, 500);
        QTest::newRow("far right, far down") << QPoint(40000000, 3) << QPoint(3, 40000000)
                                             << QRect(40000000, 0, 500, 500);
    }

    void cellsKeepTheirOwnTiles()
    {
        QFETCH(QPoint, a);
        QFETCH(QPoint, b);
        QFETCH(QRect, cellOfA);
        MBufferLayer buffer;
        MTestBuffer::paintImage(buffer, MTestPixels::filled(1, 1, red), a);
        MTestBuffer::paintImage(buffer, MTestPixels::filled(1, 1, blue), b);
        QCOMPARE(buffer.findTile(a)->rect(), cellOfA);
        QVERIFY(buffer.findTile(a) != buffer.findTile(b));
        QCOMPARE(bufferPixel(buffer, a.x(), a.y()), red);
        QCOMPARE(bufferPixel(buffer, b.x(), b.y()), blue);

        // A tile removed takes its cell only, even as the last one walked;
        // one of another buffer is not this buffer's to remove.
        const int tiles = buffer.tileCount();
        MBufferLayer other;
        MBufferTile *foreign = other.tile(a);
        buffer.removeTile(foreign);
        QCOMPARE(buffer.tileCount(), tiles);
        QCOMPARE(buffer.pixelTile(a.x(), a.y(), nullptr, nullptr)->rect(), cellOfA);
        buffer.removeTile(buffer.findTile(a));
        QCOMPARE(buffer.tileCount(), tiles - 1);
        QVERIFY(!buffer.findTile(a));
        QCOMPARE(bufferPixel(buffer, a.x(), a.y()), qRgba(0, 0, 0, 0));
        QCOMPARE(bufferPixel(buffer, b.x(), b.y()), blue);
        MBufferTile *again = buffer.pixelTile(a.x(), a.y(), nullptr, nullptr);
        QVERIFY(again && again != foreign);
        QCOMPARE(QRgb(qFromLittleEndian<quint32>(again->pixel(a.x(), a.y()))), QRgb(0));
    }

    // Row 10 from x = 490: 5 red, 10 near-red, 3 transparent, then red up to
    // 529 across the cell edge at 500, then nothing painted.
    void scans_data()
    {
        QTest::addColumn<int>("walk");    // 0 left while equal, 1 right while equal, 2 right until equal
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("expected");
        QTest::newRow("right, exact") << 1 << 490 << 600 << 0 << 495;
        QTest::newRow("right, near colours match") << 1 << 490 << 600 << 6 << 505;
        QTest::newRow("right, stopped by the limit") << 1 << 490 << 493 << 0 << 494;
        QTest::newRow("right, everything matches") << 1 << 490 << 700 << 255 << 701;
        QTest::newRow("left, exact, into the unpainted") << 0 << 494 << 0 << 0 << 489;
        QTest::newRow("left across the cell edge") << 0 << 529 << 0 << 0 << 507;
        QTest::newRow("left, stopped by the limit") << 0 << 529 << 520 << 0 << 519;
        QTest::newRow("until equal, found across the cell edge") << 2 << 495 << 700 << 0 << 508;
        QTest::newRow("until equal, none before the limit") << 2 << 495 << 503 << 0 << 504;
        QTest::newRow("until equal, at once") << 2 << 490 << 700 << 0 << 490;
    }

    void scans()
    {
        QFETCH(int, walk);
        QFETCH(int, x);
        QFETCH(int, limit);
        QFETCH(int, threshold);
        QFETCH(int, expected);
        MBufferLayer buffer;
        MTestBuffer::paintImage(
            buffer, row({{5, red}, {10, qRgba(194, 6, 0, 255)}, {3, qRgba(0, 0, 0, 0)}, {22, red}}), QPoint(490, 10));
        int result = 0;
        switch (walk) {
        case 0: result = buffer.scanLeftWhileEqual(x, 10, limit, redBytes, threshold, nullptr, nullptr); break;
        case 1: result = buffer.scanRightWhileEqual(x, 10, limit, redBytes, threshold, nullptr, nullptr); break;
        default: result = buffer.scanRightUntilEqual(x, 10, limit, redBytes, threshold, nullptr, nullptr); break;
        }
        QCOMPARE(result, expected);
    }

    // Where no tile can be made the walks stop rather than read through it.
    void walksStopWhereNoTileCanBeMade()
    {
        MBufferLayer buffer(70000, 6, 4);
        const MTestLogWatch log;
        QCOMPARE(buffer.scanRightWhileEqual(10, 10, 100, redBytes, 255, nullptr, nullptr), 10);
        QCOMPARE(buffer.scanLeftWhileEqual(10, 10, 0, redBytes, 255, nullptr, nullptr), 10);
        QCOMPARE(buffer.scanRightUntilEqual(10, 10, 100, redBytes, 0, nullptr, nullptr), 101);
        QCOMPARE(buffer.tileCount(), 0);
        QCOMPARE(bufferPixel(buffer, 10, 10), qRgba(0, 0, 0, 0));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to create buffer")), 3);
    }

    // Every tile of the layer comes over whole, borders included.
    void copyLayerCopiesEveryTile()
    {
        const QRect area(-30, 480, 60, 40);    // four cells
        paintRect(layer(), area, red);
        paintRect(layer(), QRect(1200, -700, 5, 5), blue);
        MBufferLayer buffer;
        QVERIFY(buffer.copyLayer(canvas->gpuDevice(), layer()));
        QCOMPARE(buffer.tileCount(), layer()->tileCount());
        QCOMPARE(buffer.bounds(), QRect(-500, -1000, 2000, 2000));
        for (const QPoint &p : {QPoint(-30, 480), QPoint(29, 519), QPoint(0, 500), QPoint(-1, 499), QPoint(1204, -696)})
            QCOMPARE(bufferPixel(buffer, p.x(), p.y()), pixelAt(layer(), p));
        QCOMPARE(bufferPixel(buffer, -31, 480), qRgba(0, 0, 0, 0));
        // Near the corner at (0, 500) the pixel lies in all four textures.
        QCOMPARE(MTestBuffer::copies(buffer, -3, 497), QVector<QRgb>(4, red));
        QVERIFY(!buffer.copyLayer(nullptr, layer()));
        QVERIFY(!buffer.copyLayer(canvas->gpuDevice(), nullptr));
    }

    // A cell is read back when first touched, and not again (copyLayer does).
    void tilesAreReadOnFirstTouch()
    {
        paintRect(layer(), QRect(0, 0, 20, 20), red);
        MBufferLayer buffer;
        QVERIFY(buffer.tile(QPointF(5, 5), canvas->gpuDevice(), layer()));
        QCOMPARE(bufferPixel(buffer, 5, 5), red);
        paintRect(layer(), QRect(0, 0, 20, 20), blue);
        QVERIFY(buffer.tileAt(0, 0, canvas->gpuDevice(), layer()));
        QCOMPARE(bufferPixel(buffer, 5, 5), red);
        QVERIFY(buffer.copyLayer(canvas->gpuDevice(), layer()));
        QCOMPARE(bufferPixel(buffer, 5, 5), blue);
        // A cell the layer has no tile for reads as transparent black.
        MBufferTile *empty = buffer.tileAt(3, -2, canvas->gpuDevice(), layer());
        QVERIFY(empty);
        QCOMPARE(empty->rect(), QRect(-1000, 1500, 500, 500));
        QCOMPARE(bufferPixel(buffer, -1000, 1500), qRgba(0, 0, 0, 0));
        QVERIFY_GL_CLEAN();
    }

    // A cell is held when the buffer has its tile or the given layer has one
    // to read back; asking makes no tile.
    void holdsWhatItOrTheLayerHas_data()
    {
        QTest::addColumn<QPoint>("cell");    // column, row
        QTest::addColumn<bool>("withLayer");
        QTest::addColumn<bool>("held");
        QTest::newRow("a tile of the buffer") << QPoint(-1, 0) << false << true;
        QTest::newRow("a tile of the layer") << QPoint(2, -1) << true << true;
        QTest::newRow("the layer's tile, no layer given") << QPoint(2, -1) << false << false;
        QTest::newRow("neither has it") << QPoint(1, 0) << true << false;
    }

    void holdsWhatItOrTheLayerHas()
    {
        QFETCH(QPoint, cell);
        QFETCH(bool, withLayer);
        QFETCH(bool, held);
        paintRect(layer(), QRect(1010, -20, 5, 5), red);
        MBufferLayer buffer;
        QVERIFY(buffer.tileAt(0, -1));
        QCOMPARE(buffer.holds(cell.x(), cell.y(), withLayer ? layer() : nullptr), held);
        QCOMPARE(buffer.tileCount(), 1);
    }

    // Walking into cells reads them from the layer as the walk enters them.
    void scansReadTheLayer()
    {
        paintRect(layer(), QRect(480, 10, 50, 1), red);
        MBufferLayer buffer;
        QCOMPARE(buffer.scanRightWhileEqual(480, 10, 2000, redBytes, 0, canvas->gpuDevice(), layer()), 530);
        QCOMPARE(buffer.tileCount(), 2);
        QCOMPARE(buffer.scanLeftWhileEqual(529, 10, -2000, redBytes, 0, canvas->gpuDevice(), layer()), 479);
        QCOMPARE(buffer.scanRightUntilEqual(-700, 10, 2000, redBytes, 0, canvas->gpuDevice(), layer()), 480);
        QCOMPARE(buffer.tileCount(), 4);
        QVERIFY_GL_CLEAN();
    }

    void writeBack_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("into existing tiles only") << false;
        QTest::newRow("making missing tiles") << true;
    }

    // The buffer's pixels land in the layer; a cell the layer lacks gets a
    // tile only when asked.
    void writeBack()
    {
        QFETCH(bool, create);
        paintRect(layer(), QRect(0, 0, 10, 10), red);
        MBufferLayer buffer;
        QVERIFY(buffer.copyLayer(canvas->gpuDevice(), layer()));
        MTestBuffer::paintImage(buffer, MTestPixels::filled(1, 1, blue), QPoint(3, 4));
        MTestBuffer::paintImage(buffer, MTestPixels::filled(1, 1, blue), QPoint(1003, 4));
        QVERIFY(buffer.writeBack(canvas->gpuDevice(), layer(), create));
        QCOMPARE(pixelAt(layer(), QPoint(3, 4)), blue);
        QCOMPARE(pixelAt(layer(), QPoint(2, 4)), red);
        QCOMPARE(layer()->tileCount(), create ? buffer.tileCount() : 1);
        QCOMPARE(pixelAt(layer(), QPoint(1003, 4)), create ? blue : qRgba(0, 0, 0, 0));
        QVERIFY(!buffer.writeBack(nullptr, layer(), create));
        QVERIFY(!buffer.writeBack(canvas->gpuDevice(), nullptr, create));
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMBufferLayer)
#include "tst_mbufferlayer.moc"

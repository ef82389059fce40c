#include "mquadnode.h"
#include "mquadtree.h"
#include "mtexturelayer.h"
#include "mtile.h"
#include "mtiledlayer.h"
#include "mtilegeometry.h"
#include "mundolayer.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>

namespace {

// A document-sized grid (512 with a border of 6) of tiles without pixels.
class PlainLayer : public MTiledLayer
{
public:
    MTile *createTile() override { return new MTile(this); }
};

using Cell = QPair<int, int>;

Cell cellOf(const QPointF &p)
{
    return Cell(int(std::floor(p.x() / 500)), int(std::floor(p.y() / 500)));
}

} // namespace

class TestMQuadTree : public QObject
{
    Q_OBJECT

private slots:
    void firstTileMakesTheRoot()
    {
        PlainLayer layer;
        MTile *tile = layer.addTile(QPointF(-1, -1));
        QCOMPARE(tile->rect(), QRect(-500, -500, 500, 500));
        QCOMPARE(tile->rectWithBorder(), QRect(-506, -506, 512, 512));
        QCOMPARE(layer.quadTree()->root()->rect, QRect(-500, -500, 1000, 1000));
        QCOMPARE(layer.quadTree()->extent(), QRect(-500, -500, 500, 500));
        QCOMPARE(layer.tileCount(), 1);
    }

    void cellBoundaries_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QRect>("cell");
        QTest::newRow("on the boundary") << QPointF(500, 0) << QRect(500, 0, 500, 500);
        QTest::newRow("just before it") << QPointF(499.999, 0) << QRect(0, 0, 500, 500);
        QTest::newRow("negative boundary") << QPointF(-500, -500) << QRect(-500, -500, 500, 500);
        QTest::newRow("just past zero on the left") << QPointF(-0.001, 10) << QRect(-500, 0, 500, 500);
    }

    void cellBoundaries()
    {
        QFETCH(QPointF, point);
        QFETCH(QRect, cell);
        PlainLayer layer;
        layer.addTile(QPointF(250, 250));
        QCOMPARE(layer.addTile(point)->rect(), cell);
        QCOMPARE(layer.tileAt(point)->rect(), cell);
        QCOMPARE(tileRect(point, 512, 6), cell);
    }

    void emptyLayerHasNoTile()
    {
        PlainLayer layer;
        QCOMPARE(layer.tileAt(QPointF(10, 10)), nullptr);
        QCOMPARE(layer.tileCount(), 0);
        QVERIFY(layer.isEmpty());
        QCOMPARE(layer.quadTree()->root(), nullptr);
    }

    // The tree against a plain map of cells, with painting spread far from
    // the origin in every direction, so the root doubles many times each way.
    void agreesWithAPlainMap_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<double>("reach");
        QTest::newRow("near") << 1u << 3000.0;
        QTest::newRow("far") << 2u << 2.0e6;
        QTest::newRow("at the limit") << 3u << MQuadTree::maximumCoordinate;
    }

    void agreesWithAPlainMap()
    {
        QFETCH(quint32, seed);
        QFETCH(double, reach);
        QRandomGenerator random(seed);
        auto point = [&]() { return QPointF(random.bounded(2 * reach) - reach, random.bounded(2 * reach) - reach); };

        PlainLayer layer;
        QHash<Cell, MTile *> map;
        QVector<MTile *> order;
        for (int i = 0; i < 600; ++i) {
            // Most points start a cell somewhere new; some land again in a known one.
            const QPointF p = (i % 3 == 2 && !order.isEmpty())
                                  ? QPointF(order.at(int(random.bounded(order.size())))->rect().center()) + QPointF(0.5, 0.5)
                                  : point();
            MTile *tile = layer.addTile(p);
            const Cell cell = cellOf(p);
            if (map.contains(cell)) {
                QCOMPARE(tile, map.value(cell));
            } else {
                QVERIFY(!order.contains(tile));
                map.insert(cell, tile);
                order.append(tile);
            }
            QCOMPARE(tile->rect(), tileRect(p, 512, 6));
            QVERIFY(layer.quadTree()->root()->contains(p));
        }
        QCOMPARE(layer.tileCount(), map.size());
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(layer.tile(i), order.at(i));
        // Every tile stays reachable; misses stay misses and create nothing.
        for (MTile *tile : qAsConst(order))
            QCOMPARE(layer.tileAt(QRectF(tile->rect()).center()), tile);
        for (int i = 0; i < 2000; ++i) {
            const QPointF p = point();
            QCOMPARE(layer.tileAt(p), map.value(cellOf(p), nullptr));
        }
        QCOMPARE(layer.tileCount(), map.size());
        QRect extent;
        for (MTile *tile : qAsConst(order))
            extent = extent.united(tile->rect());
        QCOMPARE(layer.quadTree()->extent(), extent);

        const QPointF first = QRectF(order.first()->rect()).center();
        layer.clearTiles();
        QCOMPARE(layer.tileCount(), 0);
        QCOMPARE(layer.tileAt(first), nullptr);
    }

    // A corrupt file may name a cell anywhere: beyond the limit no tile is made.
    void noTileBeyondTheLimit_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::newRow("far right") << QPointF(2.0e9, 0);
        QTest::newRow("far up") << QPointF(0, -1.0e12);
        QTest::newRow("not a number") << QPointF(qQNaN(), 5);
        QTest::newRow("infinite") << QPointF(qInf(), qInf());
    }

    void noTileBeyondTheLimit()
    {
        QFETCH(QPointF, point);
        PlainLayer layer;
        layer.addTile(QPointF(10, 10));
        QCOMPARE(layer.addTile(point), nullptr);
        QCOMPARE(layer.tileAt(point), nullptr);
        QCOMPARE(layer.tileCount(), 1);
        QSet<MTile *> tiles;
        layer.tilesInRect(QRectF(point, QSizeF(10, 10)), tiles);
        QVERIFY(tiles.isEmpty());
    }

    void tilesInRect_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("count");
        QTest::newRow("one cell exactly") << QRectF(0, 0, 500, 500) << 1;
        QTest::newRow("one pixel more") << QRectF(0, 0, 501, 500) << 2;
        QTest::newRow("around the origin") << QRectF(-1, -1, 2, 2) << 4;
        QTest::newRow("three by two") << QRectF(0, 0, 1500, 1000) << 6;
        QTest::newRow("inverted") << QRectF(500, 500, -500, -500) << 1;
        QTest::newRow("empty at a cell corner") << QRectF(500, 0, 0, 0) << 0;
        QTest::newRow("far negative") << QRectF(-100000, -100000, 600, 100) << 2;
    }

    void tilesInRect()
    {
        QFETCH(QRectF, rect);
        QFETCH(int, count);
        PlainLayer layer;
        QSet<MTile *> tiles;
        layer.tilesInRect(rect, tiles);
        QCOMPARE(tiles.size(), count);
        QCOMPARE(layer.tileCount(), count);
        const QRectF area = rect.normalized();
        for (MTile *tile : qAsConst(tiles))
            QVERIFY(QRectF(tile->rect()).intersects(area));
        // Asking again creates nothing more.
        QSet<MTile *> again;
        layer.tilesInRect(rect, again);
        QCOMPARE(again, tiles);
        QCOMPARE(layer.tileCount(), count);
    }

    void gridStepOfEachLayerKind()
    {
        MUndoLayer undo;
        QCOMPARE(undo.type(), MLayer::UndoLayer);
        QCOMPARE(undo.addTile(QPointF(70, 10))->rect(), QRect(64, 0, 64, 64));
        QCOMPARE(undo.tile(0)->rectWithBorder(), QRect(64, 0, 64, 64));
        MTextureLayer texture;
        QCOMPARE(texture.type(), MLayer::OpenGLLayer);
        QCOMPARE(texture.addTile(QPointF(70, 10))->rect(), QRect(0, 0, 500, 500));
        texture.clearTiles();
    }

    void tileKeys_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("key");
        // (a + b)(a + b + 1) / 2 + a for column a and row b.
        QTest::newRow("origin cell") << QPointF(10, 10) << 0 << 0;
        QTest::newRow("next column") << QPointF(510, 10) << 0 << 2;
        QTest::newRow("next row") << QPointF(10, 510) << 0 << 1;
        QTest::newRow("shifted negatives") << QPointF(-10, -10) << 1000 << 1998000;
    }

    void tileKeys()
    {
        QFETCH(QPointF, point);
        QFETCH(int, offset);
        QFETCH(int, key);
        QCOMPARE(tileKey(point, 512, 6, offset), key);
    }

    void distinctCellsHaveDistinctKeys()
    {
        QSet<int> keys;
        for (int row = -20; row < 20; ++row)
            for (int column = -20; column < 20; ++column)
                keys.insert(tileKey(QPointF(column * 500 + 1, row * 500 + 1), 512, 6, 1000));
        QCOMPARE(keys.size(), 1600);
    }

    void localAndUnitCoordinates()
    {
        QCOMPARE(tileLocal(QPointF(0, 0)), QPointF(6, 6));
        QCOMPARE(tileLocal(QPointF(1234.5, -1)), QPointF(240.5, 505));
        QCOMPARE(tileTextureRect(QPointF(-1, 501), 512, 6), QRect(-506, 494, 512, 512));
        QCOMPARE(mapToUnitRect(QPointF(-506 + 128, 494 + 384), QRectF(-506, 494, 512, 512)), QPointF(0.25, 0.75));
    }

    void copyRectRoundTrip()
    {
        // An 8 x 6 image of 4-byte pixels; a 3 x 2 block at (4, 3).
        QByteArray image(8 * 6 * 4, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i);
        const QByteArray block = copyRectOut(reinterpret_cast<const uchar *>(image.constData()), 4, 3, 3, 2, 8, 4);
        QCOMPARE(block.size(), 3 * 2 * 4);
        for (int row = 0; row < 2; ++row)
            for (int byte = 0; byte < 12; ++byte)
                QCOMPARE(block.at(row * 12 + byte), image.at(((3 + row) * 8 + 4) * 4 + byte));

        QByteArray target(image.size(), '\0');
        copyRectIn(reinterpret_cast<uchar *>(target.data()), reinterpret_cast<const uchar *>(block.constData()), 4, 3, 3, 2, 8, 4);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inBlock = x >= 4 && x < 7 && y >= 3 && y < 5;
                const int at = (y * 8 + x) * 4;
                QCOMPARE(target.mid(at, 4), inBlock ? image.mid(at, 4) : QByteArray(4, '\0'));
            }
    }
};

QTEST_GUILESS_MAIN(TestMQuadTree)
#include "tst_mquadtree.moc"

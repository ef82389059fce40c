#include "mbufferlayer.h"
#include "mquickfill.h"
#include "mtestbuffer.h"

#include <QQueue>
#include <QRandomGenerator>
#include <QTest>

#include <cstdlib>
#include <functional>

namespace {

const QRgb barrier = qRgba(0, 255, 0, 255);

bool withinThreshold(QRgb a, QRgb b, int threshold)
{
    return std::abs(qRed(a) - qRed(b)) <= threshold && std::abs(qGreen(a) - qGreen(b)) <= threshold
        && std::abs(qBlue(a) - qBlue(b)) <= threshold && std::abs(qAlpha(a) - qAlpha(b)) <= threshold;
}

// The reference: a plain breadth-first search over 4-neighbours, within
// bounds, of the pixels within threshold of the seed's colour. Image
// coordinates are canvas coordinates minus origin.
QImage referenceRegion(const QImage &image, const QPoint &origin, const QRect &bounds, const QPoint &seed, int threshold)
{
    QImage region(image.size(), QImage::Format_Mono);
    region.fill(0);
    const QRect area = bounds.translated(-origin).intersected(image.rect());
    const QPoint start = seed - origin;
    if (!area.contains(start))
        return region;
    const QRgb reference = image.pixel(start);
    QQueue<QPoint> queue;
    queue.enqueue(start);
    region.setPixel(start, 1);
    while (!queue.isEmpty()) {
        const QPoint p = queue.dequeue();
        for (const QPoint &step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = p + step;
            if (area.contains(n) && !region.pixelIndex(n) && withinThreshold(image.pixel(n), reference, threshold)) {
                region.setPixel(n, 1);
                queue.enqueue(n);
            }
        }
    }
    return region;
}

QRect regionBounds(const QImage &region, const QPoint &origin)
{
    QRect bounds;
    for (int y = 0; y < region.height(); ++y)
        for (int x = 0; x < region.width(); ++x)
            if (region.pixelIndex(x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds.translated(origin);
}

// Random blobs of a few colours: large regions with holes, diagonal contacts
// and thin bridges.
QImage randomImage(QRandomGenerator &random, int width, int height, const QVector<QRgb> &palette)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette.first());
    for (int blob = 0; blob < width * height / 40; ++blob) {
        const QRgb color = palette.at(random.bounded(palette.size()));
        const int w = 1 + random.bounded(6), h = 1 + random.bounded(6);
        const int x0 = random.bounded(width), y0 = random.bounded(height);
        for (int y = y0; y < qMin(height, y0 + h); ++y)
            for (int x = x0; x < qMin(width, x0 + w); ++x)
                image.setPixel(x, y, color);
    }
    return image;
}

QRgb pixelOf(const MBufferLayer &buffer, int x, int y)
{
    uchar bytes[4];
    buffer.pixelAt(x, y, bytes);
    return qRgba(bytes[0], bytes[1], bytes[2], bytes[3]);
}

// Every texture copy of every pixel near a cell edge agrees with the pixel.
bool bordersAgree(MBufferLayer &buffer, const QRect &area, QString *where)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = pixelOf(buffer, x, y);
            for (QRgb copy : MTestBuffer::copies(buffer, x, y)) {
                if (copy != pixel) {
                    *where = QStringLiteral("(%1, %2)").arg(x).arg(y);
                    return false;
                }
            }
        }
    }
    return true;
}

// A picture of size from a colour per pixel.
QImage drawn(const QSize &size, const std::function<QRgb(int, int)> &colorAt)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, colorAt(x, y));
    return image;
}

} // namespace

class TestMQuickFill : public QObject
{
    Q_OBJECT

private slots:
    // The region found is exactly the breadth-first one, for the bucket and
    // for the magic wand, with an exact match and with a threshold, over cell
    // edges and within bounds smaller than the picture.
    void regionIsTheConnectedOne_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("wand");
        QTest::newRow("exact, bucket") << 0 << false;
        QTest::newRow("exact, magic wand") << 0 << true;
        QTest::newRow("threshold, bucket") << 12 << false;
        QTest::newRow("threshold, magic wand") << 12 << true;
    }

    void regionIsTheConnectedOne()
    {
        QFETCH(int, threshold);
        QFETCH(bool, wand);
        QRandomGenerator random(quint32(threshold * 2 + wand));
        // Near-equal shades so that a threshold joins some and not others.
        const QVector<QRgb> palette = {qRgba(250, 250, 250, 255), qRgba(240, 250, 250, 255), qRgba(30, 60, 90, 255),
                                       qRgba(0, 0, 0, 0),          qRgba(8, 0, 0, 8),          qRgba(60, 0, 0, 128)};
        const QRgb fillColor = qRgba(1, 130, 2, 255);
        for (int round = 0; round < 40; ++round) {
            const QPoint origin(440 + random.bounded(40), 450 + random.bounded(40));    // across four cells
            const QImage image = randomImage(random, 90, 80, palette);
            const QRect bounds = round % 3 == 0 ? QRect(origin, image.size())
                                                : QRect(origin + QPoint(5, 7), image.size() - QSize(20, 10));
            const QPoint seed(bounds.left() + random.bounded(bounds.width()), bounds.top() + random.bounded(bounds.height()));
            MBufferLayer buffer, selection;
            MTestBuffer::paintImage(buffer, image, origin);
            MQuickFill fill;
            fill.set_threshold(uchar(threshold));
            const uchar color[4] = {1, 130, 2, 255};
            const int result = fill.fillBuffer(&buffer, seed, color, bounds, nullptr, nullptr, wand ? &selection : nullptr);
            const QImage expected = referenceRegion(image, origin, bounds, seed, threshold);
            const QString context = QStringLiteral("round %1, seed (%2, %3)").arg(round).arg(seed.x()).arg(seed.y());
            if (!wand && image.pixel(seed - origin) == fillColor) {
                QCOMPARE(result, int(MQuickFill::NothingToDo));
                continue;
            }
            QVERIFY2(result == MQuickFill::Filled, qPrintable(context));
            QCOMPARE(fill.resultRect(), QRectF(regionBounds(expected, origin)));
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QPoint canvas = origin + QPoint(x, y);
                    const bool inRegion = expected.pixelIndex(x, y);
                    const QRgb now = pixelOf(buffer, canvas.x(), canvas.y());
                    // Outside the region nothing changes; inside (exactly,
                    // over opaque or transparent seeds) the colour lands.
                    if (!inRegion && now != image.pixel(x, y))
                        QFAIL(qPrintable(context + QStringLiteral(": (%1, %2) changed").arg(canvas.x()).arg(canvas.y())));
                    if (wand) {
                        const bool selected = qAlpha(pixelOf(selection, canvas.x(), canvas.y())) == 255;
                        if (selected != inRegion)
                            QFAIL(qPrintable(context + QStringLiteral(": (%1, %2) selected %3")
                                                           .arg(canvas.x()).arg(canvas.y()).arg(selected)));
                    } else if (inRegion && threshold == 0 && now != fillColor) {
                        QFAIL(qPrintable(context + QStringLiteral(": (%1, %2) not filled").arg(canvas.x()).arg(canvas.y())));
                    }
                }
            }
            QString where;
            QVERIFY2(bordersAgree(buffer, QRect(origin, image.size()), &where), qPrintable(context + where));
            if (wand)
                QVERIFY2(bordersAgree(selection, QRect(origin, image.size()), &where), qPrintable(context + where));
        }
    }

    // Pictures drawn so that a fill off by one pixel, leaking through a
    // diagonal, stepping over a hole or stopping at a cell edge shows: the
    // bucket fills exactly the breadth-first region. Each straddles the cell
    // corner at (500, 500), or at (512, 512) in cells exactly two 64-pixel
    // words wide, and the bounds stop 3 pixels short of its edges.
    void fixturesMatchTheReference_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QPoint>("seed");    // in the picture
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("tileSize");
        const QRgb white = qRgba(255, 255, 255, 255), black = qRgba(0, 0, 0, 255);
        // Red rises by 3 a column away from column 60, plus 0..4 down the rows.
        QTest::newRow("threshold edge on the cell edge")
            << drawn(QSize(130, 90), [](int x, int y) { return qRgba(std::abs(x - 60) * 3 + y % 5, 40, 40, 255); })
            << QPoint(60, 20) << 12 << 512;
        QTest::newRow("one-pixel diagonal holds")
            << drawn(QSize(130, 90), [=](int x, int y) { return x - y == 10 ? black : white; }) << QPoint(100, 10) << 0 << 512;
        QTest::newRow("holes and islands")
            << drawn(QSize(130, 90),
                     [=](int x, int y) {
                         const bool hole = x % 4 == 1 && y % 3 == 1;
                         const bool island = x > 50 && x < 70 && y > 40 && y < 60;
                         return hole || island ? black : white;
                     })
            << QPoint(5, 5) << 0 << 512;
        // Walls two pixels thick with a gap at alternate ends: one corridor
        // a pixel wide winding down through both cell rows.
        QTest::newRow("winding corridor")
            << drawn(QSize(90, 130),
                     [=](int x, int y) {
                         if (y % 3 == 0)
                             return white;
                         return (y / 3) % 2 == 0 ? (x == 86 ? white : black) : (x == 3 ? white : black);
                     })
            << QPoint(40, 3) << 0 << 512;
        // Open rows over 64 pixels long, so that whole words of marks are
        // skipped, under a comb whose teeth split them from above.
        QTest::newRow("long rows under a comb")
            << drawn(QSize(300, 90), [=](int x, int y) { return y < 40 && x % 70 == 0 ? black : white; })
            << QPoint(20, 80) << 0 << 512;
        QTest::newRow("winding corridor, cells of two words")
            << drawn(QSize(130, 130),
                     [=](int x, int y) {
                         if (y % 3 == 0)
                             return white;
                         return (y / 3) % 2 == 0 ? (x == 126 ? white : black) : (x == 3 ? white : black);
                     })
            << QPoint(40, 3) << 0 << 140;
        QTest::newRow("long rows under a comb, cells of two words")
            << drawn(QSize(300, 130), [=](int x, int y) { return y < 60 && x % 70 == 0 ? black : white; })
            << QPoint(20, 120) << 0 << 140;
    }

    void fixturesMatchTheReference()
    {
        QFETCH(QImage, image);
        QFETCH(QPoint, seed);
        QFETCH(int, threshold);
        QFETCH(int, tileSize);
        const QPoint origin(440, 450);
        const QRect bounds(origin + QPoint(3, 3), image.size() - QSize(6, 6));
        MBufferLayer buffer(tileSize, 6, 4);
        MTestBuffer::paintImage(buffer, image, origin);
        MQuickFill fill;
        fill.set_threshold(uchar(threshold));
        const uchar color[4] = {1, 130, 2, 255};
        const QRgb fillColor = qRgba(1, 130, 2, 255);
        QCOMPARE(fill.fillBuffer(&buffer, origin + seed, color, bounds, nullptr, nullptr, nullptr), int(MQuickFill::Filled));
        const QImage expected = referenceRegion(image, origin, bounds, origin + seed, threshold);
        QCOMPARE(fill.resultRect(), QRectF(regionBounds(expected, origin)));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb now = pixelOf(buffer, origin.x() + x, origin.y() + y);
                const QRgb wanted = expected.pixelIndex(x, y) ? fillColor : image.pixel(x, y);
                if (now != wanted)
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3, not %4").arg(x).arg(y).arg(now, 8, 16).arg(wanted, 8, 16)));
            }
        }
        QString where;
        QVERIFY2(bordersAgree(buffer, QRect(origin, image.size()), &where), qPrintable(where));
    }

    // A fill up to the bounds on cell edges: tiles beyond the bounds that the
    // buffer holds get the copies of the border, and none is made there just
    // for them.
    void bordersBeyondTheBounds_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("no tile beyond the bounds") << false;
        QTest::newRow("tiles held beyond the bounds") << true;
    }

    void bordersBeyondTheBounds()
    {
        QFETCH(bool, held);
        MBufferLayer buffer;
        const QRect bounds(0, 0, 1000, 500);    // two cells, transparent
        for (int row = -1; row <= 1; ++row)
            for (int column = -1; column <= 2; ++column)
                if (held || (row == 0 && column >= 0 && column <= 1))
                    QVERIFY(buffer.tileAt(row, column));
        MQuickFill fill;
        const uchar color[4] = {1, 130, 2, 255};
        QCOMPARE(fill.fillBuffer(&buffer, QPoint(700, 30), color, bounds, nullptr, nullptr, nullptr), int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF(bounds));
        QCOMPARE(buffer.tileCount(), held ? 12 : 2);
        const QRgb fillColor = qRgba(1, 130, 2, 255);
        for (const QPoint &p : {QPoint(0, 0), QPoint(499, 5), QPoint(500, 5), QPoint(999, 499)})
            QCOMPARE(pixelOf(buffer, p.x(), p.y()), fillColor);
        for (const QPoint &p : {QPoint(-1, 0), QPoint(1000, 499), QPoint(5, -1), QPoint(995, 500)})
            QCOMPARE(pixelOf(buffer, p.x(), p.y()), qRgba(0, 0, 0, 0));
        if (held)
            QCOMPARE(MTestBuffer::copies(buffer, 999, 499), QVector<QRgb>(4, fillColor));
        QString where;
        QVERIFY2(bordersAgree(buffer, QRect(-8, -8, 1016, 516), &where), qPrintable(where));
    }

    // Row: barrier, seed pixel, seed pixel, edge pixel, barrier.
    void composition_data()
    {
        QTest::addColumn<QRgb>("seed");
        QTest::addColumn<QRgb>("edge");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QRgb>("expectedSeed");
        QTest::addColumn<QRgb>("expectedEdge");
        const QColor opaqueBlue(0, 0, 255);
        const QColor halfBlue(0, 0, 255, 128);
        QTest::newRow("opaque over opaque")
            << qRgba(200, 0, 0, 255) << qRgba(200, 0, 0, 255) << 0 << opaqueBlue << qRgba(0, 0, 255, 255)
            << qRgba(0, 0, 255, 255);
        QTest::newRow("half transparent over opaque keeps the region's alpha")
            << qRgba(200, 0, 0, 255) << qRgba(180, 0, 0, 240) << 20 << halfBlue << qRgba(0, 0, 255, 255)
            << qRgba(0, 0, 240, 240);
        QTest::newRow("opaque into transparent goes behind a faint edge")
            << qRgba(0, 0, 0, 0) << qRgba(0, 0, 51, 51) << 60 << QColor(255, 255, 0) << qRgba(255, 255, 0, 255)
            << qRgba(204, 204, 51, 255);
        QTest::newRow("half transparent into transparent keeps its coverage behind an edge")
            << qRgba(0, 0, 0, 0) << qRgba(0, 0, 51, 51) << 60 << halfBlue << qRgba(0, 0, 128, 128)
            << qRgba(0, 0, 153, 153);
        QTest::newRow("over half transparent the colour replaces")
            << qRgba(50, 50, 50, 128) << qRgba(50, 50, 50, 128) << 0 << QColor(255, 0, 0) << qRgba(255, 0, 0, 255)
            << qRgba(255, 0, 0, 255);
        QTest::newRow("colour already there: nothing to do")
            << qRgba(0, 0, 128, 128) << qRgba(0, 0, 128, 128) << 0 << halfBlue << qRgba(0, 0, 128, 128)
            << qRgba(0, 0, 128, 128);
    }

    void composition()
    {
        QFETCH(QRgb, seed);
        QFETCH(QRgb, edge);
        QFETCH(int, threshold);
        QFETCH(QColor, color);
        QFETCH(QRgb, expectedSeed);
        QFETCH(QRgb, expectedEdge);
        QImage image(5, 1, QImage::Format_ARGB32_Premultiplied);
        const QRgb row[5] = {barrier, seed, seed, edge, barrier};
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, 0, row[x]);
        MBufferLayer buffer;
        MTestBuffer::paintImage(buffer, image, QPoint(0, 0));
        MQuickFill fill;
        fill.set_threshold(uchar(threshold));
        const uchar bytes[4] = {uchar(color.red()), uchar(color.green()), uchar(color.blue()), uchar(color.alpha())};
        const int result = fill.fillBuffer(&buffer, QPoint(1, 0), bytes, QRect(0, 0, 5, 1), nullptr, nullptr, nullptr);
        QCOMPARE(result, expectedSeed == seed ? int(MQuickFill::NothingToDo) : int(MQuickFill::Filled));
        QCOMPARE(MTestBuffer::image(buffer, QRect(0, 0, 5, 1)).pixel(1, 0), expectedSeed);
        QCOMPARE(pixelOf(buffer, 2, 0), expectedSeed);
        QCOMPARE(pixelOf(buffer, 3, 0), expectedEdge);
        QCOMPARE(pixelOf(buffer, 0, 0), barrier);
        QCOMPARE(pixelOf(buffer, 4, 0), barrier);
        QCOMPARE(fill.resultRect(), result == MQuickFill::Filled ? QRectF(1, 0, 3, 1) : QRectF());
    }

    // The pattern repeats from the bounds' top-left corner wherever the click
    // lands; with its own colours it is written as it is, otherwise its
    // coverage scales the colour (alpha included).
    void patternAnchoredAtTheCorner_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<bool>("patternColors");
        QTest::addColumn<QColor>("color");
        QTest::newRow("pattern colours, click at the corner") << QPoint(-7, 13) << true << QColor(Qt::red);
        QTest::newRow("pattern colours, click far in") << QPoint(488, 501) << true << QColor(Qt::red);
        QTest::newRow("coverage, opaque colour") << QPoint(100, 300) << false << QColor(0, 0, 255);
        QTest::newRow("coverage, half transparent colour") << QPoint(3, 14) << false << QColor(0, 0, 255, 128);
    }

    void patternAnchoredAtTheCorner()
    {
        QFETCH(QPoint, click);
        QFETCH(bool, patternColors);
        QFETCH(QColor, color);
        // Every pixel different, so any shift shows.
        QImage pattern(3, 2, QImage::Format_ARGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                pattern.setPixel(x, y, qRgba(40 * x + 10, 100 * y + 20, 200, 60 + 60 * x + 30 * y));
        const QImage premultiplied = pattern.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRect bounds(-7, 13, 600, 500);    // the fill covers it all, over four cells
        MBufferLayer buffer;
        MQuickFill fill;
        fill.setMaskImage(pattern);
        fill.setUsePatternColor(patternColors);
        const uchar bytes[4] = {uchar(color.red()), uchar(color.green()), uchar(color.blue()), uchar(color.alpha())};
        QCOMPARE(fill.fillBuffer(&buffer, click, bytes, bounds, nullptr, nullptr, nullptr), int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF(bounds));
        const QRgb fillColor = qPremultiply(color.rgba());
        for (const QPoint &p : {QPoint(-7, 13), QPoint(-6, 13), QPoint(-5, 14), QPoint(0, 20), QPoint(492, 499),
                                QPoint(493, 500), QPoint(592, 512)}) {
            const QRgb texel = premultiplied.pixel((p.x() + 7) % 3, (p.y() - 13) % 2);
            const int coverage = qAlpha(texel);
            const QRgb expected = patternColors
                ? texel
                : qRgba(qRed(fillColor) * coverage / 255, qGreen(fillColor) * coverage / 255,
                        qBlue(fillColor) * coverage / 255, qAlpha(fillColor) * coverage / 255);
            QCOMPARE(pixelOf(buffer, p.x(), p.y()), expected);
        }
        QCOMPARE(pixelOf(buffer, -8, 13), qRgba(0, 0, 0, 0));
        QString where;
        QVERIFY2(bordersAgree(buffer, QRect(485, 490, 20, 20), &where), qPrintable(where));
    }

    // With a mask, a pixel it leaves out stops the fill like a barrier and a
    // pixel it covers in part takes that part of the colour; the pixels of
    // the same colour past the gap stay as they were.
    void maskKeepsTheFillInside()
    {
        QImage layer(8, 1, QImage::Format_ARGB32_Premultiplied);
        layer.fill(qRgba(0, 0, 60, 60));
        QImage coverage(8, 1, QImage::Format_ARGB32_Premultiplied);
        const int covered[8] = {0, 255, 255, 128, 0, 255, 255, 0};
        for (int x = 0; x < 8; ++x)
            coverage.setPixel(x, 0, qRgba(0, 0, 0, covered[x]));
        MBufferLayer buffer, mask;
        MTestBuffer::paintImage(buffer, layer, QPoint(0, 0));
        MTestBuffer::paintImage(mask, coverage, QPoint(0, 0));
        MQuickFill fill;
        fill.setMask(&mask);
        const uchar red[4] = {200, 0, 0, 200};
        QCOMPARE(fill.fillBuffer(&buffer, QPoint(1, 0), red, QRect(0, 0, 8, 1), nullptr, nullptr, nullptr),
                 int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF(1, 0, 3, 1));
        const QRgb untouched = qRgba(0, 0, 60, 60);
        const QRgb expected[8] = {untouched, qRgba(156, 0, 0, 200), qRgba(156, 0, 0, 200),
                                  qRgba(78, 0, 30, 130), untouched, untouched, untouched, untouched};
        for (int x = 0; x < 8; ++x)
            QCOMPARE(pixelOf(buffer, x, 0), expected[x]);
        // Outside the mask nothing fits: no fill at all.
        QCOMPARE(fill.fillBuffer(&buffer, QPoint(4, 0), red, QRect(0, 0, 8, 1), nullptr, nullptr, nullptr),
                 int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF());
        QCOMPARE(pixelOf(buffer, 4, 0), untouched);
    }

    // The wand marks the region in the selection buffer and keeps what was
    // selected there before; the colour is the seed's complement.
    void magicWandAddsToTheSelection()
    {
        QImage image(30, 10, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgba(10, 20, 30, 255));
        for (int y = 0; y < 10; ++y)
            image.setPixel(15, y, barrier);
        MBufferLayer buffer, selection;
        MTestBuffer::paintImage(buffer, image, QPoint(490, 495));
        QImage earlier(4, 4, QImage::Format_ARGB32_Premultiplied);
        earlier.fill(Qt::black);
        MTestBuffer::paintImage(selection, earlier, QPoint(512, 497));
        MQuickFill fill;
        const uchar ignored[4] = {0, 0, 0, 255};
        QCOMPARE(fill.fillBuffer(&buffer, QPoint(491, 500), ignored, QRect(0, 0, 2000, 2000), nullptr, nullptr, &selection),
                 int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF(490, 495, 15, 10));
        const QImage marks = MTestBuffer::image(selection, QRect(490, 495, 30, 10));
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 30; ++x) {
                const QRgb expected = x < 15 ? qRgba(245, 235, 225, 255)
                                             : (x >= 22 && x < 26 && y >= 2 && y < 6 ? qRgba(0, 0, 0, 255) : 0u);
                QCOMPARE(marks.pixel(x, y), expected);
            }
        }
        QString where;
        QVERIFY2(bordersAgree(selection, QRect(488, 493, 34, 14), &where), qPrintable(where));
    }

    // A fill whose colour stays within the threshold of the seed still ends,
    // with the whole region filled once.
    void colourWithinTheThresholdEnds()
    {
        QImage image(700, 600, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgba(100, 100, 100, 255));
        MBufferLayer buffer;
        MTestBuffer::paintImage(buffer, image, QPoint(-100, -50));
        MQuickFill fill;
        const uchar close[4] = {104, 100, 100, 255};
        QCOMPARE(fill.fillBuffer(&buffer, QPoint(300, 300), close, QRect(-100, -50, 700, 600), nullptr, nullptr, nullptr),
                 int(MQuickFill::Filled));
        QCOMPARE(fill.resultRect(), QRectF(-100, -50, 700, 600));
        QImage expected(700, 600, QImage::Format_ARGB32_Premultiplied);
        expected.fill(qRgba(104, 100, 100, 255));
        QVERIFY(MTestBuffer::image(buffer, QRect(-100, -50, 700, 600)) == expected);
    }

    // Fills that cannot be made report why and report no region.
    void refusals_data()
    {
        QTest::addColumn<QPoint>("seed");
        QTest::addColumn<int>("tileSize");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<int>("expected");
        QTest::newRow("seed left of the bounds") << QPoint(-1, 5) << 512 << 20000 << int(MQuickFill::NothingToDo);
        QTest::newRow("seed below the bounds") << QPoint(5, 100) << 512 << 20000 << int(MQuickFill::NothingToDo);
        QTest::newRow("no memory for a tile") << QPoint(5, 5) << 70000 << 20000 << int(MQuickFill::OutOfMemory);
        QTest::newRow("out of time") << QPoint(5, 5) << 512 << 0 << int(MQuickFill::TimedOut);
    }

    void refusals()
    {
        QFETCH(QPoint, seed);
        QFETCH(int, tileSize);
        QFETCH(int, timeLimit);
        QFETCH(int, expected);
        MBufferLayer buffer(tileSize, 6, 4);
        MQuickFill fill;
        fill.setTimeLimit(timeLimit);
        const uchar red[4] = {255, 0, 0, 255};
        QCOMPARE(fill.fillBuffer(&buffer, seed, red, QRect(0, 0, 100, 100), nullptr, nullptr, nullptr), expected);
        QVERIFY(fill.resultRect().isNull());
    }

    // A fill that reaches its time limit keeps what it filled by then: the
    // region it reports is painted, the rest of the buffer is as it was. The
    // limit is reached after two batches of runs, however fast the machine.
    void stoppedFillKeepsWhatItFilled()
    {
        const QRect bounds(0, 0, 3000, 3000);
        MBufferLayer buffer(512, 6, 4);
        MQuickFill fill;
        fill.setStopAtClockReading(3);
        const uchar red[4] = {255, 0, 0, 255};
        const int result = fill.fillBuffer(&buffer, QPoint(1500, 1500), red, bounds, nullptr, nullptr, nullptr);
        QCOMPARE(result, int(MQuickFill::TimedOut));
        const QRect region = fill.resultRect().toRect();
        QVERIFY(!region.isEmpty());
        QVERIFY(bounds.contains(region));
        QVERIFY(region.contains(QPoint(1500, 1500)));
        const QImage pixels = MTestBuffer::image(buffer, bounds);
        qint64 filled = 0;
        for (int y = 0; y < pixels.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
            for (int x = 0; x < pixels.width(); ++x) {
                if (line[x] == qRgba(255, 0, 0, 255)) {
                    ++filled;
                    QVERIFY2(region.contains(x, y), qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
                } else {
                    QCOMPARE(line[x], QRgb(0));
                }
            }
        }
        QVERIFY(filled > 0);
        QVERIFY(filled < qint64(bounds.width()) * bounds.height());
        QCOMPARE(pixels.pixel(1500, 1500), qRgba(255, 0, 0, 255));
    }
};

QTEST_GUILESS_MAIN(TestMQuickFill)
#include "tst_mquickfill.moc"

#include "mshape.h"

#include "mlogger.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestpng.h"
#include "mutility.h"

#include <QBuffer>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {
// Reads one shape from JSON text written to a temporary file.
bool readShape(MShape &shape, const QByteArray &json)
{
    MTestFolder folder;
    return shape.readJson(folder.writeFile(QStringLiteral("shape.kxh"), json));
}

QByteArray pngBase64(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64();
}

// Paints the stroke items alone (no fill path) onto a white image in black.
QImage strokes(MShape &shape, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    shape.drawStrokes(painter, QRectF(QPointF(0, 0), size));
    return image;
}
} // namespace

class TestMShape : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        MShape shape;
        QVERIFY(shape.id().startsWith(QLatin1Char('{')));
        QCOMPARE(shape.id(), shape.id().toUpper());
        QCOMPARE(shape.width(), 100.0);
        QCOMPARE(shape.height(), 100.0);
        QVERIFY(shape.items().isEmpty());
        const QRectF target(3, 4, 30, 40);
        QCOMPARE(shape.buildPath(target).boundingRect(), target);
        QCOMPARE(shape.buildPath(target).fillRule(), Qt::WindingFill);
    }

    void setters()
    {
        MShape shape;
        QSignalSpy described(&shape, &MShape::descriptionChanged);
        shape.setDescription(QStringLiteral("star"));
        shape.setDescription(QStringLiteral("star"));
        QCOMPARE(described.count(), 1);
        QCOMPARE(shape.property("description").toString(), QStringLiteral("star"));
    }

    void readFile()
    {
        MShape shape;
        QVERIFY(readShape(shape, R"({"id": "{11111111-2222-3333-4444-555555555555}", "description": "arrow",
            "width": 40, "height": "60",
            "items": [ {}, 7, {"instruction": "DrawEllispe", "x0": "w/4", "y1": "h", "width": 40, "height": "h/2",
                             "startAngle": 45, "arcLength": 90.5, "position": "TopLeft", "padding": 2},
                       {"instruction": "pathmoveto", "position": "Nowhere", "x0": 10} ]})"));
        QCOMPARE(shape.id(), QStringLiteral("{11111111-2222-3333-4444-555555555555}"));
        QCOMPARE(shape.description(), QStringLiteral("arrow"));
        QCOMPARE(shape.group(), QStringLiteral("basic"));
        QCOMPARE(shape.width(), 40.0);
        QCOMPARE(shape.height(), 100.0); // a string is not a number
        QCOMPARE(shape.items().size(), 4);
        for (int i : {0, 1}) {
            const MShapeItem &empty = shape.items().at(i);
            QCOMPARE(empty.instruction, int(MShape::PathRectangle));
            QCOMPARE(empty.position, 5);
            QCOMPARE(empty.width, QStringLiteral("w"));
            QCOMPARE(empty.padding, 5.0);
        }
        const MShapeItem &ellipse = shape.items().at(2);
        QCOMPARE(ellipse.instruction, int(MShape::DrawEllispe));
        QCOMPARE(ellipse.x[0], QStringLiteral("w/4"));
        QCOMPARE(ellipse.y[1], QStringLiteral("h"));
        QCOMPARE(ellipse.width, QStringLiteral("w")); // a number is not an expression
        QCOMPARE(ellipse.height, QStringLiteral("h/2"));
        QCOMPARE(ellipse.startAngle, 45.0);
        QCOMPARE(ellipse.arcLength, 90.5);
        QCOMPARE(ellipse.position, 1);
        QCOMPARE(ellipse.padding, 2.0);
        const MShapeItem &unknown = shape.items().at(3);
        QCOMPARE(unknown.instruction, -1);
        QCOMPARE(unknown.position, -1);
        QVERIFY(unknown.x[0].isEmpty());
        // The empty item is a rectangle of size 0 at the top-left; the unknown one adds nothing.
        QVERIFY(shape.buildPath(QRectF(5, 6, 50, 50)).boundingRect().isEmpty());
        QCOMPARE(shape.pointX(0, 0), 0.0);
        QCOMPARE(shape.pointY(0, 1), 0.0);
    }

    void failedReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("this is no shape");
        QTest::newRow("array") << QByteArray("[1, 2]");
        QTest::newRow("truncated") << QByteArray(R"({"items": [)");
    }

    void failedReads()
    {
        QFETCH(QByteArray, content);
        MShape shape;
        QVERIFY(readShape(shape, R"({"items": [{}]})"));
        QVERIFY(!readShape(shape, content));
        QVERIFY(shape.items().isEmpty());
        QVERIFY(!shape.readJson(QStringLiteral("/nonexistent/shape.kxh")));
    }

    void bounds_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<double>("expected");
        QTest::newRow("none") << QString() << QString() << 50.0;
        QTest::newRow("upper") << QString() << QStringLiteral("20") << 20.0;
        QTest::newRow("lower") << QStringLiteral("60") << QString() << 60.0;
        QTest::newRow("crossed: upper wins") << QStringLiteral("60") << QStringLiteral("20") << 20.0;
    }

    void bounds()
    {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(double, expected);
        MShape shape;
        QByteArray json = R"({"items": [{"x0": "W/2", "y0": "H/2")";
        if (!min.isEmpty())
            json += ", \"minx0\": \"" + min.toUtf8() + "\", \"miny0\": \"" + min.toUtf8() + "\"";
        if (!max.isEmpty())
            json += ", \"maxx0\": \"" + max.toUtf8() + "\", \"maxy0\": \"" + max.toUtf8() + "\"";
        json += "}]}";
        QVERIFY(readShape(shape, json));
        shape.buildPath(QRectF(0, 0, 100, 100));
        QCOMPARE(shape.pointX(0, 0), expected);
        QCOMPARE(shape.pointY(0, 0), expected);
    }

    // Point 1 of a rectangle is its size, point 0 is offset by the target's corner.
    void paths_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QRectF>("bounds");
        QTest::newRow("whole rectangle") << QByteArray(R"({"x1": "W", "y1": "H"})") << QRectF(10, 20, 200, 80);
        QTest::newRow("ellipse") << QByteArray(R"({"instruction": "PathEllipse", "x0": "W/4", "x1": "W/2", "y1": "H"})")
                                 << QRectF(60, 20, 100, 80);
        QTest::newRow("polygon")
            << QByteArray(R"({"instruction": "PathMoveTo", "x0": "W/2"}, {"instruction": "PathLineTo", "x0": "W", "y0": "H"},
                            {"instruction": "PathLineTo", "y0": "H"}, {"instruction": "PathCloseFigure"})")
            << QRectF(10, 20, 200, 80);
        QTest::newRow("stroke items add nothing")
            << QByteArray(R"({"instruction": "PathRectangle", "x1": "10", "y1": "10"}, {"instruction": "DrawLine", "x1": "W", "y1": "H"})")
            << QRectF(10, 20, 10, 10);
    }

    void paths()
    {
        QFETCH(QByteArray, items);
        QFETCH(QRectF, bounds);
        MShape shape;
        QVERIFY(readShape(shape, "{\"items\": [" + items + "]}"));
        QCOMPARE(shape.buildPath(QRectF(10, 20, 200, 80)).boundingRect(), bounds);
    }

    // Outline coordinates are truncated toward zero once the offset is added.
    void lineTruncates()
    {
        MShape shape;
        QVERIFY(readShape(shape, R"({"items": [{"instruction": "DrawLine", "x0": "-0.5", "y0": "5", "x1": "10.9", "y1": "5"}]})"));
        const QImage image = strokes(shape, QSize(20, 10));
        QCOMPARE(qGray(image.pixel(0, 5)), 0);
        QCOMPARE(qGray(image.pixel(10, 5)), 0);
        QCOMPARE(qGray(image.pixel(11, 5)), 255);
        QCOMPARE(qGray(image.pixel(5, 4)), 255);
    }

    void outlines()
    {
        MShape shape;
        QVERIFY(readShape(shape, R"({"items": [{"instruction": "PathMoveTo"},
            {"instruction": "DrawRectangle", "x0": "2", "y0": "2", "width": "W-4", "height": "6"},
            {"instruction": "DrawArc", "x0": "2", "y0": "12", "width": "20", "height": "20", "startAngle": 0, "arcLength": 90},
            {"instruction": "DrawCurve", "x0": "0", "y0": "38", "x1": "10", "y1": "38", "x2": "20", "y2": "38", "x3": "30", "y3": "38"}]})"));
        const QImage image = strokes(shape, QSize(40, 40));
        QCOMPARE(qGray(image.pixel(2, 5)), 0);    // left edge of the rectangle
        QCOMPARE(qGray(image.pixel(38, 5)), 0);   // right edge at 2 + 36
        QCOMPARE(qGray(image.pixel(20, 5)), 255); // not filled
        QCOMPARE(qGray(image.pixel(12, 12)), 0);  // top of the arc's quarter
        QCOMPARE(qGray(image.pixel(2, 22)), 255); // outside the quarter
        QVERIFY(qGray(image.pixel(15, 38)) < 128); // the curve
    }

    void previews()
    {
        MShape shape;
        QVERIFY(readShape(shape, R"({"items": [{"instruction": "PathEllipse", "x1": "W", "y1": "H"}]})"));
        const QImage rendered = shape.preview();
        QCOMPARE(rendered.size(), QSize(50, 50));
        QCOMPARE(qAlpha(rendered.pixel(0, 0)), 0);   // transparent corner
        QCOMPARE(qAlpha(rendered.pixel(25, 25)), 255);
        QVERIFY(qGray(rendered.pixel(40, 40)) > qGray(rendered.pixel(12, 12))); // lighter at the bottom right
        const QImage wide = shape.renderPreview(80, 30, Qt::red, Qt::blue, Qt::white);
        QCOMPARE(wide.size(), QSize(80, 30));
        QCOMPARE(wide.pixel(0, 0), qRgb(255, 255, 255));

        QImage stored(8, 8, QImage::Format_ARGB32);
        stored.fill(Qt::green);
        MShape withPreview;
        QVERIFY(readShape(withPreview, "{\"preview\": \"" + pngBase64(stored) + "\"}"));
        QCOMPARE(withPreview.preview().size(), QSize(8, 8));
        QCOMPARE(withPreview.property("preview").value<QImage>().pixel(4, 4), qRgb(0, 255, 0));
        MShape broken;
        QVERIFY(readShape(broken, R"({"preview": "bm90IGEgcG5n"})"));
        QCOMPARE(broken.preview().size(), QSize(50, 50));
    }

    // A drawing of many items draws its first ones into its preview: a file
    // of hundreds of thousands would hold the library for minutes. Here the
    // item past the bound would fill the whole preview.
    void previewOfManyItems_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("centreAlpha");
        QTest::newRow("last item within the bound") << MShape::MaximumPreviewItems - 1 << 255;
        QTest::newRow("last item past the bound") << MShape::MaximumPreviewItems << 0;
    }

    void previewOfManyItems()
    {
        QFETCH(int, before);
        QFETCH(int, centreAlpha);
        QByteArray items;
        for (int i = 0; i < before; ++i)
            items += R"({"instruction": "PathMoveTo", "x0": "1", "y0": "1"},)";
        items += R"({"instruction": "PathRectangle", "x1": "W", "y1": "H"})";
        MShape shape;
        QVERIFY(readShape(shape, "{\"items\": [" + items + "]}"));
        QCOMPARE(shape.items().size(), before + 1);
        QCOMPARE(qAlpha(shape.preview().pixel(25, 25)), centreAlpha);
        QCOMPARE(shape.items().size(), before + 1);
        QCOMPARE(shape.buildPath(QRectF(0, 0, 50, 50)).contains(QPointF(25, 25)), true);
    }

    // A stored preview past the one image limit is refused from its header
    // (the shape draws its own), one at the limit is kept.
    void previewSizeLimit_data()
    {
        QImage widest(4096, 1, QImage::Format_ARGB32);
        widest.fill(Qt::green);
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QSize>("preview");
        QTest::newRow("at the limit") << MTestPng::encode(widest) << QSize(4096, 1);
        QTest::newRow("one pixel past it") << MTestPng::claiming(4097, 1) << QSize(50, 50);
        QTest::newRow("16384 x 16384") << MTestPng::claiming(16384, 16384) << QSize(50, 50);
    }

    void previewSizeLimit()
    {
        QFETCH(QByteArray, png);
        QFETCH(QSize, preview);
        MLogger::instance();
        const MTestLogWatch log;
        MShape shape;
        QVERIFY(readShape(shape, "{\"preview\": \"" + png.toBase64() + "\"}"));
        QCOMPARE(shape.preview().size(), preview);
        QCOMPARE(log.count(QStringLiteral("pixels, larger than 4096 x 4096")), preview.width() == 50 ? 1 : 0);
    }

    // A size with parentheses nested past the parser's limit refuses the
    // whole file, with the reason, instead of failing at every drawing.
    void deepSizesRefuseTheFile()
    {
        MLogger::instance();
        const QString deep = QString(20000, QLatin1Char('(')) + QStringLiteral("W");
        for (const QString &key : {QStringLiteral("height"), QStringLiteral("x0"), QStringLiteral("maxy3")}) {
            const MTestLogWatch log;
            MShape shape;
            const QByteArray json = QStringLiteral(R"({"items": [{"instruction": "DrawEllispe", "%1": "%2"}]})")
                                        .arg(key, deep)
                                        .toUtf8();
            QVERIFY(!readShape(shape, json));
            QVERIFY(shape.items().isEmpty());
            QCOMPARE(log.count(QStringLiteral("refused: a size with more than 100 nested parentheses")), 1);
        }
    }

    // Sizes far beyond any canvas are clamped, once logged, before they
    // become the painter's ints; what is in range draws as before.
    void hugeSizesAreClamped()
    {
        MLogger::instance();
        MShape shape;
        QVERIFY(readShape(shape, R"({"items": [
            {"height": "8888888888", "instruction": "DrawEllispe"},
            {"instruction": "DrawArc", "x0": "-8888888888*W", "width": "W*W*W*W*W", "startAngle": 1e300},
            {"instruction": "DrawRectangle", "x0": "2", "y0": "2", "width": "10", "height": "10"}]})"));
        const MTestLogWatch log;
        const QImage image = strokes(shape, QSize(40, 40));
        QCOMPARE(qGray(image.pixel(2, 6)), 0); // the rectangle in range still drawn
        strokes(shape, QSize(40, 40));
        QCOMPARE(log.count(QStringLiteral("coordinates beyond 16777216 pixels clamped")), 1);
    }
};

QTEST_MAIN(TestMShape)
#include "tst_mshape.moc"

#include "mgeometry.h"

#include <QMetaEnum>
#include <QTest>

Q_DECLARE_METATYPE(QVector<QPointF>)

class TestMGeometry : public QObject
{
    Q_OBJECT

private slots:
    void edgesAndHandles()
    {
        const QRectF r(10, 20, 100, 40);
        QCOMPARE(MGeometry::topCenter(r), QPointF(60, 20));
        QCOMPARE(MGeometry::bottomCenter(r), QPointF(60, 60));
        QCOMPARE(MGeometry::leftCenter(r), QPointF(10, 40));
        QCOMPARE(MGeometry::rightCenter(r), QPointF(110, 40));
        QCOMPARE(MGeometry::handleRect(QPointF(5, 5), 4), QRectF(3, 3, 4, 4));
        QVERIFY(MGeometry::isNear(QPointF(0, 0), QPointF(3, 4), 5));
        QVERIFY(!MGeometry::isNear(QPointF(0, 0), QPointF(3, 4), 4.99));
    }

    // The key names are part of the shape file format.
    void positionKeys()
    {
        const QMetaEnum keys = QMetaEnum::fromType<MGeometry::Position>();
        QCOMPARE(keys.keyCount(), 27);
        QCOMPARE(keys.valueToKey(0), "NoPosition");
        QCOMPARE(keys.valueToKey(13), "TopRightOut");
        QCOMPARE(keys.valueToKey(16), "TopOutLeft");
        QCOMPARE(keys.valueToKey(25), "BottomOutRightOut");
        QCOMPARE(keys.valueToKey(26), "ClientArea");
    }

    // Reference (100, 200, 400, 300): centre (300, 350), right 500, bottom 500;
    // placed size 40 x 20; margin 5.
    void placeRect_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPointF>("topLeft");
        QTest::newRow("NoPosition") << 0 << QPointF(105, 205);
        QTest::newRow("TopLeft") << 1 << QPointF(105, 205);
        QTest::newRow("TopCenter") << 2 << QPointF(280, 205);
        QTest::newRow("TopRight") << 3 << QPointF(455, 205);
        QTest::newRow("CenterLeft") << 4 << QPointF(105, 340);
        QTest::newRow("CenterCenter") << 5 << QPointF(280, 340);
        QTest::newRow("CenterRight") << 6 << QPointF(455, 340);
        QTest::newRow("BottomLeft") << 7 << QPointF(105, 475);
        QTest::newRow("BottomCenter") << 8 << QPointF(280, 475);
        QTest::newRow("BottomRight") << 9 << QPointF(455, 475);
        QTest::newRow("TopLeftOut") << 10 << QPointF(55, 205);
        QTest::newRow("CenterLeftOut") << 11 << QPointF(55, 340);
        QTest::newRow("BottomLeftOut") << 12 << QPointF(55, 475);
        QTest::newRow("TopRightOut") << 13 << QPointF(505, 205);
        QTest::newRow("CenterRightOut") << 14 << QPointF(505, 340);
        QTest::newRow("BottomRightOut") << 15 << QPointF(505, 475);
        QTest::newRow("TopOutLeft") << 16 << QPointF(105, 175);
        QTest::newRow("TopOutCenter") << 17 << QPointF(280, 175);
        QTest::newRow("TopOutRight") << 18 << QPointF(455, 175);
        QTest::newRow("BottomOutLeft") << 19 << QPointF(105, 505);
        QTest::newRow("BottomOutCenter") << 20 << QPointF(280, 505);
        QTest::newRow("BottomOutRight") << 21 << QPointF(455, 505);
        QTest::newRow("TopOutLeftOut") << 22 << QPointF(55, 175);
        QTest::newRow("TopOutRightOut") << 23 << QPointF(505, 175);
        QTest::newRow("BottomOutLeftOut") << 24 << QPointF(55, 505);
        QTest::newRow("BottomOutRightOut") << 25 << QPointF(505, 505);
        QTest::newRow("below the enumeration") << -3 << QPointF(105, 205);
        QTest::newRow("beyond the enumeration") << 99 << QPointF(105, 205);
    }

    void placeRect()
    {
        QFETCH(int, position);
        QFETCH(QPointF, topLeft);
        const QRectF placed = MGeometry::placeRect(QRectF(100, 200, 400, 300), QRectF(-7, 3, 40, 20), position, 5);
        QCOMPARE(placed, QRectF(topLeft, QSizeF(40, 20)));
    }

    void placeRectClientAreaIsTheReference()
    {
        const QRectF reference(100, 200, 400, 300);
        QCOMPARE(MGeometry::placeRect(reference, QRectF(0, 0, 40, 20), MGeometry::ClientArea, 5), reference);
    }

    void fitRect_data()
    {
        QTest::addColumn<QRectF>("content");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRectF>("expected");
        QTest::addColumn<double>("scale");
        QTest::newRow("wide into square") << QRectF(0, 0, 200, 100) << QRectF(0, 0, 100, 100)
                                          << QRectF(0, 25, 100, 50) << 0.5;
        QTest::newRow("enlarged") << QRectF(0, 0, 50, 50) << QRectF(0, 0, 100, 200) << QRectF(0, 50, 100, 100) << 2.0;
        QTest::newRow("content position ignored") << QRectF(-300, 40, 20, 10) << QRectF(10, 10, 40, 40)
                                                  << QRectF(10, 20, 40, 20) << 2.0;
        QTest::newRow("zero-width bounds") << QRectF(0, 0, 50, 50) << QRectF(5, 5, 0, 30) << QRectF(5, 5, 0, 30) << 1.0;
        QTest::newRow("zero-height bounds") << QRectF(0, 0, 50, 50) << QRectF(5, 5, 30, 0) << QRectF(5, 5, 30, 0) << 1.0;
        QTest::newRow("empty content") << QRectF(3, 3, 0, 0) << QRectF(0, 0, 10, 20) << QRectF(0, 0, 10, 20) << 1.0;
    }

    void fitRect()
    {
        QFETCH(QRectF, content);
        QFETCH(QRectF, bounds);
        QFETCH(QRectF, expected);
        QFETCH(double, scale);
        double actualScale = -1;
        QCOMPARE(MGeometry::fitRect(content, bounds, actualScale), expected);
        QCOMPARE(actualScale, scale);
    }

    void outCode_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("code");
        QTest::newRow("inside") << QPointF(5, 5) << 0;
        QTest::newRow("on the right edge") << QPointF(10, 5) << 0;
        QTest::newRow("left") << QPointF(-1, 5) << 1;
        QTest::newRow("right") << QPointF(11, 5) << 2;
        QTest::newRow("above") << QPointF(5, -1) << 4;
        QTest::newRow("below") << QPointF(5, 11) << 8;
        QTest::newRow("above left") << QPointF(-1, -1) << 5;
        QTest::newRow("below right") << QPointF(11, 11) << 10;
    }

    void outCode()
    {
        QFETCH(QPointF, point);
        QFETCH(int, code);
        QCOMPARE(MGeometry::outCode(point.x(), point.y(), QRectF(0, 0, 10, 10)), code);
    }

    void clipLine_data()
    {
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QLineF>("expected");
        QTest::newRow("wholly left") << QLineF(-20, 10, -5, 90) << QLineF(0, 0, 0, 0);
        QTest::newRow("wholly below") << QLineF(10, 120, 90, 150) << QLineF(0, 0, 0, 0);
        QTest::newRow("inside") << QLineF(10, 20, 80, 90) << QLineF(10, 20, 80, 90);
        QTest::newRow("horizontal across") << QLineF(-50, 40, 150, 40) << QLineF(0, 40, 100, 40);
        QTest::newRow("direction kept") << QLineF(150, 40, -50, 40) << QLineF(100, 40, 0, 40);
        QTest::newRow("vertical across") << QLineF(30, -10, 30, 200) << QLineF(30, 0, 30, 100);
        QTest::newRow("diagonal through corners") << QLineF(-10, -10, 110, 110) << QLineF(0, 0, 100, 100);
        QTest::newRow("one end inside") << QLineF(50, 50, 50, 300) << QLineF(50, 50, 50, 100);
        QTest::newRow("missing the corner") << QLineF(90, -20, 130, 20) << QLineF(0, 0, 0, 0);
    }

    void clipLine()
    {
        QFETCH(QLineF, segment);
        QFETCH(QLineF, expected);
        const QLineF clipped = MGeometry::clipLine(segment.x1(), segment.y1(), segment.x2(), segment.y2(),
                                                   QRectF(0, 0, 100, 100));
        auto near = [](const QPointF &a, const QPointF &b) { return QLineF(a, b).length() < 1e-9; };
        QVERIFY2(near(clipped.p1(), expected.p1()) && near(clipped.p2(), expected.p2()),
                 qPrintable(QStringLiteral("(%1, %2) - (%3, %4)")
                                .arg(clipped.x1()).arg(clipped.y1()).arg(clipped.x2()).arg(clipped.y2())));
    }

    void projectOnLine_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("horizontal") << QLineF(0, 0, 10, 0) << QPointF(3, 7) << true << QPointF(3, 0);
        QTest::newRow("beyond the end") << QLineF(0, 0, 10, 0) << QPointF(25, -4) << true << QPointF(25, 0);
        QTest::newRow("diagonal") << QLineF(0, 0, 10, 10) << QPointF(10, 0) << true << QPointF(5, 5);
        QTest::newRow("zero length") << QLineF(4, 4, 4, 4) << QPointF(4, 4) << false << QPointF(-1, -1);
    }

    void projectOnLine()
    {
        QFETCH(QLineF, line);
        QFETCH(QPointF, point);
        QFETCH(bool, ok);
        QFETCH(QPointF, expected);
        QPointF out(123, 456);
        QCOMPARE(MGeometry::projectOnLine(line, point, out), ok);
        QVERIFY2(qAbs(out.x() - expected.x()) < 1e-5 && qAbs(out.y() - expected.y()) < 1e-5,
                 qPrintable(QStringLiteral("(%1, %2)").arg(out.x()).arg(out.y())));
    }

    void pointOnSegment_data()
    {
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("on");
        QTest::newRow("middle") << QLineF(0, 0, 10, 10) << QPointF(5, 5) << true;
        QTest::newRow("end point") << QLineF(0, 0, 10, 10) << QPointF(10, 10) << true;
        QTest::newRow("collinear beyond") << QLineF(0, 0, 10, 10) << QPointF(11, 11) << false;
        QTest::newRow("off the line") << QLineF(0, 0, 10, 10) << QPointF(5, 5.1) << false;
        QTest::newRow("vertical inside") << QLineF(3, 0, 3, 10) << QPointF(3, 4) << true;
        QTest::newRow("vertical beyond") << QLineF(3, 0, 3, 10) << QPointF(3, -1) << false;
        QTest::newRow("reversed ends") << QLineF(10, 0, 0, 0) << QPointF(2, 0) << true;
    }

    void pointOnSegment()
    {
        QFETCH(QLineF, segment);
        QFETCH(QPointF, point);
        QFETCH(bool, on);
        QCOMPARE(MGeometry::pointOnSegment(segment, point), on);
    }

    void nearestPoint_data()
    {
        QTest::addColumn<QVector<QPointF>>("polyline");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("no points") << QVector<QPointF>() << QPointF(3, 4) << QPointF(3, 4);
        QTest::newRow("one point") << QVector<QPointF>{{10, 10}} << QPointF(3, 4) << QPointF(10, 10);
        QTest::newRow("foot on a segment") << QVector<QPointF>{{0, 0}, {100, 0}, {100, 100}} << QPointF(40, 7)
                                           << QPointF(40, 0);
        QTest::newRow("foot on the second segment") << QVector<QPointF>{{0, 0}, {100, 0}, {100, 100}}
                                                    << QPointF(90, 60) << QPointF(100, 60);
        QTest::newRow("vertex nearer than any foot") << QVector<QPointF>{{0, 0}, {100, 0}, {100, 100}}
                                                     << QPointF(120, -20) << QPointF(100, 0);
        QTest::newRow("foot beyond the segment") << QVector<QPointF>{{0, 0}, {10, 0}} << QPointF(30, 5)
                                                 << QPointF(10, 0);
        QTest::newRow("everything too far") << QVector<QPointF>{{0, 0}, {1e8, 0}} << QPointF(5e7, 2e7)
                                            << QPointF(5e7, 2e7);
    }

    void nearestPoint()
    {
        QFETCH(QVector<QPointF>, polyline);
        QFETCH(QPointF, point);
        QFETCH(QPointF, expected);
        QCOMPARE(MGeometry::nearestPoint(polyline, point), expected);
    }
};

QTEST_APPLESS_MAIN(TestMGeometry)
#include "tst_mgeometry.moc"

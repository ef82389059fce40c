#include "mtoolvalues.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

using Points = QVector<QPointF>;

class TestMToolValues : public QObject
{
    Q_OBJECT

private slots:
    void initialValues_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("SymmetryNumber") << int(MToolValues::SymmetryNumber) << QVariant(1);
        QTest::newRow("GridShowGrid") << int(MToolValues::GridShowGrid) << QVariant(false);
        QTest::newRow("GridColor") << int(MToolValues::GridColor) << QVariant(QColor(Qt::black));
        QTest::newRow("GridSize") << int(MToolValues::GridSize) << QVariant(30);
        QTest::newRow("LeftVanishingPoint") << int(MToolValues::LeftVanishingPoint) << QVariant(true);
        QTest::newRow("RightVanishingPoint") << int(MToolValues::RightVanishingPoint) << QVariant(true);
        QTest::newRow("VerticalVanishingPoint") << int(MToolValues::VerticalVanishingPoint) << QVariant(false);
        QTest::newRow("LeftDistance") << int(MToolValues::LeftDistance) << QVariant(2000);
        QTest::newRow("RightDistance") << int(MToolValues::RightDistance) << QVariant(2000);
        QTest::newRow("VerticalDistance") << int(MToolValues::VerticalDistance) << QVariant(100000);
        QTest::newRow("ShapeWidth") << int(MToolValues::ShapeWidth) << QVariant(100);
        QTest::newRow("ShapeHeight") << int(MToolValues::ShapeHeight) << QVariant(100);
        QTest::newRow("ShapeAngle") << int(MToolValues::ShapeAngle) << QVariant(0);
        QTest::newRow("TextString") << int(MToolValues::TextString) << QVariant(QStringLiteral("Text"));
        QTest::newRow("TextAngle") << int(MToolValues::TextAngle) << QVariant(0);
        QTest::newRow("ImageWidth") << int(MToolValues::ImageWidth) << QVariant(100);
        QTest::newRow("ImageHeight") << int(MToolValues::ImageHeight) << QVariant(100);
        QTest::newRow("ImageAngle") << int(MToolValues::ImageAngle) << QVariant(0);
    }

    void initialValues()
    {
        QFETCH(int, id);
        QFETCH(QVariant, value);
        MToolValues values;
        QCOMPARE(values.value(id), value);
        QCOMPARE(values.value(id).userType(), value.userType());
        QVERIFY(!values.hasPointList(id));
    }

    void initialPoints_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<Points>("points");
        QTest::newRow("SymmetryPoints") << int(MToolValues::SymmetryPoints) << Points{{0, 0}, {0, -200}};
        QTest::newRow("PerspectivePoints") << int(MToolValues::PerspectivePoints) << Points{{0, 0}, {-2000, 0}, {2000, 0}, {0, 2000}};
        QTest::newRow("LinePoints") << int(MToolValues::LinePoints) << Points();
        QTest::newRow("ShapePoints") << int(MToolValues::ShapePoints) << Points{{0, 0}};
        QTest::newRow("TextPoints") << int(MToolValues::TextPoints) << Points{{0, 0}};
        QTest::newRow("ImagePoints") << int(MToolValues::ImagePoints) << Points{{0, 0}};
        QTest::newRow("SelectionPoints") << int(MToolValues::SelectionPoints) << Points();
        QTest::newRow("GradientPoints") << int(MToolValues::GradientPoints) << Points();
        QTest::newRow("RullerPoints") << int(MToolValues::RullerPoints) << Points{{0, 0}, {300, 0}};
    }

    void initialPoints()
    {
        QFETCH(int, id);
        QFETCH(Points, points);
        MToolValues values;
        QVERIFY(values.hasPointList(id));
        QCOMPARE(values.points(id), points);
        QCOMPARE(values.pointCount(id), points.size());
        QCOMPARE(values.polygon(id), QPolygonF(points));
        QVERIFY(!values.value(id).isValid());
    }

    void setValue_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("changed");
        QTest::newRow("same symmetry number") << int(MToolValues::SymmetryNumber) << QVariant(1) << false;
        QTest::newRow("new symmetry number") << int(MToolValues::SymmetryNumber) << QVariant(4) << true;
        QTest::newRow("same colour") << int(MToolValues::GridColor) << QVariant(QColor(Qt::black)) << false;
        QTest::newRow("new colour") << int(MToolValues::GridColor) << QVariant(QColor(Qt::red)) << true;
        QTest::newRow("new text") << int(MToolValues::TextString) << QVariant(QStringLiteral("Hello")) << true;
        QTest::newRow("an id with no value yet") << int(MToolValues::RullerPoints) << QVariant(3) << true;
        QTest::newRow("unknown id, invalid value") << 99 << QVariant() << false;
        QTest::newRow("unknown id, real value") << 99 << QVariant(2.5) << true;
    }

    void setValue()
    {
        QFETCH(int, id);
        QFETCH(QVariant, value);
        QFETCH(bool, changed);
        MToolValues values;
        QSignalSpy spy(&values, &MToolValues::valueChanged);
        QCOMPARE(values.setValue(id, value), changed);
        QCOMPARE(values.value(id), value);
        QCOMPARE(spy.count(), changed ? 1 : 0);
        if (changed) {
            QCOMPARE(spy.at(0).at(0).toInt(), id);
            QCOMPARE(spy.at(0).at(1).value<QVariant>(), value);
            // Setting it again is no change.
            QVERIFY(!values.setValue(id, value));
            QCOMPARE(spy.count(), 1);
        }
        // A value never becomes a point list.
        QCOMPARE(values.hasPointList(id), id == MToolValues::RullerPoints);
    }

    void conversions_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<double>("asDouble");
        QTest::newRow("int") << int(MToolValues::GridSize) << QVariant(30) << 30 << 30.0;
        QTest::newRow("bool") << int(MToolValues::LeftVanishingPoint) << QVariant(true) << 1 << 1.0;
        QTest::newRow("text that is no number") << int(MToolValues::TextString) << QVariant(QStringLiteral("Text")) << 0 << 0.0;
        QTest::newRow("text that is a number") << int(MToolValues::TextString) << QVariant(QStringLiteral("2.5")) << 0 << 2.5;
        QTest::newRow("absent") << 99 << QVariant() << 0 << 0.0;
    }

    void conversions()
    {
        QFETCH(int, id);
        QFETCH(QVariant, value);
        QFETCH(int, asInt);
        QFETCH(double, asDouble);
        MToolValues values;
        values.setValue(id, value);
        QCOMPARE(values.intValue(id), asInt);
        QCOMPARE(values.doubleValue(id), asDouble);
    }

    // Each operation on a list, or on an id without one: whether it reports a
    // change, and the list it leaves. No operation emits valueChanged.
    void pointOperations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<Points>("after");
        const int ruler = MToolValues::RullerPoints, line = MToolValues::LinePoints, symmetry = MToolValues::SymmetryNumber;
        const Points rulerStart{{0, 0}, {300, 0}};
        QTest::newRow("set a point") << "set" << ruler << 1 << true << Points{{0, 0}, {5, 6}};
        QTest::newRow("set past the end") << "set" << ruler << 2 << false << rulerStart;
        QTest::newRow("set a negative index") << "set" << ruler << -1 << false << rulerStart;
        QTest::newRow("set on a value id") << "set" << symmetry << 0 << false << Points();
        QTest::newRow("add to an empty list") << "add" << line << 0 << true << Points{{5, 6}};
        QTest::newRow("add to a list") << "add" << ruler << 0 << true << Points{{0, 0}, {300, 0}, {5, 6}};
        QTest::newRow("add to a value id") << "add" << symmetry << 0 << false << Points();
        QTest::newRow("add to an unknown id") << "add" << 99 << 0 << false << Points();
        QTest::newRow("remove the first") << "removeAt" << ruler << 0 << true << Points{{300, 0}};
        QTest::newRow("remove past the end") << "removeAt" << ruler << 2 << false << rulerStart;
        QTest::newRow("remove at on a value id") << "removeAt" << symmetry << 0 << false << Points();
        QTest::newRow("remove the last") << "removeLast" << ruler << 0 << true << Points{{0, 0}};
        QTest::newRow("remove the last of an empty list") << "removeLast" << line << 0 << false << Points();
        QTest::newRow("remove the last on a value id") << "removeLast" << symmetry << 0 << false << Points();
        QTest::newRow("clear") << "clear" << ruler << 0 << true << Points();
        QTest::newRow("clear an empty list") << "clear" << line << 0 << true << Points();
        QTest::newRow("clear a value id") << "clear" << symmetry << 0 << false << Points();
        QTest::newRow("replace") << "replace" << line << 0 << true << Points{{1, 1}, {2, 2}};
        QTest::newRow("replace on a value id") << "replace" << symmetry << 0 << false << Points();
    }

    void pointOperations()
    {
        QFETCH(QString, operation);
        QFETCH(int, id);
        QFETCH(int, index);
        QFETCH(bool, changed);
        QFETCH(Points, after);
        MToolValues values;
        QSignalSpy spy(&values, &MToolValues::valueChanged);
        bool result = false;
        if (operation == QLatin1String("set"))
            result = values.setPoint(id, index, QPointF(5, 6));
        else if (operation == QLatin1String("add"))
            result = values.addPoint(id, QPointF(5, 6));
        else if (operation == QLatin1String("removeAt"))
            result = values.removePoint(id, index);
        else if (operation == QLatin1String("removeLast"))
            result = values.removePoint(id);
        else if (operation == QLatin1String("clear"))
            result = values.clearPoint(id);
        else if (operation == QLatin1String("replace"))
            result = values.setPoints(id, Points{{1, 1}, {2, 2}});
        else
            QFAIL("unknown operation");
        QCOMPARE(result, changed);
        QCOMPARE(values.points(id), after);
        QCOMPARE(values.pointCount(id), after.size());
        QCOMPARE(spy.count(), 0);
        if (!values.hasPointList(id))
            QVERIFY(values.points(id).isEmpty());
    }

    void pointReads_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("point");
        QTest::newRow("ruler end") << int(MToolValues::RullerPoints) << 1 << QPointF(300, 0);
        QTest::newRow("past the end") << int(MToolValues::RullerPoints) << 5 << QPointF();
        QTest::newRow("negative") << int(MToolValues::SymmetryPoints) << -1 << QPointF();
        QTest::newRow("no list") << int(MToolValues::GridSize) << 0 << QPointF();
    }

    void pointReads()
    {
        QFETCH(int, id);
        QFETCH(int, index);
        QFETCH(QPointF, point);
        MToolValues values;
        QCOMPARE(values.point(id, index), point);
    }
};

QTEST_GUILESS_MAIN(TestMToolValues)
#include "tst_mtoolvalues.moc"

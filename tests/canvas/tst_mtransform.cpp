#include "mtransform.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {
bool near(const QPointF &a, const QPointF &b, double tolerance = 1e-9)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}
} // namespace

class TestMTransform : public QObject
{
    Q_OBJECT

private:
    // Every kind of change at once, so that a mapping test sees them all.
    static void scramble(MTransform &t)
    {
        t.setCentre(QPointF(40, -25));
        t.setRotation(33);
        t.setTranslation(QPointF(300, 120));
        t.setScale(2.5, QPointF(17, 90));
        t.flipVertical();
    }

private slots:
    void startsAsIdentity()
    {
        MTransform t;
        QCOMPARE(t.scale(), 1.0);
        QCOMPARE(t.rotation(), 0.0);
        QCOMPARE(t.translation(), QPointF());
        QVERIFY(t.matrix().isIdentity());
        QCOMPARE(t.map(QPointF(12, -7)), QPointF(12, -7));
    }

    void resetGoesBackToIdentity()
    {
        MTransform t;
        scramble(t);
        t.flipHorizontal();
        QVERIFY(!t.matrix().isIdentity());
        QSignalSpy updates(&t, &MTransform::update);
        t.reset();
        QCOMPARE(updates.count(), 1);
        QVERIFY(t.matrix().isIdentity());
        QCOMPARE(t.centre(), QPointF());
        QCOMPARE(t.mapRect(QRectF(1, 2, 3, 4)), QRectF(1, 2, 3, 4));
        QCOMPARE(t.mapRectFromView(QRectF(1, 2, 3, 4)), QRectF(1, 2, 3, 4));
    }

    // A canvas point is rotated about the centre, scaled and mirrored about
    // the origin, then translated.
    void composition_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("flipH");
        QTest::addColumn<bool>("flipV");
        QTest::addColumn<QPointF>("translation");
        QTest::addColumn<QPointF>("canvas");
        QTest::addColumn<QPointF>("view");
        QTest::newRow("translation") << QPointF() << 0.0 << 1.0 << false << false << QPointF(10, 20)
                                     << QPointF(1, 2) << QPointF(11, 22);
        QTest::newRow("scale about the origin") << QPointF() << 0.0 << 2.0 << false << false << QPointF(10, 20)
                                                << QPointF(1, 2) << QPointF(12, 24);
        QTest::newRow("clockwise quarter turn") << QPointF() << 90.0 << 1.0 << false << false << QPointF()
                                                << QPointF(1, 0) << QPointF(0, 1);
        QTest::newRow("rotation about the centre") << QPointF(5, 5) << 90.0 << 1.0 << false << false << QPointF()
                                                   << QPointF(6, 5) << QPointF(5, 6);
        QTest::newRow("centre is fixed") << QPointF(5, 5) << 47.0 << 1.0 << false << false << QPointF()
                                         << QPointF(5, 5) << QPointF(5, 5);
        QTest::newRow("horizontal mirror") << QPointF() << 0.0 << 2.0 << true << false << QPointF(100, 0)
                                           << QPointF(3, 4) << QPointF(94, 8);
        QTest::newRow("vertical mirror") << QPointF() << 0.0 << 1.0 << false << true << QPointF(0, 50)
                                         << QPointF(3, 4) << QPointF(3, 46);
        QTest::newRow("all") << QPointF(5, 5) << 90.0 << 2.0 << true << false << QPointF(10, 10)
                             << QPointF(6, 5) << QPointF(0, 22);
    }

    void composition()
    {
        QFETCH(QPointF, centre);
        QFETCH(double, rotation);
        QFETCH(double, scale);
        QFETCH(bool, flipH);
        QFETCH(bool, flipV);
        QFETCH(QPointF, translation);
        QFETCH(QPointF, canvas);
        QFETCH(QPointF, view);
        MTransform t;
        t.setCentre(centre);
        t.setRotation(rotation);
        t.setScale(scale, QPointF());
        if (flipH)
            t.flipHorizontal();
        if (flipV)
            t.flipVertical();
        t.setTranslation(translation);
        QVERIFY2(near(t.map(canvas), view),
                 qPrintable(QStringLiteral("(%1, %2)").arg(t.map(canvas).x()).arg(t.map(canvas).y())));
        QVERIFY(near(t.mapFromView(view), canvas));
        QVERIFY(near(QPointF(t.matrix4x4().map(QVector3D(canvas)).toPointF()), view, 1e-4));
    }

    // Zooming about a view point keeps the canvas point under it there,
    // whatever the transform already is.
    void zoomKeepsThePointUnderTheCursor_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QPointF>("cursor");
        QTest::newRow("zoom in") << 1.0 << 3.0 << QPointF(200, 150);
        QTest::newRow("zoom out") << 2.0 << 0.25 << QPointF(-40, 700);
        QTest::newRow("clamped above") << 1.0 << 100.0 << QPointF(640, 360);
        QTest::newRow("clamped below") << 1.0 << 0.001 << QPointF(5, 5);
    }

    void zoomKeepsThePointUnderTheCursor()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QPointF, cursor);
        MTransform t;
        t.setCentre(QPointF(40, -25));
        t.setRotation(33);
        t.setTranslation(QPointF(300, 120));
        t.setScale(from, QPointF(17, 90));
        t.flipVertical();
        const QPointF under = t.mapFromView(cursor);
        t.setScale(to, cursor);
        QVERIFY(near(t.map(under), cursor, 1e-7));
        QCOMPARE(t.scale(), qBound(0.01, to, 40.0));
        QCOMPARE(t.pivot(), cursor);
    }

    void scaleLimitsAndSignals()
    {
        MTransform t;
        QSignalSpy scales(&t, &MTransform::scaleChanged);
        QSignalSpy updates(&t, &MTransform::update);
        t.setScale(100, QPointF(10, 10));
        QCOMPARE(t.scale(), 40.0);
        QCOMPARE(scales.count(), 1);
        QCOMPARE(scales.last().first().toDouble(), 40.0);
        const QTransform before = t.matrix();
        // 100 is not the stored 40: it runs again, changing nothing visible.
        t.setScale(100, QPointF(10, 10));
        QCOMPARE(scales.count(), 2);
        QCOMPARE(t.matrix(), before);
        // The stored value exactly: nothing at all.
        t.setScale(40, QPointF(10, 10));
        QCOMPARE(scales.count(), 2);
        QCOMPARE(updates.count(), 2);
        t.setScale(0.001, QPointF());
        QCOMPARE(t.scale(), 0.01);
    }

    void rotationIsKeptAsGiven()
    {
        MTransform t;
        QSignalSpy updates(&t, &MTransform::update);
        t.setRotation(450);
        QCOMPARE(t.rotation(), 450.0);
        QCOMPARE(updates.count(), 1);
        t.setRotation(qQNaN());
        QCOMPARE(t.rotation(), 450.0);
        QCOMPARE(updates.count(), 1);
        QVERIFY(near(t.map(QPointF(1, 0)), QPointF(0, 1)));
    }

    void centreWaitsForTheNextRebuild()
    {
        MTransform t;
        t.setRotation(90);
        const QTransform before = t.matrix();
        QSignalSpy updates(&t, &MTransform::update);
        t.setCentre(QPointF(50, 50));
        QCOMPARE(t.matrix(), before);
        QCOMPARE(updates.count(), 0);
        t.updateMatrix();
        QVERIFY(near(t.map(QPointF(50, 50)), QPointF(50, 50)));
    }

    void flipsUndoThemselves()
    {
        MTransform t;
        scramble(t);
        const QTransform before = t.matrix();
        t.flipHorizontal();
        QVERIFY(t.matrix() != before);
        t.flipHorizontal();
        QCOMPARE(t.matrix(), before);
        t.flipVertical();
        t.flipVertical();
        QCOMPARE(t.matrix(), before);
    }

    void roundTrips()
    {
        MTransform t;
        scramble(t);
        t.translate(QPointF(-7, 3));
        const QPointF points[] = {{0, 0}, {123.5, -77}, {-4000, 2500}};
        for (const QPointF &p : points)
            QVERIFY(near(t.mapFromView(t.map(p)), p, 1e-9));
        const QRectF view = t.mapRect(QRectF(0, 0, 10, 10));
        QVERIFY(view.contains(t.map(QPointF(5, 5))));
        QVERIFY(t.mapRectFromView(view).contains(QRectF(0, 0, 10, 10)));
        QPainterPath path;
        path.addRect(0, 0, 10, 10);
        QCOMPARE(t.mapPath(path).boundingRect(), view);
    }

    void assignCopiesWithoutSignals()
    {
        MTransform a;
        scramble(a);
        MTransform b;
        QSignalSpy updates(&b, &MTransform::update);
        QSignalSpy scales(&b, &MTransform::scaleChanged);
        b.assign(a);
        QCOMPARE(updates.count(), 0);
        QCOMPARE(scales.count(), 0);
        QCOMPARE(b.matrix(), a.matrix());
        QCOMPARE(b.scale(), a.scale());
        QCOMPARE(b.centre(), a.centre());
        QCOMPARE(b.pivot(), a.pivot());
        b.flipVertical();
        a.flipVertical();
        QCOMPARE(b.matrix(), a.matrix());
    }
};

QTEST_APPLESS_MAIN(TestMTransform)
#include "tst_mtransform.moc"

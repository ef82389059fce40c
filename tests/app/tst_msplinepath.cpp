#include "msplinepath.h"

#include <QPainterPath>
#include <QTest>

Q_DECLARE_METATYPE(QVector<QPointF>)

namespace {
// A path written as "M x y | L x y | Q cx cy x y", the way the curves are
// worked out by hand.
QPainterPath pathOf(const QString &script)
{
    QPainterPath path;
    const QStringList steps = script.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        const QStringList words = step.simplified().split(QLatin1Char(' '));
        QVector<double> n;
        for (int i = 1; i < words.size(); ++i)
            n.append(words.at(i).toDouble());
        if (words.first() == QLatin1String("M"))
            path.moveTo(n[0], n[1]);
        else if (words.first() == QLatin1String("L"))
            path.lineTo(n[0], n[1]);
        else
            path.quadTo(n[0], n[1], n[2], n[3]);
    }
    return path;
}

QString describe(const QPainterPath &path)
{
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        parts << QStringLiteral("%1(%2,%3)").arg(int(e.type)).arg(e.x).arg(e.y);
    }
    return parts.join(QLatin1Char(' '));
}

bool samePath(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element ea = a.elementAt(i);
        const QPainterPath::Element eb = b.elementAt(i);
        if (ea.type != eb.type || qAbs(ea.x - eb.x) > 1e-9 || qAbs(ea.y - eb.y) > 1e-9)
            return false;
    }
    return true;
}
} // namespace

class TestMSplinePath : public QObject
{
    Q_OBJECT

private slots:
    void curves_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("expected");
        const QVector<QPointF> two{{0, 0}, {10, 0}};
        const QVector<QPointF> three{{0, 0}, {10, 0}, {10, 10}};
        const QVector<QPointF> five{{0, 0}, {10, 0}, {20, 10}, {20, 20}, {0, 20}};
        QTest::newRow("two open") << two << false << "M 0 0 | L 10 0";
        QTest::newRow("two closed stays a segment") << two << true << "M 0 0 | L 10 0";
        QTest::newRow("three open") << three << false << "M 0 0 | L 5 0 | Q 10 0 10 5 | L 10 10";
        QTest::newRow("three closed") << three << true << "M 5 0 | Q 10 0 10 5 | Q 10 10 5 5 | Q 0 0 5 0";
        QTest::newRow("five open") << five << false
                                   << "M 0 0 | L 5 0 | Q 10 0 15 5 | Q 20 10 20 15 | Q 20 20 10 20 | L 0 20";
        QTest::newRow("five closed") << five << true
                                     << "M 5 0 | Q 10 0 15 5 | Q 20 10 20 15 | Q 20 20 10 20 | Q 0 20 0 10 | Q 0 0 5 0";
        QTest::newRow("one point") << QVector<QPointF>{{3, 4}} << false << "";
        QTest::newRow("one point closed") << QVector<QPointF>{{3, 4}} << true << "";
    }

    // Points then flag (a curve) and flag then points (a rounded star) give
    // the same path.
    void curves()
    {
        QFETCH(QVector<QPointF>, points);
        QFETCH(bool, closed);
        QFETCH(QString, expected);
        const QPainterPath want = pathOf(expected);

        MSplinePath pointsFirst;
        pointsFirst.setPoints(points);
        pointsFirst.setClosed(closed);
        QVERIFY2(samePath(pointsFirst.path, want), qPrintable(describe(pointsFirst.path)));

        MSplinePath flagFirst;
        flagFirst.setClosed(closed);
        flagFirst.setPoints(points);
        QVERIFY2(samePath(flagFirst.path, want), qPrintable(describe(flagFirst.path)));
        QCOMPARE(flagFirst.points.size(), points.size() < 2 ? 0 : points.size());
    }

    // Too few points forget the earlier curve, also after the flag changes.
    void tooFewPointsForget()
    {
        MSplinePath spline;
        spline.setPoints({{0, 0}, {10, 0}, {10, 10}});
        QVERIFY(!spline.path.isEmpty());
        spline.setPoints({{1, 1}});
        QVERIFY(spline.path.isEmpty());
        QVERIFY(spline.points.isEmpty());
        spline.setClosed(true);
        QVERIFY(spline.path.isEmpty());
        spline.setPoints({});
        QVERIFY(spline.path.isEmpty());
    }

    void midPointWraps()
    {
        MSplinePath spline;
        spline.setPoints({{0, 0}, {10, 0}, {10, 10}});
        QCOMPARE(spline.midPoint(0), QPointF(5, 0));
        QCOMPARE(spline.midPoint(2), QPointF(5, 5));
    }
};

QTEST_GUILESS_MAIN(TestMSplinePath)
#include "tst_msplinepath.moc"

#include "mshapeparser.h"

#include <QTest>

class TestMShapeParser : public QObject
{
    Q_OBJECT

private slots:
    void evaluate_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<double>("expected");
        const QRectF standard(0, 0, 100, 100);
        const QRectF wide(10, 20, 200, 80);
        QTest::newRow("empty") << QString() << standard << 0.0;
        QTest::newRow("blanks only") << QStringLiteral("   ") << standard << 0.0;
        QTest::newRow("W") << QStringLiteral("W") << wide << 200.0;
        QTest::newRow("w") << QStringLiteral("w") << standard << 100.0;
        QTest::newRow("h") << QStringLiteral("h") << wide << 80.0;
        QTest::newRow("precedence") << QStringLiteral("W/2+H/4") << wide << 120.0;
        QTest::newRow("parentheses") << QStringLiteral("(W+H)/4") << wide << 70.0;
        QTest::newRow("leading minus binds the first term") << QStringLiteral("-W+H") << wide << -120.0;
        QTest::newRow("leading minus of a product") << QStringLiteral("-2*3") << standard << -6.0;
        QTest::newRow("leading plus") << QStringLiteral("+7") << standard << 7.0;
        QTest::newRow("left associative") << QStringLiteral("10-4-3") << standard << 3.0;
        QTest::newRow("left associative division") << QStringLiteral("80/4/2") << standard << 10.0;
        QTest::newRow("division by zero") << QStringLiteral("10/0") << standard << 10.0;
        QTest::newRow("division by a zero expression") << QStringLiteral("10/(5-5)") << standard << 10.0;
        QTest::newRow("trailing number") << QStringLiteral("W 5") << wide << 200.0;
        QTest::newRow("unmatched close") << QStringLiteral("W)") << wide << 200.0;
        QTest::newRow("missing close") << QStringLiteral("(W") << wide << 200.0;
        QTest::newRow("error character ends") << QStringLiteral("2x3") << standard << 2.0;
        QTest::newRow("skipped factor") << QStringLiteral("2*x3") << standard << 0.0;
        QTest::newRow("no unary minus in a term") << QStringLiteral("2*-3") << standard << -3.0;
        QTest::newRow("decimal") << QStringLiteral("1.5") << standard << 1.5;
        QTest::newRow("single precision") << QStringLiteral("0.1") << standard << 0.10000000149011612;
        QTest::newRow("second point") << QStringLiteral("1.2.3") << standard << 1.2000000476837158;
        QTest::newRow("leading point") << QStringLiteral(".5") << standard << 0.0;
        QTest::newRow("missing factor") << QStringLiteral("W*") << standard << 0.0;
        QTest::newRow("lone plus") << QStringLiteral("+") << standard << 0.0;
        QTest::newRow("missing first factor") << QStringLiteral("*2") << standard << 0.0;
        QTest::newRow("tab ends") << QStringLiteral("W\t+1") << wide << 200.0;
        QTest::newRow("blanks between") << QStringLiteral(" W - 10 ") << wide << 190.0;
        QTest::newRow("nested") << QStringLiteral("((W-H)*2)/3") << wide << 80.0;
        QTest::newRow("later factors keep their slot") << QStringLiteral("2*3*x") << standard << 18.0;
    }

    // Exact comparison on purpose: the single-precision conversion is visible.
    void evaluate()
    {
        QFETCH(QString, expression);
        QFETCH(QRectF, rect);
        QFETCH(double, expected);
        MShapeParser parser;
        parser.setRect(rect);
        const double value = parser.evaluate(expression);
        QVERIFY2(value == expected, qPrintable(QStringLiteral("%1 gave %2").arg(expression).arg(value, 0, 'g', 17)));
    }

    void defaultRectangle()
    {
        MShapeParser parser;
        QCOMPARE(parser.rect(), QRectF(0, 0, 100, 100));
        QCOMPARE(parser.evaluate(QStringLiteral("W+H")), 200.0);
    }

    // Each parenthesis costs a level of the stack: up to the limit an
    // expression is worked out, beyond it refused with its reason (value 0),
    // however deep it goes; the next expression starts afresh.
    void nestingDepth_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("refused");
        QTest::newRow("at the limit") << int(MShapeParser::MaximumDepth) << 100.0 << false;
        QTest::newRow("one past the limit") << int(MShapeParser::MaximumDepth) + 1 << 0.0 << true;
        QTest::newRow("20000 levels") << 20000 << 0.0 << true;
        QTest::newRow("20000 levels never closed") << -20000 << 0.0 << true;
    }

    void nestingDepth()
    {
        QFETCH(int, depth);
        QFETCH(double, expected);
        QFETCH(bool, refused);
        const int levels = qAbs(depth);
        const QString expression = QString(levels, QLatin1Char('(')) + QStringLiteral("W")
                                   + (depth > 0 ? QString(levels, QLatin1Char(')')) : QString());
        MShapeParser parser;
        QCOMPARE(parser.evaluate(QStringLiteral("2*") + expression), 2 * expected);
        QCOMPARE(parser.error().isEmpty(), !refused);
        if (refused)
            QCOMPARE(parser.error(), QStringLiteral("more than 100 nested parentheses"));
        QCOMPARE(parser.evaluate(QStringLiteral("(H)")), 100.0);
        QVERIFY(parser.error().isEmpty());
    }

    // One parser serves every expression of a shape: no state leaks between them.
    void reuse()
    {
        MShapeParser parser;
        parser.setRect(QRectF(0, 0, 40, 60));
        QCOMPARE(parser.evaluate(QStringLiteral("(W")), 40.0);
        QCOMPARE(parser.evaluate(QStringLiteral("H/2")), 30.0);
        QCOMPARE(parser.evaluate(QString()), 0.0);
        QCOMPARE(parser.evaluate(QStringLiteral("3")), 3.0);
    }
};

QTEST_APPLESS_MAIN(TestMShapeParser)
#include "tst_mshapeparser.moc"

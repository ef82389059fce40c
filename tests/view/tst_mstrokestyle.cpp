#include "mstrokestyle.h"

#include <QSignalSpy>
#include <QTest>

class TestMStrokeStyle : public QObject
{
    Q_OBJECT

private slots:
    void strokeStylePens_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<double>("dashLength");
        QTest::addColumn<int>("penStyle");
        QTest::addColumn<QVector<qreal>>("pattern");
        QTest::newRow("dashes with lengths become custom") << int(MStrokeStyle::DashLine) << 5.0
                                                           << int(Qt::CustomDashLine) << QVector<qreal>{5, 5};
        QTest::newRow("dots with lengths too") << int(MStrokeStyle::DotLine) << 5.0 << int(Qt::CustomDashLine)
                                               << QVector<qreal>{5, 5};
        QTest::newRow("dash length 0 keeps the named pattern")
            << int(MStrokeStyle::DashLine) << 0.0 << int(Qt::DashLine) << QPen(Qt::DashLine).dashPattern();
        QTest::newRow("solid") << int(MStrokeStyle::SolidLine) << 5.0 << int(Qt::SolidLine) << QVector<qreal>();
        QTest::newRow("no line") << int(MStrokeStyle::NoStyle) << 5.0 << int(Qt::NoPen) << QVector<qreal>();
    }

    void strokeStylePens()
    {
        QFETCH(int, style);
        QFETCH(double, dashLength);
        QFETCH(int, penStyle);
        QFETCH(QVector<qreal>, pattern);
        MStrokeStyle s;
        QSignalSpy changed(&s, &MStrokeStyle::strokeStyleChanged);
        s.set_strokeStyle(style);
        s.set_strokeStyle(style);
        QCOMPARE(changed.count(), style == MStrokeStyle::SolidLine ? 0 : 1);
        s.set_dashLength(dashLength);
        s.set_strokeSize(2.5);
        s.set_strokeColor(Qt::blue);
        const QPen pen = s.pen();
        QCOMPARE(int(pen.style()), penStyle);
        QCOMPARE(pen.widthF(), 2.5);
        QCOMPARE(pen.color(), QColor(Qt::blue));
        if (penStyle != Qt::NoPen && penStyle != Qt::SolidLine)
            QCOMPARE(pen.dashPattern(), pattern);
    }
};

QTEST_GUILESS_MAIN(TestMStrokeStyle)
#include "tst_mstrokestyle.moc"

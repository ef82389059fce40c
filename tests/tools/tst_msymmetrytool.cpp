#include "mevent.h"
#include "msymmetrytool.h"
#include "mtestglcontext.h"
#include "mtesttool.h"
#include "mtestview.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The symmetry guide over the tool values of a real canvas view (never shown,
// so view and canvas positions agree).
namespace {
using Points = QVector<QPointF>;

using MTestTool::near;

QString text(const QPolygonF &points)
{
    QStringList parts;
    for (const QPointF &p : points)
        parts << MTestTool::text(p);
    return parts.join(QLatin1Char(' '));
}
} // namespace

class TestMSymmetryTool : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    std::unique_ptr<MSymmetryTool> tool;

    QImage overlay() { return MTestTool::overlay(tool.get(), QSize(700, 300)); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(100, 80)));
    }

    void init()
    {
        view.reset(new MWidget);
        view->resize(700, 300);
        MTools::instance()->set_widget(view.get());
        tool.reset(new MSymmetryTool(MTool::SymmetryTool));
        tool->activate(true);
    }

    void cleanup()
    {
        tool.reset();
        MTools::instance()->set_widget(nullptr);
        view.reset();
    }

    void startsOnTheViewsAxis()
    {
        QCOMPARE(tool->pointId(), int(MToolValues::SymmetryPoints));
        QCOMPARE(tool->points(), (Points{{0, 0}, {0, -200}}));
        QCOMPARE(tool->intValue(MToolValues::SymmetryNumber), 1);
    }

    void imagesOfAPoint_data()
    {
        QTest::addColumn<Points>("axis");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QPointF>("p");
        QTest::addColumn<Points>("images");
        const Points vertical{{0, 0}, {0, -200}};
        QTest::newRow("guide off") << vertical << 2 << false << QPointF(30, 50) << Points{{30, 50}};
        QTest::newRow("1: mirror") << vertical << 1 << true << QPointF(30, 50) << Points{{30, 50}, {-30, 50}};
        QTest::newRow("2: both axes") << vertical << 2 << true << QPointF(30, 50)
                                      << Points{{30, 50}, {-30, 50}, {-30, -50}, {30, -50}};
        QTest::newRow("4: quarter turns") << vertical << 4 << true << QPointF(10, 0)
                                          << Points{{10, 0}, {0, 10}, {-10, 0}, {0, -10}};
        QTest::newRow("3 about a moved centre") << Points{{100, 100}, {100, 0}} << 3 << true << QPointF(110, 100)
                                                << Points{{110, 100}, {95, 108.660254}, {95, 91.339746}};
        QTest::newRow("slanted axis") << Points{{0, 0}, {100, 100}} << 1 << true << QPointF(10, 0)
                                      << Points{{10, 0}, {0, 10}};
        QTest::newRow("2 about a moved centre") << Points{{50, 20}, {50, 0}} << 2 << true << QPointF(60, 30)
                                                << Points{{60, 30}, {40, 30}, {40, 10}, {60, 10}};
        QTest::newRow("no axis: through the centre") << Points{{5, 5}, {5, 5}} << 1 << true << QPointF(10, 5)
                                                     << Points{{10, 5}, {0, 5}};
        QTest::newRow("0") << vertical << 0 << true << QPointF(30, 50) << Points{{30, 50}};
        QTest::newRow("negative") << vertical << -3 << true << QPointF(30, 50) << Points{{30, 50}};
    }

    void imagesOfAPoint()
    {
        QFETCH(Points, axis);
        QFETCH(int, number);
        QFETCH(bool, shown);
        QFETCH(QPointF, p);
        QFETCH(Points, images);
        tool->setPoints(axis);
        tool->setSymmetryNumber(number);
        tool->activate(shown);
        const QPolygonF result = tool->symmetricPoints(p);
        QVERIFY2(result.size() == images.size(), qPrintable(text(result)));
        for (int i = 0; i < images.size(); ++i)
            QVERIFY2(near(result.at(i), images.at(i)), qPrintable(text(result)));
    }

    void numberSignalsOnlyChanges()
    {
        QSignalSpy spy(tool.get(), &MSymmetryTool::symmetryNumberChanged);
        tool->setSymmetryNumber(1);
        QCOMPARE(spy.count(), 0);
        tool->setSymmetryNumber(6);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 6);
        QCOMPARE(view->toolValues()->intValue(MToolValues::SymmetryNumber), 6);
    }

    void handlesTakePressesAndDrags_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QPointF>("pressAt");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<Points>("after");
        // Axis (100, 100) - (100, 50), handles of 12 view pixels, drag by (+40, +20).
        QTest::newRow("centre moves the axis") << false << QPointF(104, 96) << true << Points{{140, 120}, {140, 70}};
        QTest::newRow("second point turns it") << false << QPointF(100, 50) << true << Points{{100, 100}, {140, 70}};
        QTest::newRow("beside the handles") << false << QPointF(100, 75) << false << Points{{100, 100}, {100, 50}};
        QTest::newRow("locked") << true << QPointF(100, 100) << false << Points{{100, 100}, {100, 50}};
    }

    void handlesTakePressesAndDrags()
    {
        QFETCH(bool, locked);
        QFETCH(QPointF, pressAt);
        QFETCH(bool, taken);
        QFETCH(Points, after);
        tool->setPoints({QPointF(100, 100), QPointF(100, 50)});
        tool->set_locked(locked);
        QCOMPARE(tool->updateCursor(pressAt, 1.0), taken);
        QCOMPARE(tool->cursor().shape(), taken ? Qt::SizeAllCursor : Qt::ArrowCursor);
        MEvent press = MTestTool::leftSample(MEvent::Press, pressAt);
        QCOMPARE(tool->mousePressEvent(&press), taken);
        if (taken) {
            const QPointF grabbed = pressAt.y() > 75 ? QPointF(100, 100) : QPointF(100, 50);
            MEvent move = MTestTool::leftSample(MEvent::Move, grabbed + QPointF(40, 20));
            tool->mouseMoveEvent(&move);
        }
        QCOMPARE(tool->points(), after);
    }

    void hiddenGuidesTakeNoPress()
    {
        tool->activate(false);
        MEvent press = MTestTool::leftSample(MEvent::Press, QPointF(0, 0));
        QVERIFY(!tool->mousePressEvent(&press));
    }

    void drawsItsAxisOrRays_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<Points>("drawn");
        QTest::addColumn<Points>("empty");
        // Centre (300, 150), second point (300, 90): up from the centre.
        QTest::newRow("1: the axis both ways") << 1 << false << Points{{300, 120}, {300, 180}, {300, 150}}
                                               << Points{{330, 150}, {270, 150}};
        QTest::newRow("3: three rays") << 3 << false << Points{{300, 120}} << Points{{300, 180}, {330, 150}};
        QTest::newRow("4: a cross") << 4 << false << Points{{300, 120}, {300, 180}, {330, 150}, {270, 150}}
                                    << Points{{320, 130}};
        QTest::newRow("locked: no handles") << 1 << true << Points{{300, 120}} << Points{{304, 94}};
        QTest::newRow("unlocked: handles") << 1 << false << Points{{304, 94}} << Points{{330, 150}};
    }

    void drawsItsAxisOrRays()
    {
        QFETCH(int, number);
        QFETCH(bool, locked);
        QFETCH(Points, drawn);
        QFETCH(Points, empty);
        tool->setPoints({QPointF(300, 150), QPointF(300, 90)});
        tool->setSymmetryNumber(number);
        tool->set_locked(locked);
        const QImage image = overlay();
        for (const QPointF &p : drawn) {
            // Dashed lines: something within two pixels along the ray.
            bool found = false;
            for (int d = -3; d <= 3 && !found; ++d)
                found = qAlpha(image.pixel(p.toPoint() + QPoint(p.x() == 300 ? 0 : d, p.x() == 300 ? d : 0))) > 0;
            QVERIFY2(found, qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        }
        for (const QPointF &p : empty)
            QVERIFY2(qAlpha(image.pixel(p.toPoint())) == 0, qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        tool->activate(false);
        QImage blank(700, 300, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        QCOMPARE(overlay(), blank);
    }
};

QTEST_MAIN(TestMSymmetryTool)
#include "tst_msymmetrytool.moc"

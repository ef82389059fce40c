#include "mevent.h"
#include "mrullertool.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtesttool.h"
#include "mtestview.h"
#include "mtools.h"
#include "mtoolvalues.h"
#include "mwidget.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

// The ruler guide over the tool values of a real canvas view (never shown, so
// view and canvas positions agree) and its "RullerTool" settings group.
namespace {
using Points = QVector<QPointF>;

using MTestTool::near;
using MTestTool::text;

void store(const QString &key, const QVariant &value)
{
    MSettings::instance()->setValue(QStringLiteral("RullerTool/") + key, value);
}
} // namespace

class TestMRullerTool : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    std::unique_ptr<MRullerTool> tool;

    void makeTool()
    {
        tool.reset(new MRullerTool(MTool::RullerTool));
        tool->activate(true);
    }

    QImage overlay() { return MTestTool::overlay(tool.get(), QSize(700, 300)); }

    // Drags a handle from where it is to a canvas point.
    void dragHandle(int index, const QPointF &to)
    {
        MEvent press = MTestTool::leftSample(MEvent::Press, tool->point(index));
        QVERIFY(tool->mousePressEvent(&press));
        MEvent move = MTestTool::leftSample(MEvent::Move, to);
        tool->mouseMoveEvent(&move);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(100, 80)));
    }

    void init()
    {
        MSettings::instance()->remove(QStringLiteral("RullerTool"));
        MSettings::instance()->set_alignToGrid(false);
        MSettings::instance()->set_showInstructions(true);
        view.reset(new MWidget);
        view->resize(700, 300);
        MTools::instance()->set_widget(view.get());
        makeTool();
    }

    void cleanup()
    {
        tool.reset();
        MTools::instance()->set_widget(nullptr);
        view.reset();
    }

    void settingsAreReadWhenBuilt_data()
    {
        QTest::addColumn<QVariant>("storedStep");
        QTest::addColumn<QVariant>("storedUnit");
        QTest::addColumn<int>("angleStep");
        QTest::addColumn<int>("unit");
        QTest::newRow("nothing stored") << QVariant() << QVariant() << 5 << int(MRullerTool::Inch);
        QTest::newRow("stored") << QVariant(12) << QVariant(2) << 12 << int(MRullerTool::Pixel);
        QTest::newRow("step 0 would divide by zero") << QVariant(0) << QVariant(1) << 1 << int(MRullerTool::Centimeter);
        QTest::newRow("negative step") << QVariant(-30) << QVariant(0) << 1 << int(MRullerTool::Inch);
    }

    void settingsAreReadWhenBuilt()
    {
        QFETCH(QVariant, storedStep);
        QFETCH(QVariant, storedUnit);
        QFETCH(int, angleStep);
        QFETCH(int, unit);
        tool.reset();
        MSettings::instance()->remove(QStringLiteral("RullerTool"));
        if (storedStep.isValid())
            store(QStringLiteral("angleStep"), storedStep);
        if (storedUnit.isValid())
            store(QStringLiteral("unit"), storedUnit);
        makeTool();
        QCOMPARE(tool->angleStep(), angleStep);
        QCOMPARE(tool->unit(), unit);
        if (unit == MRullerTool::Pixel)
            QCOMPARE(tool->unitLength(), 1.0);
        else
            QVERIFY(tool->unitLength() > 1.0);
        // The points keep the view's own ruler.
        QCOMPARE(tool->pointId(), int(MToolValues::RullerPoints));
        QCOMPARE(tool->points(), (Points{{0, 0}, {400, 0}}));
    }

    void settingsAreWrittenWhenDestroyed()
    {
        tool->set_angleStep(15);
        tool->set_unit(MRullerTool::Centimeter);
        tool.reset();
        QCOMPARE(MSettings::instance()->value(QStringLiteral("RullerTool/angleStep")).toInt(), 15);
        QCOMPARE(MSettings::instance()->value(QStringLiteral("RullerTool/unit")).toInt(), 1);
    }

    void settersFollowTheConvention()
    {
        QSignalSpy steps(tool.get(), &MRullerTool::angleStepChanged);
        QSignalSpy units(tool.get(), &MRullerTool::unitChanged);
        tool->set_angleStep(5);
        tool->set_unit(MRullerTool::Inch);
        QCOMPARE(steps.count() + units.count(), 0);
        tool->set_angleStep(0);
        QCOMPARE(tool->angleStep(), 1);
        tool->set_unit(MRullerTool::Pixel);
        QCOMPARE(tool->unitLength(), 1.0);
        QCOMPARE(steps.count(), 1);
        QCOMPARE(units.count(), 1);
    }

    void unitLengths_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("length");
        QTest::newRow("inch") << int(MRullerTool::Inch) << 120.0 << 120.0;
        QTest::newRow("centimetre") << int(MRullerTool::Centimeter) << 127.0 << 50.0;
        QTest::newRow("pixel") << int(MRullerTool::Pixel) << 120.0 << 1.0;
        QTest::newRow("inch, screen without resolution") << int(MRullerTool::Inch) << 0.0 << 96.0;
        QTest::newRow("centimetre, no resolution") << int(MRullerTool::Centimeter) << 0.0 << 96.0 / 2.54;
        QTest::newRow("negative resolution") << int(MRullerTool::Inch) << -72.0 << 96.0;
        QTest::newRow("resolution not a number") << int(MRullerTool::Inch)
                                                 << std::numeric_limits<double>::quiet_NaN() << 96.0;
    }

    void unitLengths()
    {
        QFETCH(int, unit);
        QFETCH(double, dpi);
        QFETCH(double, length);
        QCOMPARE(MRullerTool::unitLengthFor(unit, dpi), length);
    }

    void draggingTheEndSnapsTheAngle_data()
    {
        QTest::addColumn<int>("angleStep");
        QTest::addColumn<bool>("grid");
        QTest::addColumn<QPointF>("target");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<QString>("hint");
        const double r = std::hypot(100.0, 100.0);
        const double pi = std::acos(-1.0);
        QTest::newRow("step 5") << 5 << false << QPointF(100, -100) << QPointF(100, -100)
                                << QStringLiteral("45° - 141.42 (px)");
        QTest::newRow("step 30") << 30 << false << QPointF(100, -100)
                                 << QPointF(r * std::cos(pi / 6), -r * std::sin(pi / 6))
                                 << QStringLiteral("30° - 141.42 (px)");
        QTest::newRow("step 1 (stored 0)") << 0 << false << QPointF(100, -100) << QPointF(100, -100)
                                           << QStringLiteral("45° - 141.42 (px)");
        QTest::newRow("snapped down below the horizon") << 90 << false << QPointF(-3, 4) << QPointF(-5, 0)
                                                        << QStringLiteral("180° - 5.00  (px)");
        QTest::newRow("grid-aligned") << 5 << true << QPointF(103, -98) << QPointF(100, -100)
                                      << QStringLiteral("45° - 141.42 (px)");
    }

    void draggingTheEndSnapsTheAngle()
    {
        QFETCH(int, angleStep);
        QFETCH(bool, grid);
        QFETCH(QPointF, target);
        QFETCH(QPointF, end);
        QFETCH(QString, hint);
        tool.reset();
        store(QStringLiteral("angleStep"), angleStep);
        store(QStringLiteral("unit"), int(MRullerTool::Pixel));
        makeTool();
        MSettings::instance()->set_alignToGrid(grid);
        tool->setPoints({QPointF(0, 0), QPointF(50, 0)});
        QSignalSpy texts(MTools::instance(), &MTools::showText);
        dragHandle(1, target);
        QVERIFY2(near(tool->point(1), end), qPrintable(text(tool->point(1))));
        QCOMPARE(tool->point(0), QPointF(0, 0));
        QCOMPARE(texts.count(), 1);
        QCOMPARE(texts.at(0).at(0).toString(), hint);
    }

    void hintsNameTheUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("inch") << int(MRullerTool::Inch) << QStringLiteral(" (inch)");
        QTest::newRow("centimetre") << int(MRullerTool::Centimeter) << QStringLiteral(" (cm)");
        QTest::newRow("pixel") << int(MRullerTool::Pixel) << QStringLiteral(" (px)");
    }

    void hintsNameTheUnit()
    {
        QFETCH(int, unit);
        QFETCH(QString, suffix);
        tool->set_unit(unit);
        QSignalSpy texts(MTools::instance(), &MTools::showText);
        dragHandle(1, QPointF(0, -254));
        QCOMPARE(texts.count(), 1);
        const QString hint = texts.at(0).at(0).toString();
        QVERIFY2(hint.startsWith(QStringLiteral("90° - ")) && hint.endsWith(suffix), qPrintable(hint));
        const double shown = hint.mid(6, hint.size() - 6 - suffix.size()).toDouble();
        QVERIFY2(std::abs(shown * tool->unitLength() - 254) < 0.01 * tool->unitLength(), qPrintable(hint));
    }

    void draggingTheOriginMovesTheRuler()
    {
        MSettings::instance()->set_alignToGrid(true);
        tool->setPoints({QPointF(100, 100), QPointF(200, 150)});
        dragHandle(0, QPointF(152, 38));
        QCOMPARE(tool->points(), (Points{{150, 40}, {250, 90}}));
    }

    void pressesAreTakenOnHandlesOnly_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QPointF>("pressAt");
        QTest::addColumn<int>("handle");
        QTest::newRow("origin") << false << true << QPointF(95, 105) << 0;
        QTest::newRow("end") << false << true << QPointF(200, 100) << 1;
        QTest::newRow("on the line, between") << false << true << QPointF(150, 100) << -1;
        QTest::newRow("locked") << true << true << QPointF(100, 100) << -1;
        QTest::newRow("hidden") << false << false << QPointF(100, 100) << -1;
    }

    void pressesAreTakenOnHandlesOnly()
    {
        QFETCH(bool, locked);
        QFETCH(bool, shown);
        QFETCH(QPointF, pressAt);
        QFETCH(int, handle);
        tool->setPoints({QPointF(100, 100), QPointF(200, 100)});
        tool->set_locked(locked);
        tool->activate(shown);
        MEvent press = MTestTool::leftSample(MEvent::Press, pressAt);
        QCOMPARE(tool->mousePressEvent(&press), handle != -1);
        if (handle != -1)
            QCOMPARE(tool->selectedPoint(), handle);
        QCOMPARE(tool->updateCursor(pressAt, 1.0), handle != -1);
        QCOMPARE(tool->cursor().shape(), handle != -1 ? Qt::SizeAllCursor : Qt::ArrowCursor);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(!tool->keyPressEvent(&key));
    }

    void alignsSegmentsToItsDirection_data()
    {
        QTest::addColumn<Points>("ruler");
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QPointF>("end");
        const Points horizontal{{0, 0}, {300, 0}};
        QTest::newRow("along") << horizontal << QLineF(10, 10, 20, 30) << QPointF(10 + std::hypot(10, 20), 10);
        QTest::newRow("away: reversed") << horizontal << QLineF(10, 10, -20, 5) << QPointF(10 - std::hypot(30, 5), 10);
        QTest::newRow("perpendicular") << horizontal << QLineF(10, 10, 10, 40) << QPointF(-20, 10);
        QTest::newRow("slanted ruler") << Points{{0, 0}, {30, 40}} << QLineF(0, 0, 10, 0) << QPointF(6, 8);
        QTest::newRow("ruler without length") << Points{{5, 5}, {5, 5}} << QLineF(10, 10, 20, 30) << QPointF(20, 30);
    }

    void alignsSegmentsToItsDirection()
    {
        QFETCH(Points, ruler);
        QFETCH(QLineF, segment);
        QFETCH(QPointF, end);
        tool->setPoints(ruler);
        const QLineF aligned = tool->alignToRuler(segment);
        QCOMPARE(aligned.p1(), segment.p1());
        QVERIFY2(near(aligned.p2(), end), qPrintable(text(aligned.p2())));
    }

    void colourShowsHorizontalAndVertical_data()
    {
        QTest::addColumn<QPointF>("direction");
        QTest::addColumn<bool>("green");
        const double pi = std::acos(-1.0);
        auto polar = [pi](double degrees) {
            return QPointF(100 * std::cos(degrees * pi / 180), -100 * std::sin(degrees * pi / 180));
        };
        QTest::newRow("0") << QPointF(100, 0) << true;
        QTest::newRow("45") << QPointF(100, -100) << false;
        QTest::newRow("90.5") << polar(90.5) << true;
        QTest::newRow("91.5") << polar(91.5) << false;
        QTest::newRow("180") << QPointF(-100, 0) << true;
        QTest::newRow("270") << QPointF(0, 100) << true;
    }

    void colourShowsHorizontalAndVertical()
    {
        QFETCH(QPointF, direction);
        QFETCH(bool, green);
        const QPointF origin(350, 150);
        tool->set_locked(true);
        tool->setPoints({origin, origin + direction});
        const QImage image = overlay();
        // Behind the origin only the line itself is drawn.
        const QPointF probe = origin - direction * 0.6;
        QRgb best = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QRgb pixel = image.pixel(probe.toPoint() + QPoint(dx, dy));
                if (qAlpha(pixel) > qAlpha(best))
                    best = pixel;
            }
        QVERIFY(qAlpha(best) > 100);
        QCOMPARE(qGreen(best) > qRed(best), green);
    }

    void ticksEveryUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("ticks");
        // Pixel: a tick every 20 canvas pixels, from the origin up to the end.
        QTest::newRow("100 pixels") << int(MRullerTool::Pixel) << 100.0 << 6;
        QTest::newRow("99 pixels") << int(MRullerTool::Pixel) << 99.0 << 5;
        QTest::newRow("no length") << int(MRullerTool::Pixel) << 0.0 << 0;
    }

    void ticksEveryUnit()
    {
        QFETCH(int, unit);
        QFETCH(double, length);
        QFETCH(int, ticks);
        tool->set_unit(unit);
        tool->set_locked(true);
        tool->setPoints({QPointF(100, 100), QPointF(100 + length, 100)});
        const QImage image = overlay();
        // Row 97 lies above the line, inside the ticks' 5 view pixels.
        int runs = 0;
        bool inside = false;
        for (int x = 80; x < 240; ++x) {
            const bool on = qAlpha(image.pixel(x, 97)) > 0;
            runs += on && !inside;
            inside = on;
        }
        QCOMPARE(runs, ticks);
    }

    void handlesUnlessLocked()
    {
        tool->setPoints({QPointF(100, 100), QPointF(200, 100)});
        QImage image = overlay();
        QCOMPARE(image.pixel(101, 101), MTool::handleColor.rgba());
        QCOMPARE(image.pixel(201, 101), MTool::selectedHandleColor.rgba());
        tool->set_locked(true);
        image = overlay();
        QVERIFY(image.pixel(101, 101) != MTool::handleColor.rgba());
        QVERIFY(image.pixel(201, 101) != MTool::selectedHandleColor.rgba());
        tool->activate(false);
        image = overlay();
        QCOMPARE(qAlpha(image.pixel(150, 100)), 0);
    }
};

QTEST_MAIN(TestMRullerTool)
#include "tst_mrullertool.moc"

#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mfilltool.h"
#include "mpatternlist.h"
#include "msettings.h"
#include "msliderspinbox.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtesttool.h"
#include "mtesttoolrig.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

using namespace MTestCanvas;

// The bucket in a real canvas view (never shown, so view and canvas
// positions agree). The document spans (-200, -150) to (199, 149); a closed
// square ring of paint surrounds an empty middle.
namespace {
const QRgb ink = qRgba(0, 0, 0, 255);
const QColor paint(20, 160, 40);
const QRect ringOuter(-50, -50, 100, 100);
const QPoint inside(0, 0);
const QPoint outside(-120, 0);
// A faint patch inside the ring: alpha 60 differs from the empty seed by 60.
const QRect patch(10, 10, 10, 10);
const QRgb faint = qRgba(60, 60, 60, 60);
} // namespace

class TestMFillTool : public MTestToolRig
{
    Q_OBJECT

public:
    TestMFillTool()
        : MTestToolRig(MTool::FillTool)
    {
    }

private:
    MFillTool *tool() const { return tools()->tool<MFillTool>(MTool::FillTool); }

    QRgb at(const QPoint &p) const
    {
        canvas()->makeCurrent();
        return pixelAt(canvas()->current(), p);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(400, 300)));
        MSettings::instance()->beginGroup(QStringLiteral("FillTool"));
        MSettings::instance()->remove(QString());
        MSettings::instance()->endGroup();
        MTestTool::initRegistry(&window, QStringLiteral("FillTool"));
        QVERIFY(tool());
        MColorList::instance()->setColor(paint);
    }

    void init()
    {
        openView(QSize(700, 500));
        tool()->set_threshold(125);
        tool()->clearPattern();
        tool()->set_usePatternColor(false);
        canvas()->makeCurrent();
        MTextureLayer *layer = canvas()->current();
        QVERIFY(layer);
        paintRect(layer, ringOuter, ink);
        paintRect(layer, ringOuter.adjusted(4, 4, -4, -4), 0);
        paintRect(layer, patch, faint);
        undo()->clear();
    }

    void cleanup() { closeView(); }

    void aClickFillsTheRegionAsOneStep()
    {
        QVERIFY(press(inside));
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Fill"));
        const QRgb filled = premultiplied(paint);
        QCOMPARE(at(inside), filled);
        QCOMPARE(at(QPoint(-45, 44)), filled);
        QCOMPARE(at(QPoint(-48, 0)), ink);
        QCOMPARE(at(outside), QRgb(0));
        canvas()->undo();
        QCOMPARE(at(inside), QRgb(0));
        QCOMPARE(at(QPoint(-48, 0)), ink);
        canvas()->redo();
        QCOMPARE(at(inside), filled);
        // The same colour again changes nothing and records nothing.
        QVERIFY(press(inside));
        QCOMPARE(undo()->count(), 1);
        QVERIFY(!QApplication::overrideCursor());
    }

    void clicksThatFillNothing_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("taken");
        QTest::newRow("outside the painted rectangle") << QPoint(300, 0) << int(Qt::LeftButton) << true;
        QTest::newRow("right button") << inside << int(Qt::RightButton) << false;
        QTest::newRow("middle button") << inside << int(Qt::MiddleButton) << false;
    }

    void clicksThatFillNothing()
    {
        QFETCH(QPoint, point);
        QFETCH(int, button);
        QFETCH(bool, taken);
        QCOMPARE(press(point, Qt::NoModifier, Qt::MouseButton(button)), taken);
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(at(inside), QRgb(0));
        QVERIFY(!QApplication::overrideCursor());
    }

    void thresholdDecidesWhatMatches_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("asDouble");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("patchFilled");
        QTest::newRow("below the patch") << 30.0 << false << 30 << false;
        QTest::newRow("above the patch") << 125.0 << false << 125 << true;
        QTest::newRow("exact") << 0.0 << false << 0 << false;
        // Past a byte the threshold stays at the widest, not its low byte.
        QTest::newRow("256") << 256.0 << false << 255 << true;
        QTest::newRow("negative") << -3.0 << false << 0 << false;
        QTest::newRow("from the bar, truncated") << 59.9 << true << 59 << false;
        QTest::newRow("from the bar, too large") << 300.7 << true << 255 << true;
    }

    void thresholdDecidesWhatMatches()
    {
        QFETCH(double, value);
        QFETCH(bool, asDouble);
        QFETCH(int, stored);
        QFETCH(bool, patchFilled);
        tool()->set_threshold(stored == 125 ? 10 : 125);
        QSignalSpy changed(tool(), &MFillTool::thresholdChanged);
        if (asDouble)
            tool()->setThreshold(value);
        else
            tool()->set_threshold(int(value));
        QCOMPARE(tool()->threshold(), stored);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), stored);
        QVERIFY(press(inside));
        QCOMPARE(at(inside), premultiplied(paint));
        QCOMPARE(qAlpha(at(patch.center())), patchFilled ? 255 : 60);
    }

    void patternsFillTheRegion()
    {
        MPatternItem *item = MPatternList::instance()->at(5);
        QVERIFY(item && !item->image().isNull());
        QSignalSpy changed(tool(), &MFillTool::patternImageChanged);
        tool()->setPattern(5);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tool()->patternImage(), item->image());
        QVERIFY(press(inside));
        // The pattern repeats from the document's top-left corner and
        // scales the colour by its alpha.
        const QImage pattern = item->image();
        const QRect painted = canvas()->paintedRect().toRect();
        int transparent = 0, opaque = 0;
        for (int y = -20; y < -10; ++y) {
            for (int x = -20; x < 0; ++x) {
                const QRgb source = pattern.pixel((x - painted.left()) % pattern.width(),
                                                  (y - painted.top()) % pattern.height());
                const QRgb got = at(QPoint(x, y));
                QCOMPARE(qAlpha(got), qAlpha(source));
                QCOMPARE(qGreen(got), paint.green() * qAlpha(source) / 255);
                (qAlpha(source) == 0 ? transparent : opaque) += 1;
            }
        }
        QVERIFY(transparent > 0 && opaque > 0);
        // "No pattern" and the clear command both announce a plain fill.
        tool()->setPattern(0);
        QVERIFY(tool()->patternImage().isNull());
        QCOMPARE(changed.count(), 2);
        tool()->setPattern(item->image());
        tool()->clearPattern();
        QCOMPARE(changed.count(), 4);
        tool()->setPattern(99);
        QCOMPARE(changed.count(), 4);
    }

    void patternsLoadFromFiles()
    {
        MTestFolder folder;
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const QString good = folder.filePath(QStringLiteral("dots.png"));
        QVERIFY(image.save(good));
        const QString bad = folder.writeFile(QStringLiteral("broken.png"), "not an image");
        QSignalSpy changed(tool(), &MFillTool::patternImageChanged);
        MTestDialogScript script;
        script.answerFile(good).answerFile(bad);
        tool()->loadPattern();
        QCOMPARE(script.requests().first().title, QStringLiteral("Images"));
        QCOMPARE(tool()->patternImage().size(), QSize(4, 4));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(MSettings::instance()->lastFilesDir(), QFileInfo(good).absolutePath());
        // A file that does not load leaves the pattern.
        tool()->loadPattern();
        QCOMPARE(tool()->patternImage().size(), QSize(4, 4));
        // Cancelled: nothing.
        tool()->loadPattern();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(script.requests().size(), 3);
    }

    void optionBarDrivesTheTool()
    {
        QToolBar *bar = tools()->toolBar(MTool::FillTool);
        QVERIFY(bar);
        auto *threshold = window.findChild<MSliderSpinbox *>(QStringLiteral("fillThresholdEdit"));
        auto *patterns = window.findChild<QComboBox *>(QStringLiteral("patternBox"));
        auto *colors = window.findChild<QCheckBox *>(QStringLiteral("usePatternColorBox"));
        QVERIFY(threshold && patterns && colors);
        QCOMPARE(threshold->minimum(), 1.0);
        QCOMPARE(threshold->maximum(), 255.0);
        QVERIFY(!threshold->isPercentage());
        QVERIFY(threshold->sliderTracking());
        QCOMPARE(threshold->maximumWidth(), 150);
        threshold->set_value(40);
        QCOMPARE(tool()->threshold(), 40);
        threshold->set_value(400);
        QCOMPARE(tool()->threshold(), 255);

        MPatternList *list = MPatternList::instance();
        QCOMPARE(patterns->count(), list->count());
        QCOMPARE(patterns->itemText(0), QStringLiteral("No pattern"));
        QCOMPARE(patterns->itemText(7), QStringLiteral("Chess board 2"));
        QVERIFY(!patterns->itemIcon(7).isNull());
        emit patterns->activated(2);
        QCOMPARE(tool()->patternImage(), list->at(2)->image());
        emit patterns->activated(0);
        QVERIFY(tool()->patternImage().isNull());

        colors->setChecked(true);
        QVERIFY(tool()->usePatternColor());
        colors->setChecked(false);
        QVERIFY(!tool()->usePatternColor());

        QStringList texts;
        for (QAction *action : bar->actions())
            texts << action->text() + QLatin1Char('|') + action->toolTip();
        QVERIFY(texts.contains(QStringLiteral("Load pattern|Load a pattern file")));
        QVERIFY(texts.contains(QStringLiteral("Clear pattern|Clear pattern")));
        tool()->setPattern(3);
        for (QAction *action : bar->actions()) {
            if (action->text() == QLatin1String("Clear pattern"))
                action->trigger();
        }
        QVERIFY(tool()->patternImage().isNull());

        QVERIFY(!bar->isHidden());
        tools()->activate(MTool::BrushTool, true);
        QVERIFY(bar->isHidden());
        tools()->activate(MTool::FillTool, true);
        QVERIFY(!bar->isHidden());
    }

    void bucketAndWandShowACross_data()
    {
        QTest::addColumn<int>("toolId");
        QTest::newRow("bucket") << int(MTool::FillTool);
        QTest::newRow("wand") << int(MTool::FillSelectionTool);
    }

    void bucketAndWandShowACross()
    {
        QFETCH(int, toolId);
        MTool *t = tools()->tool(toolId);
        QVERIFY(t);
        QVERIFY(t->updateCursor(QPointF(10, 10), 1.0));
        QCOMPARE(t->cursor().shape(), Qt::CrossCursor);
    }

    void thresholdIsKeptInTheSettings()
    {
        {
            MFillTool first(MTool::FillTool);
            first.set_threshold(77);
        }
        QCOMPARE(MFillTool(MTool::FillTool).threshold(), 77);
        MSettings::instance()->setValue(QStringLiteral("FillTool/threshold"), 512.5);
        QCOMPARE(MFillTool(MTool::FillTool).threshold(), 255);
    }
};

QTEST_MAIN(TestMFillTool)
#include "tst_mfilltool.moc"

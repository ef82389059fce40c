// The time line: its tick, the frame steps and the export of the frames.

#include "dtimeline.h"
#include "mcanvas.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace MTestCanvas;

namespace {
const QRgb colours[] = {qRgba(250, 0, 0, 255), qRgba(0, 250, 0, 255), qRgba(0, 0, 250, 255)};
}

class TestTimeLine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    std::unique_ptr<MTestFolder> folder;

    MCanvas *canvas() const { return window->view()->canvas(); }

    // A document of the given number of layers, layer k painted with colours[k] at its middle.
    void layers(int count)
    {
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        for (int row = 0; row < count; ++row) {
            if (row > 0)
                c->appendLayer();
            paintRect(c->at(row), QRect(c->paintedRect().center().toPoint(), QSize(6, 6)), colours[row]);
        }
    }

    DTimeLine *timeLine()
    {
        window->findChild<QAction *>(QStringLiteral("actionTimeLine"))->trigger();
        return window->findChild<DTimeLine *>();
    }

    template <class T>
    T *child(const char *name)
    {
        return window->findChild<DTimeLine *>()->findChild<T *>(QLatin1String(name));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        window = MTestMainWindow::open(QSize(40, 30), QSize(900, 700));
        QVERIFY(window);
    }

    void init() { folder.reset(new MTestFolder); }

    void cleanup()
    {
        if (DTimeLine *line = window->findChild<DTimeLine *>())
            line->close();
    }

    void cleanupTestCase() { window.reset(); }

    void opensInTimeLineMode()
    {
        layers(1);
        DTimeLine *line = timeLine();
        QVERIFY(line && line->isVisible());
        QVERIFY(window->view()->timeLineMode());
        line->close();
        QVERIFY(!window->view()->timeLineMode());
        QCOMPARE(timeLine(), line);
    }

    void tick_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("interval");
        QTest::newRow("15 / 1000") << 15 << 1000 << 66;
        // Never a zero tick, which would spin the event loop.
        QTest::newRow("60 / 10") << 60 << 10 << 1;
        QTest::newRow("duration below the floor") << 1 << 3 << 10;
    }

    void tick()
    {
        QFETCH(int, rate);
        QFETCH(int, duration);
        QFETCH(int, interval);
        layers(1);
        DTimeLine *line = timeLine();
        line->setFrameRate(15);
        line->setIntervalDuration(1000);
        QSignalSpy durations(line, &DTimeLine::intervalDurationChanged);
        child<QSpinBox>("frameRateSb")->setValue(rate);
        line->setIntervalDuration(duration);
        QCOMPARE(line->timerInterval(), interval);
        QCOMPARE(durations.count(), duration == 1000 ? 0 : 1);
    }

    void slider_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("background");
        QTest::addColumn<int>("maximum");
        QTest::newRow("one layer") << 1 << false << -1;
        QTest::newRow("two, first as background") << 2 << true << -1;
        QTest::newRow("three") << 3 << false << 2;
        QTest::newRow("three, first as background") << 3 << true << 1;
    }

    void slider()
    {
        QFETCH(int, count);
        QFETCH(bool, background);
        QFETCH(int, maximum);
        layers(count);
        DTimeLine *line = timeLine();
        line->set_firstLayerAsBackground(background);
        line->setCount(canvas()->count());
        auto *slider = child<QSlider>("layerSlider");
        QCOMPARE(slider->isEnabled(), maximum > 0);
        if (maximum > 0) {
            QCOMPARE(slider->maximum(), maximum);
            slider->setValue(1);
            QCOMPARE(canvas()->currentRow(), count - 2);
        }
        line->set_firstLayerAsBackground(false);
    }

    // Layers added and removed while the time line is open reach its slider.
    void sliderFollowsTheLayerCount()
    {
        layers(1);
        DTimeLine *line = timeLine();
        line->setCount(canvas()->count());
        auto *slider = child<QSlider>("layerSlider");
        QVERIFY(!slider->isEnabled());
        for (int maximum : {1, 2}) {
            QVERIFY(canvas()->appendLayer());
            QVERIFY(slider->isEnabled());
            QCOMPARE(slider->maximum(), maximum);
        }
        canvas()->removeLayer(2);
        QCOMPARE(slider->maximum(), 1);
        canvas()->removeLayer(1);
        QVERIFY(!slider->isEnabled());
    }

    void steps_data()
    {
        QTest::addColumn<bool>("background");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("to");
        QTest::newRow("forward") << false << 2 << "playForwardBtn" << 1;
        QTest::newRow("forward wraps") << false << 0 << "playForwardBtn" << 2;
        QTest::newRow("forward wraps over the background") << true << 1 << "playForwardBtn" << 2;
        QTest::newRow("backward wraps") << false << 2 << "playBackwardBtn" << 0;
        QTest::newRow("backward wraps to the background's upper") << true << 2 << "playBackwardBtn" << 1;
        QTest::newRow("skip forward") << true << 2 << "skipForwardBtn" << 1;
        QTest::newRow("skip backward") << false << 0 << "skipBackwardBtn" << 2;
        QTest::newRow("stop") << false << 0 << "stopBtn" << 2;
    }

    void steps()
    {
        QFETCH(bool, background);
        QFETCH(int, from);
        QFETCH(QString, button);
        QFETCH(int, to);
        layers(3);
        DTimeLine *line = timeLine();
        line->set_firstLayerAsBackground(background);
        canvas()->setCurrentRow(from);
        line->findChild<QToolButton *>(button)->click();
        QCOMPARE(canvas()->currentRow(), to);
        line->set_firstLayerAsBackground(false);
    }

    void timerPlaysForward()
    {
        layers(3);
        DTimeLine *line = timeLine();
        line->setFrameRate(60);
        line->setIntervalDuration(600);
        canvas()->setCurrentRow(2);
        child<QToolButton>("runBtn")->setChecked(true);
        QTRY_COMPARE(canvas()->currentRow(), 0);
        child<QToolButton>("stopBtn")->click();
        QVERIFY(!child<QToolButton>("runBtn")->isChecked());
        QCOMPARE(canvas()->currentRow(), 2);
    }

    // Frames are numbered from the top row down, or from row 0 up in reverse.
    void exportFrames_data()
    {
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("in order") << false << QList<int>{2, 1, 0};
        QTest::newRow("reverse") << true << QList<int>{0, 1, 2};
    }

    void exportFrames()
    {
        QFETCH(bool, reverse);
        QFETCH(QList<int>, rows);
        layers(3);
        timeLine();
        const QString out = folder->filePath(QStringLiteral("out"));
        child<QLineEdit>("directoryEdit")->setText(out);
        child<QLineEdit>("prefixEdit")->setText(QStringLiteral(" frame- "));
        child<QCheckBox>("cbDateTime")->setChecked(false);
        child<QCheckBox>("reverseOrderCb")->setChecked(reverse);
        MTestDialogScript script;
        script.answer(0); // create the folder
        child<QToolButton>("saveBtn")->click();
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().last().text, QStringLiteral("Export done."));
        const QPoint middle = canvas()->paintedRect().center().toPoint() - canvas()->paintedRect().topLeft().toPoint()
                              + QPoint(2, 2);
        for (int k = 0; k < 3; ++k) {
            const QImage frame(QStringLiteral("%1/frame-%2.png").arg(out).arg(k + 1, 4, 10, QLatin1Char('0')));
            QVERIFY2(!frame.isNull(), qPrintable(QString::number(k)));
            QCOMPARE(frame.pixel(middle), colours[rows.at(k)]);
        }
        QVERIFY(!QFile::exists(out + QStringLiteral("/frame-0004.png")));
    }

    void exportRefusals()
    {
        layers(2);
        timeLine();
        child<QCheckBox>("cbDateTime")->setChecked(false);
        {
            child<QLineEdit>("directoryEdit")->setText(QStringLiteral("  "));
            MTestDialogScript script;
            child<QToolButton>("saveBtn")->click();
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().first().text, QStringLiteral("Please enter a directory."));
        }
        {
            child<QLineEdit>("directoryEdit")->setText(folder->filePath(QStringLiteral("later")));
            MTestDialogScript script;
            script.answer(1); // cancel
            child<QToolButton>("saveBtn")->click();
            QCOMPARE(script.requests().size(), 1);
            QVERIFY(!QFile::exists(folder->filePath(QStringLiteral("later"))));
        }
        {
            // A folder that cannot be made: under a file.
            const QString file = folder->writeFile(QStringLiteral("plain"), "x");
            child<QLineEdit>("directoryEdit")->setText(file + QStringLiteral("/sub"));
            MTestDialogScript script;
            script.answer(0);
            child<QToolButton>("saveBtn")->click();
            QCOMPARE(script.requests().size(), 2);
            QVERIFY(script.requests().last().text != QStringLiteral("Export done."));
            QCOMPARE(script.requests().last().icon, QMessageBox::Critical);
            // The painter is told why, in the words that were logged.
            const QString why = script.requests().last().informativeText;
            QVERIFY2(why.startsWith(QStringLiteral("System error: Unable to export layers to"))
                         && why.endsWith(QStringLiteral("no such folder.")),
                     qPrintable(why));
        }
    }
};

QTEST_MAIN(TestTimeLine)
#include "tst_dtimeline.moc"

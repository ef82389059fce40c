#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "msavefile.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfilesizelimit.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mwidget.h"

#include <QAction>
#include <QFile>
#include <QTest>
#include <QUndoStack>

#include <memory>

// What a painter keeps through the real window whatever the name typed, a
// save that was killed, or a full disk: the document opens again, nothing is
// left beside it, and the settings file stays whole.
namespace {
constexpr int W = 300;
constexpr int H = 200;
} // namespace

class TestNothingLostEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    std::unique_ptr<MTestFolder> folder;

    MCanvas *canvas() const { return window->view()->canvas(); }
    QImage layerPixels() const { return MTestMainWindow::layerPixels(canvas()); }

    void openWindow()
    {
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1000, 700)));
        QVERIFY(MTestMainWindow::focusView(window->view()));
    }

    // The keys of a command, typed into the focused window.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QVERIFY(MTestMainWindow::focusView(window->view()));
        QTest::keyClick(window->view(), key, modifiers);
    }

    // A stroke with the mouse, saved under the name the painter types.
    QImage paintAndSaveAs(const QString &typed)
    {
        MColorList::instance()->setColor(QColor(30, 120, 200));
        if (!MTestMainWindow::drag(window->view(), QPointF(-100, -50), QPointF(100, 50)))
            return QImage();
        const QImage painted = layerPixels();
        MTestDialogScript script;
        script.answerFile(folder->filePath(typed));
        type(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        if (script.requests().size() != 1 || canvas()->isModified())
            return QImage();
        return painted;
    }

    // The file opened through File > Open, as the painter names it.
    void openThroughTheCommand(const QString &path)
    {
        MTestDialogScript script;
        script.answerFile(path);
        type(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).kind, MUtility::FileDialog);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:

    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(W, H))); }

    void init()
    {
        folder.reset(new MTestFolder());
        openWindow();
    }

    void cleanup()
    {
        if (window)
            canvas()->undoStack()->setClean();
        window.reset();
        folder.reset();
    }

    // A document saved under any name opens again by the same command; a
    // name typed without a suffix gets the document's.
    void documentReopensUnderAnyName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("mistyped suffix") << "new-document.kxd0fp" << "new-document.kxd0fp";
        QTest::newRow("image suffix") << "drawing.png" << "drawing.png";
        QTest::newRow("no suffix") << "drawing" << "drawing.kxd";
    }

    void documentReopensUnderAnyName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        const QImage painted = paintAndSaveAs(typed);
        QVERIFY(!painted.isNull());
        const QString path = folder->filePath(saved);
        QCOMPARE(canvas()->fileName(), path);
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList{saved});

        // A fresh window, then the document through File > Open.
        window.reset();
        openWindow();
        QCOMPARE(MTestMainWindow::paintedPixels(layerPixels()), 0);
        const QColor paper = MTestMainWindow::shownAt(window->view(), QPointF(0, 0));
        openThroughTheCommand(path);
        QCOMPARE(canvas()->fileName(), path);
        QVERIFY(!canvas()->isNew());
        QCOMPARE(layerPixels(), painted);
        // The stroke shows where the paper was.
        QVERIFY(MTestMainWindow::shownAt(window->view(), QPointF(0, 0)) != paper);
        MTestScreenshot::keep(window->grab(), QStringLiteral("reopened-%1.png").arg(saved));
    }

    // A name without a suffix whose document name exists already: the
    // painter is asked before that file is replaced.
    void addedSuffixAsksBeforeReplacing()
    {
        folder->writeFile(QStringLiteral("drawing.kxd"), "older work");
        QVERIFY(MTestMainWindow::drag(window->view(), QPointF(-100, -50), QPointF(100, 50)));
        MTestDialogScript script;
        script.answerFile(folder->filePath(QStringLiteral("drawing"))).answer(0);
        type(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().at(1).kind, MUtility::ConfirmationDialog);
        QCOMPARE(folder->readFile(QStringLiteral("drawing.kxd")), QByteArray("older work"));
        QVERIFY(canvas()->isModified());
    }

    // A save killed half-way left "<name>.kalmisave" beside the document:
    // opening the document removes it, and the document is the one saved.
    void openingRemovesALeftoverSave()
    {
        const QImage painted = paintAndSaveAs(QStringLiteral("work.kxd"));
        QVERIFY(!painted.isNull());
        const QString path = folder->filePath(QStringLiteral("work.kxd"));
        const QString leftover = MSaveFile::temporaryPath(path);
        QCOMPARE(leftover, path + QStringLiteral(".kalmisave"));
        QByteArray cut = folder->readFile(QStringLiteral("work.kxd"));
        cut.truncate(cut.size() / 2);
        folder->writeFile(QStringLiteral("work.kxd.kalmisave"), cut);

        window.reset();
        openWindow();
        MTestLogWatch log;
        openThroughTheCommand(path);
        QCOMPARE(layerPixels(), painted);
        QVERIFY(!QFileInfo::exists(leftover));
        QCOMPARE(log.count(QStringLiteral("Removed ") + leftover), 1);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList{"work.kxd"});
    }

    // With the disk full, a preference changed in the window is not saved:
    // the painter is told once, the settings file keeps every key it had,
    // and the change is saved once there is room.
    void settingsSurviveAFullDisk()
    {
        MSettings *settings = MSettings::instance();
        // A file larger than the log, so that only the settings meet the limit.
        settings->setValue(QStringLiteral("padding"), QString(40000, QLatin1Char('p')));
        settings->sync();
        const QString path = settings->fileName();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(before.size() > 40000);
        QAction *tiles = window->findChild<QAction *>(QStringLiteral("actionDraw_tiles"));
        QVERIFY(tiles && tiles->isCheckable());
        const bool shown = settings->drawTiles();

        MTestDialogScript script;
        {
            MTestFileSizeLimit full(30000);
            QVERIFY(full.isActive());
            tiles->trigger();
            QCOMPARE(settings->drawTiles(), !shown);
            QTest::qWait(100);
            tiles->trigger();
            tiles->trigger();
            QTest::qWait(100);
        }
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).icon, QMessageBox::Warning);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();

        // Room again: the next change is saved with the rest.
        QTest::qWait(100);
        settings->sync();
        // Read as the framework reads a file it never saw.
        const QString copy = folder->filePath(QStringLiteral("copy.conf"));
        QVERIFY(QFile::copy(path, copy));
        QSettings reread(copy, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("drawTiles")).toBool(), !shown);
        QCOMPARE(reread.value(QStringLiteral("padding")).toString().size(), 40000);
        settings->remove(QStringLiteral("padding"));
    }
};

QTEST_MAIN(TestNothingLostEndToEnd)
#include "tst_nothinglostendtoend.moc"

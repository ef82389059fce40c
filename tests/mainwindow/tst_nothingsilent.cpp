#include "dshader.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mfilltool.h"
#include "mmainwindow.h"
#include "mquickfill.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mutility.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMap>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

#include <functional>
#include <memory>

// What the real window says when a painter's command cannot do all it
// should, and the commands that must record nothing when they change nothing.
namespace {
using MTestModalDriver::whileOpen;
constexpr int W = 2400;
constexpr int H = 1800;


QString describe(const QList<MUtility::DialogRequest> &requests)
{
    QStringList texts;
    for (const MUtility::DialogRequest &request : requests)
        texts << request.text;
    return texts.join(QStringLiteral(" | "));
}
} // namespace

class TestNothingSilent : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    MCanvas *canvas() const { return window->view()->canvas(); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1200, 800));
        QVERIFY(window);
        QVERIFY(MTestMainWindow::focusView(window->view()));
    }

    void cleanupTestCase()
    {
        canvas()->undoStack()->setClean();
        window.reset();
    }

    // No program to show the help file: the painter is told, not left waiting.
    void helpWithoutAViewerSaysSo()
    {
        // The help file is there; only a program to show it is missing.
        QVERIFY(QFileInfo::exists(MUtility::helpPath() + QStringLiteral("KalmiDraw.pdf"))
                || QFileInfo::exists(MUtility::helpDirectory(QStringLiteral("en")) + QStringLiteral("KalmiDraw.pdf")));
        MTestFolder emptyPath;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", emptyPath.path().toLocal8Bit());
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
        MTestDialogScript script;
        action("actionHelp_index")->trigger();
        qputenv("PATH", path);
        QCOMPARE(script.requests().size(), 1);
        const MUtility::DialogRequest &told = script.requests().first();
        QCOMPARE(told.kind, MUtility::MessageDialog);
        QCOMPARE(told.icon, QMessageBox::Warning);
        QVERIFY2(told.text.contains(QStringLiteral("KalmiDraw.pdf")), qPrintable(told.text));
    }

    // A bucket fill that reaches its time limit keeps what it filled, as one
    // step, and says why it stopped.
    void fillStoppedAtItsLimitKeepsWhatItFilled()
    {
        auto *fillAction = action("actionFillTool");
        QVERIFY(fillAction);
        QWidget *button = window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(fillAction);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::FillTool));
        auto *tool = MTools::instance()->tool<MFillTool>(MTool::FillTool);
        // Stopped after two batches of runs, however fast the machine.
        tool->engine()->setStopAtClockReading(3);
        MColorList::instance()->setColor(QColor(220, 120, 20));
        const int steps = canvas()->undoStack()->count();
        MTestDialogScript script;
        QVERIFY(MTestMainWindow::drag(window->view(), QPointF(0, 0), QPointF(0, 0), 1));
        tool->engine()->setStopAtClockReading(0);
        const QImage pixels = MTestMainWindow::layerPixels(canvas());
        const int painted = MTestMainWindow::paintedPixels(pixels);
        QCOMPARE(script.requests().size(), 1);
        QVERIFY2(script.requests().first().text.contains(QStringLiteral("time limit")), qPrintable(describe(script.requests())));
        QVERIFY2(script.requests().first().text.contains(QStringLiteral("kept")), qPrintable(describe(script.requests())));
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        QCOMPARE(canvas()->undoStack()->text(steps), QStringLiteral("Fill"));
        const QPoint origin = -canvas()->paintedRect().topLeft().toPoint();
        QCOMPARE(pixels.pixelColor(origin), QColor(220, 120, 20));
        QVERIFY(painted > 0);
        QVERIFY(painted < W * H);
        QTest::qWait(200);
        MTestScreenshot::keep(window->grab(), QStringLiteral("fill-stopped.png"));
        canvas()->undoStack()->undo();
        QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas())), 0);
    }

    // "Adjust paper to selection" records nothing when it changes nothing.
    void adjustPaperThatChangesNothingRecordsNothing_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::newRow("nothing selected") << "actionResetSelection";
        QTest::newRow("the whole paper selected") << "actionSelectAll";
    }

    void adjustPaperThatChangesNothingRecordsNothing()
    {
        QFETCH(QString, selection);
        action(selection.toLatin1().constData())->trigger();
        const int steps = canvas()->undoStack()->count();
        const QRectF paper = canvas()->paintedRect();
        action("actionAdjustPaperToSelection")->trigger();
        QCOMPARE(canvas()->undoStack()->count(), steps);
        QCOMPARE(canvas()->paintedRect(), paper);
        action("actionResetSelection")->trigger();
    }

    // The preferences list each command once, whatever editor windows the
    // main window opened before.
    void shortcutListShowsEachCommandOnce()
    {
        // The effect editor, once opened, has its own Undo, Redo, Copy...
        MShaderList *effects = MShaderList::instance();
        int effect = 0;
        while (effect < effects->count() && effects->shaderAt(effect)->type() != MShader::EffectShader)
            ++effect;
        QVERIFY(effect < effects->count());
        effects->setCurrentRow(effect);
        {
            MTestDialogScript script;
            script.answer(0);
            action("actionEditShader")->trigger();
        }
        QVERIFY(window->shaderEditor());
        window->shaderEditor()->close();

        QMap<QString, int> rows;
        QVERIFY(whileOpen([this] { action("actionEditSettings")->trigger(); }, [&](QDialog *dialog) {
            auto *view = dialog->findChild<QTableView *>(QStringLiteral("shortcutView"));
            QVERIFY(view);
            const QAbstractItemModel *model = view->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < model->columnCount(); ++column) {
                    const QString cell = model->index(row, column).data().toString();
                    if (!cell.isEmpty())
                        cells << cell;
                }
                ++rows[cells.join(QStringLiteral(" / "))];
            }
        }));
        QVERIFY(rows.size() > 50);
        QStringList twice;
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            // Rows without a shortcut may share a description (each option
            // bar has its "Select"); a key shown twice is one command twice.
            if (it.value() > 1 && it.key().contains(QStringLiteral(" / ")))
                twice << it.key();
        }
        QCOMPARE(rows.value(QStringLiteral("Redo / Ctrl+Y")), 1);
        QVERIFY2(twice.isEmpty(), qPrintable(twice.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(TestNothingSilent)
#include "tst_nothingsilent.moc"

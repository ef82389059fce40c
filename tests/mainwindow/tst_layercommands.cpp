#include "mcanvas.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace MTestCanvas;

namespace {
constexpr int W = 300;
constexpr int H = 200;
const QRgb red = qRgba(200, 20, 20, 255);
const QRgb blue = qRgba(20, 30, 210, 255);
} // namespace

// The layer, paper and view commands of the main window, driven through
// their actions on a two-layer document: red on the lower layer, blue on the
// upper one, the upper one current.
class TestLayerCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MCanvas *canvas() const { return window->view()->canvas(); }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }

    QPoint redPoint() const { return canvas()->paintedRect().toRect().topLeft() + QPoint(10, 10); }
    QPoint bluePoint() const { return canvas()->paintedRect().toRect().bottomRight() - QPoint(10, 10); }

    // One word per layer, bottom first: its colours ("r", "b", "rb" or "-"),
    // then "h" when hidden and "l" when locked; "*" marks the current layer.
    QString layers() const
    {
        MCanvas *c = canvas();
        c->makeCurrent();
        QStringList words;
        for (int row = 0; row < c->count(); ++row) {
            MTextureLayer *layer = c->at(row);
            QString word;
            if (pixelAt(layer, redPoint()) == red)
                word += QLatin1Char('r');
            if (pixelAt(layer, bluePoint()) == blue)
                word += QLatin1Char('b');
            if (word.isEmpty())
                word = QStringLiteral("-");
            if (!layer->visible())
                word += QLatin1Char('h');
            if (layer->locked())
                word += QLatin1Char('l');
            if (row == c->currentRow())
                word += QLatin1Char('*');
            words.append(word);
        }
        return words.join(QLatin1Char(' '));
    }

    void twoLayers()
    {
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        paintRect(c->at(0), QRect(redPoint() - QPoint(5, 5), QSize(20, 20)), red);
        c->appendLayer();
        paintRect(c->at(1), QRect(bluePoint() - QPoint(5, 5), QSize(20, 20)), blue);
        c->undoStack()->clear();
        QCOMPARE(layers(), QStringLiteral("r b*"));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        window = MTestMainWindow::open(QSize(W, H), QSize(1000, 700));
        QVERIFY(window);
    }

    void cleanupTestCase() { window.reset(); }

    // Over two layers, the top one current, so that each can act.
    void builtCommandsAreEnabled()
    {
        twoLayers();
        const QStringList built{"actionNewLayer", "actionDuplicateLayer", "actionMergeLayerWithLower",
                                "actionIncreasePaperSize", "actionFlipHorizontal", "actionPaper_auto_extension"};
        for (const QString &name : built) {
            QVERIFY2(!MMainWindow::pendingCommands().contains(name), qPrintable(name));
            QVERIFY2(action(name)->isEnabled(), qPrintable(name));
        }
    }

    void layerCommands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("undoable");

        QTest::newRow("new") << "actionNewLayer" << "r b -*" << true;
        QTest::newRow("prepend") << "actionPrependLayer" << "-* r b" << true;
        QTest::newRow("duplicate") << "actionDuplicateLayer" << "r b b*" << true;
        QTest::newRow("remove") << "actionRemoveLayer" << "r*" << true;
        QTest::newRow("show") << "actionShowLayer" << "r bh*" << true;
        QTest::newRow("lock") << "actionLockLayer" << "r bl*" << true;
        QTest::newRow("merge lower") << "actionMergeLayerWithLower" << "rb*" << true;
        QTest::newRow("merge upper (top layer)") << "actionMergeLayerWithUpper" << "r b*" << false;
        // Up is towards the last row, the layer drawn over the others.
        QTest::newRow("move up (top layer)") << "actionMoveLayerUp" << "r b*" << false;
        QTest::newRow("move down") << "actionMoveLayerDown" << "b* r" << true;
        QTest::newRow("hide except") << "actionHideLayersExcept" << "rh b*" << true;
        QTest::newRow("hide all") << "actionHideAllLayers" << "rh bh*" << true;
        QTest::newRow("lock all") << "actionLockAllLayers" << "rl bl*" << true;
        QTest::newRow("previous") << "actionPreviousLayer" << "r* b" << false;
        QTest::newRow("next wraps") << "actionNextLayer" << "r* b" << false;
    }

    // Each command's effect on the layers, and the one undo step that takes
    // it back and brings it again.
    void layerCommands()
    {
        QFETCH(QString, name);
        QFETCH(QString, after);
        QFETCH(bool, undoable);
        twoLayers();
        QUndoStack *stack = canvas()->undoStack();

        action(name)->trigger();
        QCOMPARE(layers(), after);
        QCOMPARE(stack->count(), undoable ? 1 : 0);
        if (!undoable)
            return;
        // Undo restores the layers; which one is current is the document's choice.
        stack->undo();
        QCOMPARE(layers().remove(QLatin1Char('*')), QStringLiteral("r b"));
        stack->redo();
        QCOMPARE(layers().remove(QLatin1Char('*')), after.remove(QLatin1Char('*')));
    }

    // Show, unlock and removal of empty layers need the opposite state first.
    void restoringCommands()
    {
        twoLayers();
        action("actionHideAllLayers")->trigger();
        action("actionLockAllLayers")->trigger();
        action("actionNewLayer")->trigger();
        QCOMPARE(layers(), QStringLiteral("rhl bhl -*"));
        action("actionShowAllLayers")->trigger();
        action("actionUnlockAllLayers")->trigger();
        QCOMPARE(layers(), QStringLiteral("r b -*"));
        action("actionRemoveEmptyLayers")->trigger();
        QCOMPARE(layers().remove(QLatin1Char('*')), QStringLiteral("r b"));
        canvas()->undoStack()->undo();
        QCOMPARE(canvas()->count(), 3);
    }

    void guardedCommands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("guarded");
        const QStringList guarded{"actionDuplicateLayer", "actionRemoveLayer", "actionShowLayer",
                                  "actionLockLayer", "actionMergeLayerWithLower", "actionMergeLayerWithUpper",
                                  "actionMoveLayerUp", "actionMoveLayerDown", "actionHideLayersExcept"};
        for (const QString &name : guarded)
            QTest::newRow(qPrintable(name)) << name << true;
        QTest::newRow("actionNewLayer") << "actionNewLayer" << false;
        QTest::newRow("actionHideAllLayers") << "actionHideAllLayers" << false;
    }

    // Without a current layer the guarded commands say so and change nothing.
    void guardedCommands()
    {
        QFETCH(QString, name);
        QFETCH(bool, guarded);
        twoLayers();
        canvas()->setCurrentRow(-1);
        const QString before = layers();
        MTestDialogScript script;
        action(name)->trigger();
        if (!guarded) {
            QVERIFY(script.requests().isEmpty());
            QVERIFY(layers() != before);
            return;
        }
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QCOMPARE(script.requests().first().title, QStringLiteral("Layers"));
        QCOMPARE(script.requests().first().text, QStringLiteral("Please select a layer."));
        QCOMPARE(layers(), before);
        QCOMPARE(canvas()->undoStack()->count(), 0);
    }

    void paperSteps_data()
    {
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("after");
        QTest::addColumn<QString>("message");

        QTest::newRow("increase") << QSize(1000, 500) << "actionIncreasePaperSize" << QSize(1040, 520)
                                  << "Paper size = [1040, 520]";
        QTest::newRow("decrease") << QSize(1000, 500) << "actionDecreasePaperSize" << QSize(960, 480)
                                  << "Paper size = [960, 480]";
        // Fractions of a pixel widen the rectangle to whole pixels.
        QTest::newRow("fraction") << QSize(300, 200) << "actionIncreasePaperSize" << QSize(340, 228)
                                  << "Paper size = [340, 228]";
        // 41 x 10 would shrink to one pixel wide.
        QTest::newRow("too small") << QSize(41, 10) << "actionDecreasePaperSize" << QSize(41, 10) << "";
        // Half a pixel of height still covers two whole pixels.
        QTest::newRow("two pixels") << QSize(42, 10) << "actionDecreasePaperSize" << QSize(2, 2)
                                    << "Paper size = [2, 2]";
    }

    void paperSteps()
    {
        QFETCH(QSize, paper);
        QFETCH(QString, name);
        QFETCH(QSize, after);
        QFETCH(QString, message);
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        c->updatePaintedRect(QRectF(QPointF(0, 0), QSizeF(paper)));
        c->undoStack()->clear();
        window->statusBar()->clearMessage();
        const QPointF centre = c->paintedRect().center();

        action(name)->trigger();
        QCOMPARE(c->paintedRect().size(), QSizeF(after));
        QCOMPARE(window->statusBar()->currentMessage(), message);
        QCOMPARE(c->undoStack()->count(), message.isEmpty() ? 0 : 1);
        QVERIFY(qAbs(c->paintedRect().center().x() - centre.x()) <= 1);
        if (!message.isEmpty()) {
            c->undoStack()->undo();
            QCOMPARE(c->paintedRect().size(), QSizeF(paper));
        }
    }

    void paperToSelection()
    {
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        const QRectF before = c->paintedRect();
        action("actionAdjustPaperToSelection")->trigger();
        QCOMPARE(c->paintedRect(), before);
        QCOMPARE(c->undoStack()->count(), 0);

        paintRect(c->at(0), QRect(50, 40, 30, 20), red);
        action("actionSelect_layer_bounding_rect")->trigger();
        QVERIFY(!c->selectionPath().isEmpty());
        action("actionAdjustPaperToSelection")->trigger();
        QVERIFY(c->paintedRect() != before);
        QVERIFY(c->paintedRect().contains(QRectF(50, 40, 30, 20)));
    }

    // The check mark follows the document's new value, also out of step.
    void autoExtension()
    {
        MCanvas *c = canvas();
        QAction *a = action("actionPaper_auto_extension");
        c->setAutoExtent(false);
        {
            const QSignalBlocker blocker(a);
            a->setChecked(false);
        }
        a->trigger();
        QVERIFY(c->autoExtent());
        QVERIFY(a->isChecked());
        c->setAutoExtent(false);
        a->trigger(); // the mark was on, the document off
        QVERIFY(c->autoExtent());
        QVERIFY(a->isChecked());
        a->trigger();
        QVERIFY(!c->autoExtent());
        QVERIFY(!a->isChecked());
    }

    // The selection commands reach the selection tool.
    void selectionCommands()
    {
        const QStringList names{"actionSelectAll", "actionResetSelection", "actionInvertSelection",
                                "actionNextSelection", "actionPreviousSelection", "actionFillSelection",
                                "actionStrokeSelection"};
        for (const QString &name : names) {
            QVERIFY2(!MMainWindow::pendingCommands().contains(name), qPrintable(name));
            QVERIFY2(action(name)->isEnabled(), qPrintable(name));
        }
        twoLayers();
        MCanvas *c = canvas();
        action("actionSelectAll")->trigger();
        QVERIFY(c->selectionPath().boundingRect().contains(c->paintedRect().adjusted(1, 1, -1, -1)));

        // Filling covers the empty corner of the upper layer, as one undo step.
        const QPoint corner = c->paintedRect().toRect().topLeft() + QPoint(2, 2);
        QCOMPARE(qAlpha(pixelAt(c->at(1), corner)), 0);
        const int steps = c->undoStack()->count();
        action("actionFillSelection")->trigger();
        QVERIFY(qAlpha(pixelAt(c->at(1), corner)) > 0);
        QCOMPARE(c->undoStack()->count(), steps + 1);
        c->undoStack()->undo();
        QCOMPARE(qAlpha(pixelAt(c->at(1), corner)), 0);

        action("actionResetSelection")->trigger();
        QVERIFY(c->selectionPath().isEmpty());
    }

    // The view commands move the view only: the pixels stay.
    void viewCommands()
    {
        twoLayers();
        MTransform *t = window->view()->transform();
        const QString before = layers();
        action("actionFlipHorizontal")->trigger();
        QVERIFY(t->isFlippedHorizontally());
        action("actionFlipHorizontal")->trigger();
        QVERIFY(!t->isFlippedHorizontally());
        action("actionFlipVertical")->trigger();
        QVERIFY(t->isFlippedVertically());
        action("actionFlipVertical")->trigger();
        QCOMPARE(layers(), before);
        QCOMPARE(canvas()->undoStack()->count(), 0);
    }
};

QTEST_MAIN(TestLayerCommands)
#include "tst_layercommands.moc"

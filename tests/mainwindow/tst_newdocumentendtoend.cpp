// A painter's session in the real window: a new document from a template,
// then the layers reworked through the Layers menu, each step undone and
// redone.

#include "dnewdocument.h"
#include "mcanvas.h"
#include "mdocumenttemplate.h"
#include "mdocumenttemplatelist.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include <memory>

class TestNewDocumentEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MCanvas *canvas() const { return window->view()->canvas(); }

    static bool painted(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0)
                    return true;
        return false;
    }

    QList<QImage> pixels() const
    {
        QList<QImage> images;
        for (int row = 0; row < canvas()->count(); ++row)
            images << MTestMainWindow::layerPixels(canvas(), row);
        return images;
    }

    // Opens the Layers menu from the menu bar and clicks the command in it.
    void choose(const char *name)
    {
        QVERIFY2(MTestMainWindow::chooseCommand(window.get(), "menuLayers", name), name);
    }

    // Runs the command, then checks that one undo step takes it back and
    // redo brings it again, pixel for pixel.
    void step(const char *name, int layers)
    {
        const QList<QImage> before = pixels();
        QUndoStack *stack = canvas()->undoStack();
        const int index = stack->index();
        choose(name);
        const QList<QImage> after = pixels();
        QCOMPARE(after.size(), layers);
        QVERIFY2(after != before, name);
        QCOMPARE(stack->index(), index + 1);
        stack->undo();
        QVERIFY2(pixels() == before, name);
        stack->redo();
        QVERIFY2(pixels() == after, name);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MTestMainWindow::prepare(QSize(300, 200)));
        MDocumentTemplate small;
        small.set_description(QStringLiteral("Screen 800 x 600 (test)"));
        small.set_width(800);
        small.set_height(600);
        QVERIFY(small.save());
        MDocumentTemplateList::destroyInstance();
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1100, 800)));
    }

    void cleanupTestCase()
    {
        window.reset();
        MDocumentTemplateList::destroyInstance();
    }

    void session()
    {
        bool ran = false;
        MTestModalDriver::onNextDialog("DNewDocument", [](QDialog *dialog) {
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("cbTemplate"));
            combo->setCurrentIndex(combo->findText(QStringLiteral("Screen 800 x 600 (test)")));
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("newdocument-dialog.png"));
            dialog->findChild<QPushButton *>(QStringLiteral("btnCreate"))->click();
        }, &ran);
        window->findChild<QAction *>(QStringLiteral("actionFileNew"))->trigger();
        QVERIFY(ran);
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(800, 600));
        QCOMPARE(canvas()->count(), 1);
        QTest::qWait(700);

        // A stroke across the bottom layer, a second layer with a stroke of its own.
        // The view settles on the new size first; until then the ends are out of it.
        const QPointF origin = canvas()->paintedRect().topLeft();
        QTRY_VERIFY(MTestMainWindow::drag(window->view(), origin + QPointF(100, 100), origin + QPointF(700, 150)));
        QTRY_VERIFY(painted(pixels().first()));
        step("actionNewLayer", 2);
        QTRY_VERIFY(MTestMainWindow::drag(window->view(), origin + QPointF(100, 400), origin + QPointF(700, 450)));
        QTRY_VERIFY(painted(pixels().at(1)));
        step("actionMoveLayerDown", 2);
        step("actionDuplicateLayer", 3);
        step("actionMergeLayerWithLower", 2);
        step("actionRemoveLayer", 1);
    }
};

QTEST_MAIN(TestNewDocumentEndToEnd)
#include "tst_newdocumentendtoend.moc"

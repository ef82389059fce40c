#include "mcanvas.h"
#include "mcomicstriptool.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

// The comic-strip tool in the real window: the grid, cells toggled into the
// selection, dragged and snapped, drawn into the layer, and the layout file.
namespace {
constexpr int W = 500;
constexpr int H = 600;
// The 4 x 3 grid of the defaults: margins 100 leave 300 x 400, so every
// column and row is 100 wide, and the gaps of 30 leave 70 x 70 cells.
} // namespace

class TestComicStripTool : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    MTestFolder folder;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    MComicStripTool *tool() const { return MTools::instance()->tool<MComicStripTool>(MTool::ComicStripTool); }
    QUndoStack *undo() const { return canvas()->undoStack(); }
    QPointF origin() const { return canvas()->paintedRect().topLeft(); }
    QImage layer() const { return MTestMainWindow::layerPixels(canvas()); }
    int alphaAt(const QImage &image, const QPointF &canvasPoint) const
    {
        return qAlpha(image.pixel((canvasPoint - origin()).toPoint()));
    }
    // The canvas point of a cell's toggle button.
    QPointF toggle(int cell) const
    {
        const QRectF r = tool()->cells().at(cell).rect;
        return QRectF(r.x() - 10, r.y() + r.height() / 4, 6, 6).center();
    }
    void click(const QPointF &canvasPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(MTestMainWindow::toolGesture(tool(), canvasPoint, canvasPoint, modifiers));
        MEvent release;
        tool()->mouseReleaseEvent(&release);
    }
    void clearLayer()
    {
        while (undo()->canUndo())
            undo()->undo();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        window = MTestMainWindow::open(QSize(W, H), QSize(1400, 1000));
        QVERIFY(window);
        QAction *action = window->findChild<QAction *>(QStringLiteral("actionComicStripTool"));
        QVERIFY(action && action->isEnabled());
        action->trigger();
        auto *bar = window->findChild<QToolBar *>(QStringLiteral("comicStripToolBar"));
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->actions().size() >= 15, true);
    }

    void cleanupTestCase() { window.reset(); }

    // The first activation lays out 12 cells row by row, with a guide on
    // each side of every column and row.
    void grid()
    {
        QCOMPARE(tool()->cells().size(), 12);
        const QPointF o = origin();
        QCOMPARE(tool()->cells().at(0).rect, QRectF(o + QPointF(115, 115), QSizeF(70, 70)));
        QCOMPARE(tool()->cells().at(1).rect, QRectF(o + QPointF(215, 115), QSizeF(70, 70)));
        QCOMPARE(tool()->cells().at(3).rect, QRectF(o + QPointF(115, 215), QSizeF(70, 70)));
        QCOMPARE(tool()->cells().at(11).rect, QRectF(o + QPointF(315, 415), QSizeF(70, 70)));
        QCOMPARE(tool()->verticalLines(),
                 QVector<double>({o.x() + 115, o.x() + 185, o.x() + 215, o.x() + 285, o.x() + 315, o.x() + 385}));
        QCOMPARE(tool()->horizontalLines().size(), 8);
        QCOMPARE(tool()->horizontalLines().first(), o.y() + 115);
        QCOMPARE(tool()->horizontalLines().last(), o.y() + 485);
        for (const MComicStripCell &cell : tool()->cells())
            QVERIFY(!cell.selected && cell.drawTop && cell.drawLeft && cell.drawBottom && cell.drawRight);
        view()->update();
        QTest::qWait(200);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("comic-strip-grid.png"));
    }

    // Toggle buttons select cells, one at a time unless Ctrl is held, and
    // the selected cells are the canvas's selection.
    void toggling()
    {
        click(toggle(4));
        QVERIFY(tool()->cells().at(4).selected);
        QCOMPARE(canvas()->selectionPath().boundingRect(), tool()->cells().at(4).rect);
        click(toggle(5));
        QVERIFY(!tool()->cells().at(4).selected);
        QVERIFY(tool()->cells().at(5).selected);
        click(toggle(4), Qt::ControlModifier);
        QVERIFY(tool()->cells().at(4).selected && tool()->cells().at(5).selected);
        QCOMPARE(canvas()->selectionPath().boundingRect(),
                 tool()->cells().at(4).rect.united(tool()->cells().at(5).rect));
        click(toggle(4), Qt::ControlModifier);
        click(toggle(5), Qt::ControlModifier);
        QVERIFY(canvas()->selectionPath().isEmpty());
        // Nothing under the press: not taken.
        QVERIFY(!MTestMainWindow::toolGesture(tool(), origin() + QPointF(150, 150), origin() + QPointF(150, 150)));
    }

    void drag_data()
    {
        QTest::addColumn<QPointF>("grab");      // from the cell's top-left
        QTest::addColumn<QPointF>("to");        // from the cell's top-left
        QTest::addColumn<bool>("control");
        QTest::addColumn<QRectF>("result");     // from the cell's old top-left
        QTest::newRow("corner moves") << QPointF(0, 0) << QPointF(23, 11) << false << QRectF(23, 11, 70, 70);
        QTest::newRow("corner with Ctrl resizes") << QPointF(70, 70) << QPointF(88, 84) << true << QRectF(0, 0, 88, 84);
        QTest::newRow("edge resizes") << QPointF(70, 35) << QPointF(50, 35) << false << QRectF(0, 0, 50, 70);
        // 97 lies within 10 of the next column's guide at 100.
        QTest::newRow("snaps to a guide") << QPointF(70, 35) << QPointF(97, 35) << false << QRectF(0, 0, 100, 70);
    }

    void drag()
    {
        QFETCH(QPointF, grab);
        QFETCH(QPointF, to);
        QFETCH(bool, control);
        QFETCH(QRectF, result);
        tool()->setup();
        click(toggle(0));
        const QPointF corner = tool()->cells().at(0).rect.topLeft();
        QVERIFY(MTestMainWindow::toolGesture(tool(), corner + grab, corner + to,
                                             control ? Qt::ControlModifier : Qt::NoModifier));
        QCOMPARE(tool()->cells().at(0).rect, result.translated(corner));
        tool()->setup();
    }

    // Ctrl+click in the left ruler adds two guides a row gap apart; a click
    // near a guide removes it.
    void rulerGuides()
    {
        tool()->setup();
        const QPointF ruler = origin() + QPointF(-20, 300);
        const int before = tool()->horizontalLines().size();
        click(ruler, Qt::ControlModifier);
        QCOMPARE(tool()->horizontalLines().size(), before + 2);
        QCOMPARE(tool()->horizontalLines().last() - tool()->horizontalLines().at(before), 30.0);
        click(ruler + QPointF(0, 4));
        QCOMPARE(tool()->horizontalLines().size(), before + 1);
        tool()->setup();
    }

    // "Draw" draws every cell's borders as one undo step, or only the
    // selected cells; Cancel stops it with the cells drawn so far kept, and
    // a second request while it runs is refused.
    void draw()
    {
        tool()->setup();
        clearLayer();
        click(toggle(4));
        tool()->print();
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Draw comic strip"));
        QVERIFY(tool()->cells().at(4).selected);
        QImage pixels = layer();
        const QRectF four = tool()->cells().at(4).rect;
        QVERIFY(alphaAt(pixels, QPointF(four.center().x(), four.top())) > 0);
        QCOMPARE(alphaAt(pixels, QPointF(four.center().x(), four.top() - 100)), 0);
        clearLayer();

        tool()->unselectAll();
        tool()->print();
        pixels = layer();
        for (const MComicStripCell &cell : tool()->cells())
            QVERIFY(alphaAt(pixels, QPointF(cell.rect.left(), cell.rect.center().y())) > 0);
        clearLayer();

        bool nestedWhilePrinting = false;
        int cancelledAt = -1;
        QTimer::singleShot(0, [&]() {
            nestedWhilePrinting = tool()->isPrinting();
            tool()->print(); // refused while the first runs
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *progress = qobject_cast<QProgressDialog *>(w)) {
                    cancelledAt = progress->value();
                    progress->cancel();
                }
            }
        });
        tool()->print();
        QVERIFY(nestedWhilePrinting);
        QVERIFY(cancelledAt >= 0 && cancelledAt < 12);
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(undo()->text(0), QStringLiteral("Draw comic strip"));
        pixels = layer();
        const QRectF last = tool()->cells().last().rect;
        QCOMPARE(alphaAt(pixels, QPointF(last.left(), last.center().y())), 0);
        QVERIFY(!tool()->isPrinting());
        clearLayer();
    }

    // Saved, the layout matches the golden file; loaded, it gives the same
    // cells and guides back, unselected.
    void layoutFile()
    {
        tool()->setup();
        click(toggle(2));
        tool()->setNoBorders();
        const QString path = folder.filePath(QStringLiteral("layout.json"));
        {
            MTestDialogScript script;
            script.answerFile(path);
            tool()->saveToFile();
            QCOMPARE(script.requests().size(), 2);
            QCOMPARE(script.requests().at(1).text, QStringLiteral("File saved."));
        }
        QFile golden(QStringLiteral(KALMI_TEST_DATA_DIR "/tools/comicstrip-4x3.json"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(folder.readFile(QStringLiteral("layout.json"))), QString::fromUtf8(golden.readAll()));
        const QVector<MComicStripCell> saved = tool()->cells();
        tool()->set_rows(2);
        tool()->setup();
        QCOMPARE(tool()->cells().size(), 6);
        MTestDialogScript script;
        script.answerFile(golden.fileName());
        tool()->loadFromFile();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(tool()->rows(), 4);
        QCOMPARE(tool()->cells().size(), 12);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(tool()->cells().at(i).rect, saved.at(i).rect);
            QCOMPARE(tool()->cells().at(i).drawTop, i != 2);
            QVERIFY(!tool()->cells().at(i).selected);
        }
        QCOMPARE(tool()->horizontalLines().size(), 8);
        QCOMPARE(tool()->fileName(), golden.fileName());
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << "Unable to open file";
        QTest::newRow("not JSON") << QByteArray("rows: 4") << "Invalid file";
        QTest::newRow("no rows") << QByteArray("{\"columns\": 3}")
                                 << "Invalid layout: rows and columns must lie between 1 and 100.";
        QTest::newRow("too many columns") << QByteArray("{\"rows\": 4, \"columns\": 101}")
                                          << "Invalid layout: rows and columns must lie between 1 and 100.";
        // Lengths no canvas has would become undefined ints when drawn.
        const QString beyond = QStringLiteral("Invalid layout: \"%1\" lies beyond the canvas limit of 1048576 pixels.");
        QTest::newRow("paper height beyond an int")
            << QByteArray("{\"rows\": 2, \"columns\": 2, \"paperWidth\": 800, \"paperHeight\": 6006666666}")
            << beyond.arg(QStringLiteral("paperHeight"));
        QTest::newRow("cell far away") << QByteArray("{\"rows\": 1, \"columns\": 1, \"cells\": [{\"x\": -1e300}]}")
                                       << beyond.arg(QStringLiteral("x"));
        QTest::newRow("guide far away")
            << QByteArray("{\"rows\": 1, \"columns\": 1, \"verticalLines\": [10, 3e9]}")
            << beyond.arg(QStringLiteral("verticalLines"));
        QTest::newRow("margin beyond an int") << QByteArray("{\"rows\": 1, \"columns\": 1, \"topMargin\": 1e10}")
                                              << beyond.arg(QStringLiteral("topMargin"));
    }

    // A file that cannot be read or is no layout is reported, and the
    // layout stays as it was.
    void badFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        tool()->setup();
        const QRectF painted = canvas()->paintedRect();
        const QString path = content.isEmpty() ? folder.filePath(QStringLiteral("none.json"))
                                               : folder.writeFile(QStringLiteral("bad.json"), content);
        MTestDialogScript script;
        script.answerFile(path);
        tool()->loadFromFile();
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().at(1).title, QStringLiteral("Load"));
        QCOMPARE(script.requests().at(1).text, message);
        QCOMPARE(tool()->cells().size(), 12);
        QCOMPARE(tool()->rows(), 4);
        QCOMPARE(tool()->columns(), 3);
        QCOMPARE(canvas()->paintedRect(), painted);
    }

    // The bar's "Settings" opens the grid dialog; new rows and columns,
    // accepted, give a new grid over the same page.
    void settingsFromTheBar()
    {
        tool()->setup();
        auto *bar = window->findChild<QToolBar *>(QStringLiteral("comicStripToolBar"));
        QAction *settings = nullptr;
        for (QAction *action : bar->actions()) {
            if (action->text() == QLatin1String("Settings"))
                settings = action;
        }
        QVERIFY(settings && bar->widgetForAction(settings));
        bool ran = false;
        MTestModalDriver::onNextDialog("DComicStrip", [this](QDialog *dialog) {
            MTestModalDriver::typeOver(dialog->findChild<QSpinBox *>(QStringLiteral("editRows")), QStringLiteral("2"));
            MTestModalDriver::typeOver(dialog->findChild<QSpinBox *>(QStringLiteral("editColumns")), QStringLiteral("5"));
            QTest::qWait(200);
            MTestScreenshot::keep(window->screen()->grabWindow(0), QStringLiteral("comic-strip-settings.png"));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnOk")), Qt::LeftButton);
        }, &ran);
        QTest::mouseClick(bar->widgetForAction(settings), Qt::LeftButton);
        QTRY_VERIFY(ran);
        QCOMPARE(tool()->rows(), 2);
        QCOMPARE(tool()->columns(), 5);
        // 300 x 400 of layout area: columns 60 wide, rows 200 high, less the gaps.
        const QPointF o = origin();
        QCOMPARE(tool()->cells().size(), 10);
        QCOMPARE(tool()->cells().at(0).rect, QRectF(o + QPointF(115, 115), QSizeF(30, 170)));
        QCOMPARE(tool()->cells().at(9).rect, QRectF(o + QPointF(355, 315), QSizeF(30, 170)));
        QCOMPARE(tool()->verticalLines().size(), 10);
        QCOMPARE(tool()->horizontalLines().size(), 4);
        QTest::qWait(200);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("comic-strip-2x5.png"));
        tool()->set_rows(4);
        tool()->set_columns(3);
        tool()->setup();
    }

    // New lays the cells out again over the new page, without the old
    // cells' selection.
    void newDocument()
    {
        tool()->setup();
        click(toggle(4));
        QVERIFY(!canvas()->selectionPath().isEmpty());
        MTestDialogScript script;
        script.answer(1); // "Don't save", should the page be modified
        bool ran = false;
        MTestModalDriver::onNextDialog("DNewDocument", [](QDialog *dialog) {
            dialog->findChild<QSpinBox *>(QStringLiteral("sbWidth"))->setValue(800);
            dialog->findChild<QSpinBox *>(QStringLiteral("sbHeight"))->setValue(400);
            dialog->findChild<QPushButton *>(QStringLiteral("btnCreate"))->click();
        }, &ran);
        window->findChild<QAction *>(QStringLiteral("actionFileNew"))->trigger();
        QVERIFY(ran);
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(800, 400));
        // 600 x 200 of layout area: columns 200 wide, rows 50 high.
        const QPointF o = origin();
        QCOMPARE(tool()->cells().size(), 12);
        QCOMPARE(tool()->cells().at(0).rect, QRectF(o + QPointF(115, 115), QSizeF(170, 20)));
        QCOMPARE(tool()->cells().at(11).rect, QRectF(o + QPointF(515, 265), QSizeF(170, 20)));
        QCOMPARE(tool()->verticalLines().first(), o.x() + 115);
        QCOMPARE(tool()->verticalLines().last(), o.x() + 685);
        QCOMPARE(tool()->horizontalLines().last(), o.y() + 285);
        for (const MComicStripCell &cell : tool()->cells())
            QVERIFY(!cell.selected);
        QVERIFY(canvas()->selectionPath().isEmpty());
        QTest::qWait(700);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("comic-strip-new.png"));
    }
};

QTEST_MAIN(TestComicStripTool)
#include "tst_comicstriptool.moc"

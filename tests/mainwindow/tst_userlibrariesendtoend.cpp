#include "mcanvas.h"
#include "mfolders.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mshape.h"
#include "mshapelist.h"
#include "mshapetool.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

// A painter's own shape and the order file of the shape library, both in the
// user folder, read from their bytes at start, reach the real window: the
// order decides what the shape panel offers, and the shape draws.
namespace {
const QString kTriangleId = QStringLiteral("{5E0C2B1A-7D4F-4C0B-9A55-3B8D7A1C2E90}");
const QString kEllipseId = QStringLiteral("{6BBD7000-5F75-527B-9507-45475DCD4EAB}");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestUserLibrariesEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    MShapeTool *tool() const { return MTools::instance()->tool<MShapeTool>(MTool::ShapeTool); }

    // The layer pixel at a canvas point.
    QRgb pixel(const QImage &image, const QPointF &canvasPoint) const
    {
        return image.pixel((canvasPoint - canvas()->paintedRect().topLeft()).toPoint());
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestMainWindow::prepare(QSize(600, 400)));
        MSettings::instance()->beginGroup(QStringLiteral("ShapeTool"));
        MSettings::instance()->setValue(QStringLiteral("brushColor"), QColor(30, 160, 40));
        MSettings::instance()->endGroup();
        // The lower left half of its box, and an order that puts it first
        // and keeps one system shape after it.
        const QString folder = MFolders::dataDirectory(MFolders::UserPath, MFolders::ShapeDir);
        QVERIFY(writeFile(folder + kTriangleId.toLower() + QStringLiteral(".kxh"), R"({
            "id": "{5E0C2B1A-7D4F-4C0B-9A55-3B8D7A1C2E90}", "description": "user triangle", "group": "mine",
            "width": 100, "height": 100,
            "items": [{"instruction": "PathMoveTo", "x0": "0", "y0": "0"},
                      {"instruction": "PathLineTo", "x0": "0", "y0": "H"},
                      {"instruction": "PathLineTo", "x0": "W", "y0": "H"},
                      {"instruction": "PathCloseFigure"}]})"));
        QVERIFY(writeFile(folder + QStringLiteral("index.kxl"),
                          (kTriangleId + QStringLiteral(" # mine/user triangle\r\n\r\n") + kEllipseId.toLower()
                           + QStringLiteral("   # basic/ellipse"))
                              .toUtf8()));
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1600, 1000)));
    }

    void cleanupTestCase() { window.reset(); }

    void userShapeInItsOrderAndDrawn()
    {
        MShapeList *shapes = MShapeList::instance();
        QCOMPARE(shapes->count(), 2);
        QCOMPARE(shapes->shapeAt(0)->description(), QStringLiteral("user triangle"));
        QCOMPARE(shapes->shapeAt(1)->description(), QStringLiteral("ellipse"));

        auto *action = window->findChild<QAction *>(QStringLiteral("actionShapeTool"));
        QVERIFY(action && action->isEnabled());
        QTest::mouseClick(window->findChild<QToolBar *>(QStringLiteral("toolsToolBar"))->widgetForAction(action),
                          Qt::LeftButton);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::ShapeTool));

        // Chosen in the bar's panel as a painter does.
        QCOMPARE(MTestMainWindow::chooseShape(window.get(), QStringLiteral("triangle")), QStringLiteral("user triangle"));

        QVERIFY(MTestMainWindow::dragAndHold(view(), QPointF(0, 0), QPointF(0, 0)));
        QVERIFY(tool()->hasItem());
        tool()->setWidth(100);
        tool()->setHeight(100);
        tool()->setPoint(QPointF(0, 0));
        QVERIFY(MTestMainWindow::focusView(view()));
        QTest::keyClick(view(), Qt::Key_Return);
        QVERIFY(!tool()->hasItem());
        QCOMPARE(canvas()->undoStack()->count(), 1);

        const QImage pixels = MTestMainWindow::layerPixels(canvas());
        QCOMPARE(pixel(pixels, QPointF(-35, 35)), qRgb(30, 160, 40));
        QCOMPARE(qAlpha(pixel(pixels, QPointF(35, -35))), 0);
        view()->update();
        QTest::qWait(300);
        MTestScreenshot::keep(window->screen()->grabWindow(window->winId()), QStringLiteral("user-shape-drawn.png"));
    }
};

QTEST_MAIN(TestUserLibrariesEndToEnd)
#include "tst_userlibrariesendtoend.moc"

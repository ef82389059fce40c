#include "mcanvas.h"
#include "mevent.h"
#include "mlayerlistcontrol.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {
constexpr QSize documentSize(100, 50);
constexpr int viewWidth = 600;
constexpr int viewHeight = 400;

using MTestView::click;
using MTestView::mouse;

bool near(QRgb a, QRgb b, int tolerance = 3)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
           && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}
} // namespace

class TestMLayerListControl : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    MLayerListControl *control = nullptr;

    // A shown view of a document of three layers, the top one current.
    void makeView()
    {
        view.reset(new MWidget);
        view->resize(viewWidth, viewHeight);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->canvas()->isGlReady() && view->canvas()->current());
        MCanvas *canvas = view->canvas();
        canvas->appendLayer();
        canvas->appendLayer();
        QCOMPARE(canvas->count(), 3);
        control = nullptr;
        for (MControl *c : view->controls())
            control = control ? control : qobject_cast<MLayerListControl *>(c);
        QVERIFY(control);
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings *settings = MSettings::instance();
        settings->set_defaultWidth(documentSize.width());
        settings->set_defaultHeight(documentSize.height());
        settings->set_textDuration(0);
    }

    void init()
    {
        MSettings *settings = MSettings::instance();
        settings->set_thumbnailPosition(0);
        settings->set_thumbnailSize(70);
        settings->set_showThumbnails(true);
        settings->set_showThumbnailsNamesOnly(false);
    }

    void cleanup() { view.reset(); }

    void geometryAtEachEdge_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QRectF>("top");    // the top-most layer's square
        QTest::addColumn<QRectF>("bottom"); // the bottom layer's square
        QTest::addColumn<QRectF>("lock");   // the lock icon of the top-most square
        QTest::newRow("left") << 0 << QRectF(10, 10, 70, 70) << QRectF(10, 160, 70, 70) << QRectF(83, 29, 16, 16);
        QTest::newRow("top") << 1 << QRectF(10, 10, 70, 70) << QRectF(160, 10, 70, 70) << QRectF(29, 83, 16, 16);
        QTest::newRow("right") << 2 << QRectF(520, 10, 70, 70) << QRectF(520, 160, 70, 70) << QRectF(501, 29, 16, 16);
        QTest::newRow("bottom") << 3 << QRectF(10, 320, 70, 70) << QRectF(160, 320, 70, 70) << QRectF(29, 301, 16, 16);
    }

    void geometryAtEachEdge()
    {
        QFETCH(int, position);
        QFETCH(QRectF, top);
        QFETCH(QRectF, bottom);
        QFETCH(QRectF, lock);
        makeView();
        MSettings::instance()->set_thumbnailPosition(position);
        QCOMPARE(control->position(), position);
        QCOMPARE(control->squareRect(2), top);
        QCOMPARE(control->squareRect(0), bottom);
        QCOMPARE(control->iconRect(top, MLayerListControl::LockIcon), lock);
        QCOMPARE(control->badgeRect(top), QRectF(top.right() - 19, top.bottom() - 19, 16, 16));
        QCOMPARE(control->opacityBarRect(top, 0.5), QRectF(top.left() + 3, top.bottom() - 4, 32, 3));
        QCOMPARE(control->rect(), top.united(bottom));
    }

    // The thumbnails come from the GPU: each square shows its own layer over
    // its background, pink for a hidden or locked layer.
    void thumbnailsByPixels()
    {
        makeView();
        MCanvas *canvas = view->canvas();
        canvas->makeCurrent();
        const QRect all = canvas->paintedRect().toRect();
        MTestCanvas::paintRect(canvas->at(2), QRect(all.topLeft(), QSize(50, 50)), qRgba(255, 0, 0, 255));
        MTestCanvas::paintRect(canvas->at(1), all, qRgba(0, 0, 255, 255));
        canvas->at(0)->setLocked(true);
        view->update();
        QTest::qWait(50);
        const QImage frame = view->grabFramebuffer();
        const QRectF top = control->squareRect(2);
        // A 100x50 document fitted in 70: 70x35 centred, the left half red.
        QVERIFY(near(frame.pixel(QPointF(top.center() + QPointF(-17, 0)).toPoint()), qRgb(255, 0, 0)));
        QVERIFY(near(frame.pixel(QPointF(top.center() + QPointF(17, 0)).toPoint()), qRgb(255, 255, 255)));
        QVERIFY(near(frame.pixel(QPointF(top.center() + QPointF(0, -30)).toPoint()), qRgb(255, 255, 255)));
        const QRectF middle = control->squareRect(1);
        QVERIFY(near(frame.pixel(middle.center().toPoint()), qRgb(0, 0, 255)));
        // The unselected background: #eeeeee at 0.8 over the view's own.
        QVERIFY(!near(frame.pixel(QPointF(middle.center() + QPointF(0, -30)).toPoint()), qRgb(255, 255, 255)));
        const QRectF bottom = control->squareRect(0);
        double opacity = 0;
        QCOMPARE(control->squareColor(0, &opacity), QColor(255, 200, 200));
        const QRgb pink = frame.pixel(QPointF(bottom.center() + QPointF(0, -30)).toPoint());
        QVERIFY2(qRed(pink) > qGreen(pink) + 20, "a locked layer's background is pink");

        // The current layer stays pink once hidden.
        canvas->at(2)->setVisible(false);
        QCOMPARE(control->squareColor(2, &opacity), QColor(255, 200, 200));
        QCOMPARE(opacity, 1.0);

        // The opacity bar follows the layer's opacity.
        canvas->at(1)->setOpacity(0.5);
        view->update();
        QTest::qWait(50);
        const QImage bar = view->grabFramebuffer();
        const QRectF barRect = control->opacityBarRect(middle, 0.5);
        const auto blue = [](QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 90 && qGreen(pixel) < 170; };
        QVERIFY(blue(bar.pixel(barRect.center().toPoint())));
        QVERIFY(!blue(bar.pixel(QPointF(barRect.right() + 6, barRect.center().y()).toPoint())));

        MSettings::instance()->set_showThumbnails(false);
        view->update();
        QTest::qWait(50);
        const QImage off = view->grabFramebuffer();
        QVERIFY(!blue(off.pixel(barRect.center().toPoint())));
    }

    void clicksSelectAndToggle()
    {
        makeView();
        MCanvas *canvas = view->canvas();
        QUndoStack *undo = canvas->undoStack();
        const int steps = undo->count();
        click(view.get(), control->squareRect(0).center());
        QCOMPARE(canvas->currentRow(), 0);
        const QRectF square = control->squareRect(0);
        click(view.get(), control->iconRect(square, MLayerListControl::VisibilityIcon).center());
        QVERIFY(!canvas->at(0)->visible());
        click(view.get(), control->iconRect(square, MLayerListControl::LockIcon).center());
        QVERIFY(canvas->at(0)->locked());
        QCOMPARE(undo->count(), steps + 2);
        undo->undo();
        QVERIFY(!canvas->at(0)->locked());
        undo->undo();
        QVERIFY(canvas->at(0)->visible());
        QVERIFY(canvas->at(1)->visible() && canvas->at(2)->visible());
        // Beside the strip the press goes on to the tools.
        MEvent beside;
        beside.type = MEvent::Press;
        beside.viewPosition = QPointF(300, 300);
        QVERIFY(!control->mousePressEvent(&beside));
    }

    // The current layer's pencil icon and a double click on any layer both
    // open that layer's properties; Ok is one undo step on it.
    void editIconAndDoubleClickAskForTheDialog_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("edit icon") << false << 1;
        QTest::newRow("double click on another layer") << true << 2;
    }

    // The dialog belongs to a higher floor: the view only asks for it.
    void editIconAndDoubleClickAskForTheDialog()
    {
        QFETCH(bool, doubleClick);
        QFETCH(int, currentRow);
        makeView();
        MCanvas *canvas = view->canvas();
        canvas->setCurrentRow(currentRow);
        const int steps = canvas->undoStack()->count();
        QSignalSpy asked(view.get(), &MWidget::editLayer);
        const QRectF square = control->squareRect(1);
        if (doubleClick) {
            const QPointF at = square.center();
            mouse(view.get(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            mouse(view.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            mouse(view.get(), QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
            mouse(view.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        } else {
            click(view.get(), control->iconRect(square, MLayerListControl::EditIcon).center());
        }
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toInt(), 1);
        QCOMPARE(canvas->undoStack()->count(), steps);
    }

    void dragScrollsAndClamps()
    {
        MSettings::instance()->set_thumbnailSize(128);
        makeView();
        MCanvas *canvas = view->canvas();
        canvas->appendLayer();
        canvas->appendLayer(); // five squares of 128 along a 400 view
        QCOMPARE(control->maximumOffset(), 4 * 133 + 128 + 10 - 400 + 10);
        canvas->setCurrentRow(4);
        const QPointF start = control->squareRect(4).center();
        mouse(view.get(), QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        const int before = control->offset();
        // The view smooths the pointer: most of an 80 pixel drag arrives.
        for (int i = 1; i <= 20; ++i)
            mouse(view.get(), QEvent::MouseMove, start - QPointF(0, 4 * i), Qt::NoButton, Qt::LeftButton);
        mouse(view.get(), QEvent::MouseButtonRelease, start - QPointF(0, 80), Qt::LeftButton, Qt::NoButton);
        QVERIFY2(control->offset() > before + 40 && control->offset() <= before + 80,
                 qPrintable(QString::number(control->offset() - before)));
        mouse(view.get(), QEvent::MouseButtonPress, control->squareRect(3).center(), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 20; ++i)
            mouse(view.get(), QEvent::MouseMove, control->squareRect(3).center() - QPointF(0, 100 * i), Qt::NoButton,
                  Qt::LeftButton);
        mouse(view.get(), QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton);
        view->grabFramebuffer();
        QCOMPARE(control->offset(), control->maximumOffset());

        // Making the top-most layer current brings its square back.
        canvas->setCurrentRow(0);
        canvas->setCurrentRow(4);
        QCOMPARE(control->offset(), 10);
        QVERIFY(control->isOnScreen(control->squareRect(4)));
    }
};

QTEST_MAIN(TestMLayerListControl)
#include "tst_mlayerlistcontrol.moc"

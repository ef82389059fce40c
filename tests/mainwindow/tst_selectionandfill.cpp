#include "manimframe.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "mpatternitem.h"
#include "mpatternlist.h"
#include "mselectiontool.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

// The selection and the bucket in the real window, used as a painter would:
// tools chosen from their actions, gestures made with the mouse on the
// canvas view, the result checked in the layer's pixels.
namespace {
constexpr int W = 400;
constexpr int H = 300;

void mouse(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, p, w->mapToGlobal(p.toPoint()), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Whether the picture appears, pixel for pixel, laid over the row's most
// common colour somewhere in the row (an icon no larger than the combo's
// icon size is drawn unscaled).
bool containsPicture(const QImage &row, const QImage &picture)
{
    const QImage p = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QHash<QRgb, int> counts;
    for (int y = 0; y < row.height(); ++y)
        for (int x = 0; x < row.width(); ++x)
            ++counts[row.pixel(x, y)];
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    auto near = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= 3 && qAbs(qGreen(a) - qGreen(b)) <= 3 && qAbs(qBlue(a) - qBlue(b)) <= 3;
    };
    for (int top = 0; top + p.height() <= row.height(); ++top) {
        for (int left = 0; left + p.width() <= row.width(); ++left) {
            bool match = true;
            for (int y = 0; match && y < p.height(); ++y)
                for (int x = 0; match && x < p.width(); ++x)
                    match = near(row.pixel(left + x, top + y), MTestCanvas::over(background, p.pixel(x, y)));
            if (match)
                return true;
        }
    }
    return false;
}
} // namespace

class TestSelectionAndFill : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

    MWidget *view() const { return window->view(); }
    MCanvas *canvas() const { return view()->canvas(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }
    QToolBar *bar(const char *name) const { return window->findChild<QToolBar *>(QString::fromLatin1(name)); }

    // A mouse drag between two document points, in small steps.
    void drag(const QPointF &from, const QPointF &to)
    {
        const QPointF a = view()->transform()->map(from);
        const QPointF b = view()->transform()->map(to);
        QVERIFY2(view()->rect().contains(a.toPoint()) && view()->rect().contains(b.toPoint()),
                 "the document is out of the view");
        mouse(view(), QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 30; ++i)
            mouse(view(), QEvent::MouseMove, a + (b - a) * (i / 30.0), Qt::NoButton, Qt::LeftButton);
        mouse(view(), QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    }
    void click(const QPointF &at)
    {
        const QPointF p = view()->transform()->map(at);
        mouse(view(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        mouse(view(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    QRgb pixel(const QPointF &at) const
    {
        canvas()->makeCurrent();
        return MTestCanvas::pixelAt(canvas()->current(), at.toPoint());
    }
    void choose(const char *toolAction, int toolId)
    {
        action(toolAction)->trigger();
        QCOMPARE(MTools::instance()->currentToolId(), toolId);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1200, 800));
        QVERIFY(window);
        // A hard round brush, so that its paint ends where its disc ends.
        MBrush *brush = MBrushList::instance()->currentBrush();
        QVERIFY(brush);
        brush->setRadius(5.0);
        brush->setHardness(1.0);
        brush->setBaseValue(MEnum::bsAntialiasing, MEnum::NoAntialiasing);
        MColorList::instance()->setColor(QColor(30, 60, 200));
    }

    void cleanupTestCase() { window.reset(); }

    void paintStaysInsideTheSelection()
    {
        choose("actionSelectionTool", MTool::SelectionTool);
        QVERIFY(bar("selectionToolBar")->isVisible());
        QVERIFY(!bar("brushToolBar")->isVisible());
        drag(QPointF(-100, -80), QPointF(100, 80));
        const QRectF selected = canvas()->selectionPath().boundingRect();
        QVERIFY2(qAbs(selected.left() + 100) < 2 && qAbs(selected.right() - 100) < 2 && qAbs(selected.top() + 80) < 2
                     && qAbs(selected.bottom() - 80) < 2,
                 qPrintable(QStringLiteral("%1 %2 %3 %4")
                                .arg(selected.left())
                                .arg(selected.top())
                                .arg(selected.right())
                                .arg(selected.bottom())));
        QCOMPARE(canvas()->undoStack()->count(), 0);
        auto *selection = MTools::instance()->tool<MSelectionTool>(MTool::SelectionTool);
        QTRY_VERIFY(selection->animFrame()->dashOffset > 2);

        // The screenshot: marching ants around the selection and the
        // selection tool's bar.
        QTest::qWait(300);
        QImage shot = window->grab().toImage();
        {
            // The window's grab holds an older frame of the canvas view.
            QPainter painter(&shot);
            painter.drawImage(view()->mapTo(window.get(), QPoint(0, 0)), view()->grabFramebuffer());
        }
        MTestScreenshot::keep(shot, QStringLiteral("kalmidraw-selection.png"));

        choose("actionBrushTool", MTool::BrushTool);
        QVERIFY(!bar("selectionToolBar")->isVisible());
        drag(QPointF(-150, 0), QPointF(150, 0));
        QCOMPARE(canvas()->undoStack()->count(), 1);
        for (double x : {-90.0, 0.0, 90.0})
            QVERIFY2(qAlpha(pixel(QPointF(x, 0))) > 0, qPrintable(QString::number(x)));
        for (double x : {-140.0, -110.0, 110.0, 140.0})
            QVERIFY2(qAlpha(pixel(QPointF(x, 0))) == 0, qPrintable(QString::number(x)));
        selection->resetSelection();
        QVERIFY(!canvas()->hasSelection());
    }

    void aClickFillsTheInsideOfAClosedShape()
    {
        choose("actionBrushTool", MTool::BrushTool);
        const QVector<QPointF> corners{{-60, 30}, {60, 30}, {60, 120}, {-60, 120}};
        for (int i = 0; i < corners.size(); ++i)
            drag(corners.at(i), corners.at((i + 1) % corners.size()));
        const int strokes = canvas()->undoStack()->count();
        QVERIFY(qAlpha(pixel(QPointF(0, 30))) > 0);
        QCOMPARE(qAlpha(pixel(QPointF(0, 75))), 0);

        choose("actionFillTool", MTool::FillTool);
        QVERIFY(bar("fillToolBar")->isVisible());
        MColorList::instance()->setColor(QColor(240, 150, 20));
        click(QPointF(0, 75));
        QCOMPARE(canvas()->undoStack()->count(), strokes + 1);
        QCOMPARE(canvas()->undoStack()->text(strokes), QStringLiteral("Fill"));
        const QRgb filled = MTestCanvas::premultiplied(QColor(240, 150, 20));
        for (const QPointF &inside : {QPointF(0, 75), QPointF(-50, 40), QPointF(50, 110)})
            QCOMPARE(pixel(inside), filled);
        for (const QPointF &outside : {QPointF(0, 140), QPointF(-90, 75), QPointF(90, 75), QPointF(0, -120)})
            QVERIFY2(pixel(outside) != filled, qPrintable(QStringLiteral("%1 %2").arg(outside.x()).arg(outside.y())));
        QCOMPARE(qAlpha(pixel(QPointF(0, 140))), 0);
        // The shape's own paint is not the fill colour.
        QVERIFY(pixel(QPointF(0, 30)) != filled);
    }

    // A rectangle selected, the bucket clicked inside it on an empty layer:
    // the fill stops at the selection's edge; a click outside it fills nothing.
    void theBucketKeepsInsideTheSelection()
    {
        action("actionNewLayer")->trigger();
        choose("actionSelectionTool", MTool::SelectionTool);
        drag(QPointF(-100, -80), QPointF(100, 80));
        QVERIFY(canvas()->hasSelection());
        choose("actionFillTool", MTool::FillTool);
        MColorList::instance()->setColor(QColor(20, 180, 90));
        const int steps = canvas()->undoStack()->count();
        click(QPointF(0, 0));
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        const QRgb filled = MTestCanvas::premultiplied(QColor(20, 180, 90));
        for (const QPointF &inside : {QPointF(0, 0), QPointF(-96, -76), QPointF(96, 76)})
            QCOMPARE(pixel(inside), filled);
        for (const QPointF &outside :
             {QPointF(-104, 0), QPointF(104, 0), QPointF(0, -84), QPointF(0, 84), QPointF(-190, -140)})
            QVERIFY2(qAlpha(pixel(outside)) == 0, qPrintable(QStringLiteral("%1 %2").arg(outside.x()).arg(outside.y())));
        view()->update();
        QTest::qWait(100);
        MTestScreenshot::keep(view()->grabFramebuffer(), QStringLiteral("kalmidraw-bucket-in-selection.png"));
        click(QPointF(150, 120));
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        QCOMPARE(qAlpha(pixel(QPointF(150, 120))), 0);
        MTools::instance()->tool<MSelectionTool>(MTool::SelectionTool)->resetSelection();
    }

    // The painter opens the fill bar's pattern list and sees each pattern's
    // own picture in its row, not only its name.
    void thePatternListShowsEachPicture()
    {
        choose("actionFillTool", MTool::FillTool);
        auto *patterns = bar("fillToolBar")->findChild<QComboBox *>(QStringLiteral("patternBox"));
        QVERIFY(patterns);
        QAbstractItemView *list = patterns->view();
        patterns->showPopup();
        QTRY_VERIFY(list->isVisible());
        const QImage shown = list->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        MTestScreenshot::keep(list->window()->grab(), QStringLiteral("kalmidraw-pattern-list.png"));
        patterns->hidePopup();

        MPatternList *patternList = MPatternList::instance();
        QCOMPARE(patterns->count(), patternList->count());
        int pictures = 0;
        for (int row = 0; row < patterns->count(); ++row) {
            const QImage image = patternList->at(row)->image();
            if (image.isNull())
                continue;
            const QRect rowRect = list->visualRect(patterns->model()->index(row, 0)) & shown.rect();
            QVERIFY2(containsPicture(shown.copy(rowRect), image), qPrintable(patterns->itemText(row)));
            ++pictures;
        }
        QCOMPARE(pictures, patternList->count() - 1);
    }
};

QTEST_MAIN(TestSelectionAndFill)
#include "tst_selectionandfill.moc"

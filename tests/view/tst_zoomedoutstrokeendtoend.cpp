// Strokes painted in the real window while the view is zoomed out, so that
// the view samples the tiles' reduced levels: once settled after each
// release, the view shows exactly what a redraw with every tile's levels
// rebuilt from scratch shows.

#include "mcanvas.h"
#include "mcolorlist.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {
constexpr int W = 1600;
constexpr int H = 1000;

void markAllMipmapsDirty(MTextureLayer *layer)
{
    for (int i = 0; layer && i < layer->tileCount(); ++i)
        static_cast<MTextureTile *>(layer->tileAt(i))->markMipmapsDirty();
}

QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("%1,%2: %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(b.pixel(x, y), 8, 16);
    return QString();
}
} // namespace

class TestZoomedOutStrokeEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MWidget *view() const { return m_painting.view(); }
    MCanvas *canvas() const { return view()->canvas(); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        MSettings::instance()->set_showThumbnails(false);
        QVERIFY(MSettings::instance()->generateMipmaps());
        QVERIFY(m_painting.show());
        m_painting.paintWith(14, 0.7, QColor(20, 60, 200));
    }

    void cleanupTestCase() { m_painting.close(); }

    // Strokes across tile edges and over earlier ones, each at its scale.
    void settledViewEqualsFullRedraw_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("docFrom");
        QTest::addColumn<QPointF>("docTo");
        QTest::addColumn<QColor>("color");
        QTest::newRow("half, across the document") << 0.5 << QPointF(-700, -100) << QPointF(700, 60)
                                                   << QColor(20, 60, 200);
        QTest::newRow("half, crossing the first") << 0.5 << QPointF(-40, -420) << QPointF(90, 430)
                                                  << QColor(230, 180, 20);
        QTest::newRow("a third, short diagonal") << 0.33 << QPointF(-300, 300) << QPointF(-60, 120)
                                                 << QColor(200, 30, 30);
    }

    void settledViewEqualsFullRedraw()
    {
        QFETCH(double, scale);
        QFETCH(QPointF, docFrom);
        QFETCH(QPointF, docTo);
        QFETCH(QColor, color);
        QVERIFY(MTestMainWindow::focusView(view()));
        view()->transform()->setScale(scale, QPointF(view()->rect().center()));
        QTRY_COMPARE(view()->transform()->scale(), scale);
        MColorList::instance()->setColor(color);
        // A full frame at this scale first: the reduced levels are built, so
        // that the release leaves only the stroke's share of them stale.
        view()->grabFramebuffer();
        const int steps = canvas()->undoStack()->count();
        QVERIFY(MTestMainWindow::dragAndHold(view(), docFrom, docTo));
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        QTest::qWait(300);
        const QImage settled = MTestView::lastFrame(view()).convertToFormat(QImage::Format_RGB32);
        MTestScreenshot::keep(settled, QStringLiteral("zoomedout-settled-%1.png").arg(QTest::currentDataTag()));
        // The stroke is there, in its colour, half way along.
        const QPoint middle = view()->transform()->map((docFrom + docTo) / 2).toPoint();
        const QColor shown = settled.pixelColor(middle);
        QVERIFY2(qAbs(shown.red() - color.red()) < 40 && qAbs(shown.blue() - color.blue()) < 40,
                 qPrintable(shown.name()));

        for (int row = 0; row < canvas()->count(); ++row)
            markAllMipmapsDirty(canvas()->at(row));
        markAllMipmapsDirty(canvas()->strokeLayer());
        const QImage redrawn = view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        const QString difference = firstDifference(settled, redrawn);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // While the button is held the view shows the stroke from reduced levels
    // that were rebuilt only where its stamps landed: the frame equals one
    // drawn with every level rebuilt.
    void heldStrokeEqualsFullRedraw()
    {
        QVERIFY(MTestMainWindow::focusView(view()));
        view()->transform()->setScale(0.5, QPointF(view()->rect().center()));
        QTRY_COMPARE(view()->transform()->scale(), 0.5);
        MColorList::instance()->setColor(QColor(40, 160, 60));
        view()->grabFramebuffer();
        const QPointF from = view()->transform()->map(QPointF(-500, 200));
        const QPointF to = view()->transform()->map(QPointF(400, -250));
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 60; ++i) {
            MTestMainWindow::mouse(view(), QEvent::MouseMove, from + (to - from) * (i / 60.0), Qt::NoButton,
                                   Qt::LeftButton);
            QTest::qWait(5);
        }
        QTest::qWait(300);
        QVERIFY(canvas()->strokeInProgress());
        const QImage held = MTestView::lastFrame(view()).convertToFormat(QImage::Format_RGB32);
        MTestScreenshot::keep(held, QStringLiteral("zoomedout-held.png"));
        markAllMipmapsDirty(canvas()->current());
        markAllMipmapsDirty(canvas()->strokeLayer());
        const QImage redrawn = view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        const QString difference = firstDifference(held, redrawn);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        const QColor shown = held.pixelColor(view()->transform()->map(QPointF(-50, -25)).toPoint());
        QVERIFY2(shown.green() > shown.red() + 60, qPrintable(shown.name()));
    }
};

QTEST_MAIN(TestZoomedOutStrokeEndToEnd)
#include "tst_zoomedoutstrokeendtoend.moc"

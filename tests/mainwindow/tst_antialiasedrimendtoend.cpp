// A painter clicks one dab with an antialiased round brush: whatever the
// hardness, the dab holds the shape's coverage, flat in its core and falling
// off through its rim on every side, and leaves nothing beyond it.

#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>
#include <QUndoStack>

#include <cmath>
#include <memory>

namespace {
constexpr int W = 400;
constexpr int H = 300;
constexpr double radius = 20.0;

// The disc's alpha at d, twice the squared distance from the centre in
// stamp units (the rim at 0.5), as the shape is specified.
double shapeAlpha(double d, double hardness)
{
    const double edge = hardness / 2.0;
    if (d < edge)
        return hardness;
    if (d >= 0.5)
        return 0.0;
    const double t = (d - edge) / (0.5 - edge);
    return hardness * (1.0 - t * t * (3.0 - 2.0 * t));
}

// The shape's alpha summed over the canvas, in pixels of full alpha.
double shapeCoverage(double hardness)
{
    constexpr double step = 0.05;
    double sum = 0.0;
    for (double y = -radius + step / 2; y < radius; y += step)
        for (double x = -radius + step / 2; x < radius; x += step) {
            const double qx = x / (2.0 * radius), qy = y / (2.0 * radius);
            sum += shapeAlpha(2.0 * (qx * qx + qy * qy), hardness);
        }
    return sum * step * step;
}
} // namespace

class TestAntialiasedRimEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MCanvas *canvas() const { return m_painting.canvas(); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(m_painting.open(QSize(W, H))); }

    void cleanupTestCase() { m_painting.close(); }

    // Hardness 0.8 has pixels in the falloff and pixels straddling its ends;
    // hardness 1 has no falloff, only the rim's straddling pixels.
    void dabFallsOffThroughItsRim_data()
    {
        QTest::addColumn<double>("hardness");
        QTest::addColumn<QPointF>("at");
        QTest::newRow("soft") << 0.8 << QPointF(-80.3, 10.6);
        QTest::newRow("hard") << 1.0 << QPointF(70.3, -20.3);
    }

    void dabFallsOffThroughItsRim()
    {
        QFETCH(double, hardness);
        QFETCH(QPointF, at);
        MBrush *brush = MBrushList::instance()->brush(MBrushList::instance()->currentRow());
        brush->resetValues();
        brush->setRadius(radius);
        brush->setHardness(hardness);
        brush->setBaseValue(MEnum::bsAntialiasing, MEnum::Antialiasing);
        MColorList::instance()->setColor(QColor(30, 40, 220));

        MWidget *view = m_painting.view();
        QVERIFY(MTestMainWindow::focusView(view));
        const int steps = canvas()->undoStack()->index();
        const QPointF point = view->transform()->map(at);
        MTestMainWindow::mouse(view, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
        MTestMainWindow::mouse(view, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);

        const QImage painted = MTestMainWindow::layerPixels(canvas());
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        const QPoint centre = QPoint(int(std::floor(at.x())), int(std::floor(at.y()))) - corner;
        const int reach = int(radius) + 3;
        double coverage = 0.0;
        for (int y = -reach - 2; y <= reach + 2; ++y)
            for (int x = -reach - 2; x <= reach + 2; ++x) {
                const int alpha = qAlpha(painted.pixel(centre + QPoint(x, y)));
                coverage += alpha / 255.0;
                if (x * x + y * y >= reach * reach)
                    QVERIFY2(alpha == 0, qPrintable(QStringLiteral("paint beyond the rim at %1, %2").arg(x).arg(y)));
            }
        // Nothing else on the layer: the dab was cleared before each row.
        QVERIFY2(std::abs(coverage - shapeCoverage(hardness)) < 0.01 * shapeCoverage(hardness),
                 qPrintable(QStringLiteral("coverage %1, the shape's %2").arg(coverage).arg(shapeCoverage(hardness))));

        // From the core outwards on every side: the core's alpha, never rising,
        // through values between the core's and none, down to none.
        const int core = qRound(255 * hardness);
        for (const QPoint &direction : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            int previous = 256;
            int between = 0;
            for (int k = 0; k <= reach; ++k) {
                const int alpha = qAlpha(painted.pixel(centre + direction * k));
                if (k < radius * 0.6)
                    QVERIFY(std::abs(alpha - core) <= 1);
                QVERIFY2(alpha <= previous, qPrintable(QStringLiteral("rising at %1").arg(k)));
                between += alpha > 3 && alpha < core - 3;
                previous = alpha;
            }
            // A hard rim has partial pixels too, on every side, also those
            // whose centres lie just past the stamp's square.
            QVERIFY2(between >= 1, qPrintable(QStringLiteral("no partial pixel towards %1, %2")
                                                  .arg(direction.x())
                                                  .arg(direction.y())));
            QCOMPARE(previous, 0);
        }
        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("antialiasedrim-%1.png").arg(QTest::currentDataTag()));
        // Undone, so that the next row's dab is alone on the layer.
        canvas()->undoStack()->undo();
        QCOMPARE(qAlpha(MTestMainWindow::layerPixels(canvas()).pixel(centre)), 0);
    }
};

QTEST_MAIN(TestAntialiasedRimEndToEnd)
#include "tst_antialiasedrimendtoend.moc"

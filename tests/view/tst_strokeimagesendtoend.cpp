// Strokes in the real window over a document of many layers, fitted: while
// the button is held the view draws the layers under and over the stroke's
// from images of them. After a lower or upper layer changes between strokes,
// the frame shows the change, and equals a frame whose images are made
// afresh; the painter's last frame is within a level or two of it.

#include "mcanvas.h"
#include "mlayercache.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>

#include <functional>
#include <memory>

namespace {
constexpr int W = 2400;
constexpr int H = 1600;
constexpr int layers = 9;
constexpr int strokeRow = 4;
using Change = std::function<void(MCanvas *)>;

// A pixel's largest difference over its channels.
int difference(QRgb a, QRgb b)
{
    return qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))), qAbs(qBlue(a) - qBlue(b)));
}
} // namespace

Q_DECLARE_METATYPE(Change)

class TestStrokeImagesEndToEnd : public QObject
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
        QVERIFY(m_painting.show());
        m_painting.paintWith(18, 0.8, QColor(20, 40, 180));
        // Crossing half-transparent bands, one pair per layer.
        QVERIFY(canvas()->makeCurrent());
        while (canvas()->count() < layers)
            canvas()->appendLayer();
        const QRect painted = canvas()->paintedRect().toRect();
        for (int row = 0; row < layers; ++row) {
            const QRgb colour = qRgba(25 * row * 120 / 255, 120 * 120 / 255, (220 - 20 * row) * 120 / 255, 120);
            MTestCanvas::paintRect(canvas()->at(row), QRect(painted.left() + 100 + row * 240, painted.top(), 300, H),
                                   colour);
            MTestCanvas::paintRect(canvas()->at(row), QRect(painted.left(), painted.top() + 80 + row * 160, W, 110),
                                   colour);
        }
        canvas()->setCurrentRow(strokeRow);
        view()->fitToView();
        QTest::qWait(400);
        QVERIFY(view()->transform()->scale() < 0.7);
    }

    void cleanupTestCase() { m_painting.close(); }

    void changeBetweenStrokesShows_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QPointF>("docWhere");
        QTest::addColumn<double>("strokeY");
        QTest::newRow("first stroke") << Change([](MCanvas *) {}) << QPointF(-880, 0) << 720.0;
        QTest::newRow("a lower layer's opacity")
            << Change([](MCanvas *c) { c->at(1)->setOpacity(0.2); }) << QPointF(-700, -200) << 640.0;
        QTest::newRow("a lower layer hidden")
            << Change([](MCanvas *c) { c->at(2)->setVisible(false); }) << QPointF(-460, 300) << 560.0;
        QTest::newRow("an upper layer hidden")
            << Change([](MCanvas *c) { c->at(6)->setVisible(false); }) << QPointF(340, 300) << 480.0;
        QTest::newRow("an upper layer's opacity")
            << Change([](MCanvas *c) { c->at(8)->setOpacity(0.3); }) << QPointF(820, -100) << 400.0;
    }

    void changeBetweenStrokesShows()
    {
        QFETCH(Change, change);
        QFETCH(QPointF, docWhere);
        QFETCH(double, strokeY);
        QVERIFY(MTestMainWindow::focusView(view()));
        const QImage before = MTestView::lastFrame(view());
        QVERIFY(canvas()->makeCurrent());
        change(canvas());
        canvas()->refresh();
        QTest::qWait(200);
        const QPoint where = view()->transform()->map(docWhere).toPoint();

        // A stroke held down across the document, well away from `where`.
        const QPointF from = view()->transform()->map(QPointF(-1000, strokeY));
        const QPointF to = view()->transform()->map(QPointF(1000, strokeY - 40));
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 40; ++i) {
            MTestMainWindow::mouse(view(), QEvent::MouseMove, from + (to - from) * (i / 40.0), Qt::NoButton,
                                   Qt::LeftButton);
            QTest::qWait(8);
        }
        QTest::qWait(200);
        QVERIFY(canvas()->strokeInProgress());
        const QImage held = MTestView::lastFrame(view()).convertToFormat(QImage::Format_RGB32);
        MTestScreenshot::keep(held, QStringLiteral("strokeimages-%1.png").arg(QTest::currentDataTag()));
        const QImage cached = view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QVERIFY(view()->layerCache());
        const int builds = view()->layerCache()->belowBuilds() + view()->layerCache()->aboveBuilds();
        QVERIFY(builds > 0);
        view()->makeCurrent();
        view()->layerCache()->release();
        const QImage fresh = view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QTRY_VERIFY(!canvas()->strokeInProgress());

        // The stroke is there, half way along, under the bands over its layer.
        const QPoint middle = ((from + to) / 2).toPoint();
        QVERIFY2(difference(held.pixel(middle), before.convertToFormat(QImage::Format_RGB32).pixel(middle)) > 40,
                 qPrintable(held.pixelColor(middle).name()));
        // The change shows, as a frame from fresh images shows it.
        if (QTest::currentDataTag() != QLatin1String("first stroke"))
            QVERIFY(difference(held.pixel(where), before.convertToFormat(QImage::Format_RGB32).pixel(where)) > 8);
        QCOMPARE_IMAGES(cached, fresh, 0);
        QCOMPARE_IMAGES(held, fresh, 2);
    }
};

QTEST_MAIN(TestStrokeImagesEndToEnd)
#include "tst_strokeimagesendtoend.moc"

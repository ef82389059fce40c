#include "mcanvas.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mthumbnailwidget.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>

#include <memory>

namespace {
bool near(QRgb a, QRgb b, int tolerance = 4)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
           && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}
} // namespace

class TestMThumbnailWidget : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    std::unique_ptr<MThumbnailWidget> thumbnail;

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(1000, 500)));
        MSettings::instance()->set_textDuration(0);
        MSettings::instance()->set_showEmptyPaper(true);
        view.reset(new MWidget);
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->canvas()->isGlReady() && view->canvas()->current());
        thumbnail.reset(new MThumbnailWidget);
        thumbnail->resize(206, 206);
        thumbnail->show();
        QVERIFY(QTest::qWaitForWindowExposed(thumbnail.get()));
    }

    void cleanupTestCase()
    {
        thumbnail.reset();
        view.reset();
    }

    void emptyBeforeAView()
    {
        QCOMPARE(thumbnail->layerIndex(), -1);
        const QImage image = thumbnail->grabFramebuffer();
        QCOMPARE(image.pixel(103, 103), qRgb(255, 255, 255));
        thumbnail->resize(10, 10);
        QCOMPARE(thumbnail->size(), QSize(50, 50));
        thumbnail->resize(206, 206);
    }

    void documentFittedAndCentred()
    {
        thumbnail->setWidget(view.get());
        QCOMPARE(thumbnail->layerIndex(), view->canvas()->currentRow());
        const QRectF painted = view->canvas()->paintedRect();
        QCOMPARE(painted.size(), QSizeF(1000, 500));
        QCOMPARE(thumbnail->fitTransform()->scale(), 0.2);
        QCOMPARE(thumbnail->fitTransform()->mapRect(painted), QRectF(2, 52, 200, 100));
    }

    // The paper lies under the bottom layer only; a layer's own opacity is
    // not applied.
    void paperUnderTheBottomLayerOnly()
    {
        MCanvas *canvas = view->canvas();
        canvas->setPaperType(MEnum::Colored);
        canvas->setPaperColor(QColor(0, 200, 0));
        canvas->makeCurrent();
        const QRect all = canvas->paintedRect().toRect();
        // The left half of the bottom layer red, at half its opacity.
        MTestCanvas::paintRect(canvas->at(0), QRect(all.topLeft(), QSize(500, 500)), qRgba(255, 0, 0, 255));
        canvas->at(0)->setOpacity(0.5);
        canvas->appendLayer();
        QCOMPARE(canvas->count(), 2);

        thumbnail->setLayerIndex(0);
        QImage image = thumbnail->grabFramebuffer();
        QVERIFY(near(image.pixel(50, 102), qRgb(255, 0, 0)));
        QVERIFY(near(image.pixel(150, 102), qRgb(0, 200, 0)));
        QCOMPARE(image.pixel(102, 20), qRgb(255, 255, 255));

        thumbnail->setLayerIndex(1);
        image = thumbnail->grabFramebuffer();
        // The empty upper layer over the transparency pattern: grey and
        // white squares, no paper colour and no red.
        QList<QRgb> seen;
        for (int x = 10; x < 195; x += 3) {
            const QRgb p = image.pixel(x, 102);
            QVERIFY(!near(p, qRgb(0, 200, 0), 40) && !near(p, qRgb(255, 0, 0), 40));
            QCOMPARE(qRed(p), qBlue(p));
            if (!seen.contains(p))
                seen.append(p);
        }
        QVERIFY2(seen.size() >= 2, "the transparency pattern has two shades");

        canvas->removeLayer(1);
        thumbnail->setLayerIndex(5);
        image = thumbnail->grabFramebuffer();
        QCOMPARE(image.pixel(102, 102), qRgb(255, 255, 255));
        // The document's outline is still drawn.
        const bool outlined = image.pixel(1, 102) != qRgb(255, 255, 255) || image.pixel(2, 102) != qRgb(255, 255, 255);
        QVERIFY(outlined);
    }
};

QTEST_MAIN(TestMThumbnailWidget)
#include "tst_mthumbnailwidget.moc"

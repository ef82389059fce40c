#include "mcanvas.h"
#include "menum.h"
#include "mmainwindow.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QTest>
#include <QUndoStack>

#include <memory>

// A document of many tiles opened in the real window over another one: its
// tiles are made on the textures the replaced document's tiles leave, and
// the view shows it at every zoom (the smaller ones sample the smaller
// levels) exactly as it showed the document before it was saved.
namespace {

const QRectF painted(-1250, -1000, 2500, 2000);
constexpr int layerCount = 3;
const double zooms[] = {1.0, 0.5, 0.3, 0.15, 0.07};

// A pattern that differs from texel to texel and from level to level.
QRgb patternAt(const QPoint &p, int row, int seed)
{
    const int r = (p.x() * 3 + p.y() * (row + 1) + seed * 50) & 0xFF;
    const int g = ((p.x() ^ p.y()) + row * 70 + seed * 20) & 0xFF;
    const int b = ((p.x() / 7) * (p.y() / 5) + seed * 90) & 0xFF;
    return MTestCanvas::premultiplied(QColor(r, g, b, 90 + ((p.x() / 9 + p.y() / 13 + row) % 5) * 40));
}

void paintDocument(MCanvas *document, int seed)
{
    document->makeCurrent();
    while (document->count() < layerCount)
        document->appendLayer();
    document->setPaintedRect(painted);
    document->setPaperType(MEnum::Colored);
    document->setPaperColor(QColor(230, 220, 200));
    for (int row = 0; row < layerCount; ++row)
        MTestCanvas::paintPixels(document->at(row), painted.toRect(),
                                 [row, seed](const QPoint &p) { return patternAt(p, row, seed); });
    document->undoStack()->clear();
}

// The view's frame at each zoom, around the middle of the view, away from
// the texts and the layer list drawn over it.
QVector<QImage> framesAtZooms(MWidget *view)
{
    QVector<QImage> frames;
    const QPointF centre(view->width() / 2.0, view->height() / 2.0);
    for (double zoom : zooms) {
        view->transform()->fit(painted, zoom, centre);
        const QImage frame = view->grabFramebuffer();
        const double ratio = frame.devicePixelRatio();
        const QRect middle = QRect(QPoint(0, 0), view->size()).adjusted(180, 80, -40, -80);
        frames << frame.copy(QRect((QPointF(middle.topLeft()) * ratio).toPoint(), (QSizeF(middle.size()) * ratio).toSize()));
    }
    return frames;
}

} // namespace

class TestReopenAtZoomsEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(400, 300))); }

    void cleanup() { window.reset(); }

    void showsTheSavedDocumentAtEveryZoom()
    {
        MTestFolder folder;
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();

        paintDocument(canvas, 1);
        const QVector<QImage> expected = framesAtZooms(view);
        const QString path = folder.filePath(QStringLiteral("mural.kxd"));
        QVERIFY(canvas->saveToFile(path));

        // Another document in its place, shown zoomed out too, so that its
        // tiles hold other pixels at every level.
        canvas->reset();
        paintDocument(canvas, 2);
        const QVector<QImage> other = framesAtZooms(view);
        QVERIFY(other.first() != expected.first());
        canvas->undoStack()->setClean();

        QVERIFY(MTestMainWindow::focusView(view));
        MTestDialogScript script;
        script.answerFile(path);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(script.requests().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!canvas->isLoading(), 60000);
        QCOMPARE(canvas->lastReadResult().code, int(ReadDone));
        QCOMPARE(canvas->count(), layerCount);

        const QVector<QImage> shown = framesAtZooms(view);
        for (int i = 0; i < shown.size(); ++i) {
            const QString name = QStringLiteral("reopened-at-zoom-%1.png").arg(zooms[i]);
            MTestScreenshot::keep(shown.at(i), name);
            QString difference;
            QVERIFY2(MTestGLContext::compareImages(shown.at(i), expected.at(i), 0, &difference),
                     qPrintable(name + QStringLiteral(": ") + difference));
        }
    }
};

QTEST_MAIN(TestReopenAtZoomsEndToEnd)
#include "tst_reopenatzoomsendtoend.moc"

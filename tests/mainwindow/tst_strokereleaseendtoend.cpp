// A painter lifts the pen: the frame that shows the stroke's end comes
// before the stroke is merged into its layer, and whatever the painter does
// right after the release (undo, save, export, the next stroke, closing)
// finds the stroke merged, once, with its undo step.

#include "mcanvas.h"
#include "mmainwindow.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAction>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <QUndoStack>

namespace {
constexpr int W = 600;
constexpr int H = 400;
const QColor ink(200, 30, 40);

bool inked(const QColor &c)
{
    return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}

bool inkedAt(const QImage &image, const QPoint &p)
{
    return image.rect().contains(p) && inked(image.pixelColor(p));
}

// The document pixel of a point of the document, in a layer's pixels.
QPoint layerPoint(MCanvas *canvas, const QPointF &doc)
{
    return (doc - canvas->paintedRect().topLeft()).toPoint();
}
} // namespace

class TestStrokeReleaseEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    MWidget *view() const { return m_painting.view(); }
    MCanvas *canvas() const { return m_painting.canvas(); }
    QAction *action(const char *name) const
    {
        return m_painting.window()->findChild<QAction *>(QString::fromLatin1(name));
    }

    // An empty layer and history, the brush ready.
    void fresh()
    {
        while (canvas()->undoStack()->canUndo())
            action("actionUndo")->trigger();
        canvas()->undoStack()->clear();
        QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas(), 0)), 0);
        m_painting.paintWith(6.0, 1.0, ink);
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        QVERIFY(m_painting.show());
    }

    void cleanupTestCase() { m_painting.close(); }

    // The frame presented while the release is handled shows the stroke's
    // end already; the stroke's undo step comes after it.
    void releaseFrameComesBeforeTheMerge()
    {
        fresh();
        const QPointF from(-150, -40), to(150, 60);
        const QPointF end = view()->transform()->map(to);
        struct Frame
        {
            int steps;
            bool inkAtEnd;
        };
        QVector<Frame> frames;
        bool releasing = false;
        const auto connection = connect(view(), &QOpenGLWidget::frameSwapped, this, [&] {
            if (!releasing)
                return;
            // The widget's own frame buffer holds what was presented.
            view()->makeCurrent();
            const double ratio = view()->devicePixelRatioF();
            uchar pixel[4] = {0, 0, 0, 0};
            QOpenGLFunctions *f = view()->context()->functions();
            f->glBindFramebuffer(GL_FRAMEBUFFER, view()->defaultFramebufferObject());
            f->glReadPixels(int(end.x() * ratio), int((view()->height() - end.y()) * ratio) - 1, 1, 1, GL_RGBA,
                            GL_UNSIGNED_BYTE, pixel);
            frames.append({canvas()->undoStack()->count(), inked(QColor(pixel[0], pixel[1], pixel[2]))});
            if (frames.size() == 1) {
                const QSize size = view()->size() * ratio;
                QImage shown(size, QImage::Format_RGBA8888);
                f->glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, shown.bits());
                MTestScreenshot::keep(shown.mirrored(), QStringLiteral("release-frame.png"));
            }
        });
        const QPointF a = view()->transform()->map(from);
        MTestMainWindow::mouse(view(), QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 30; ++i)
            MTestMainWindow::mouse(view(), QEvent::MouseMove, a + (end - a) * (i / 30.0), Qt::NoButton,
                                   Qt::LeftButton);
        releasing = true;
        MTestMainWindow::mouse(view(), QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
        releasing = false;
        disconnect(connection);
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.first().steps, 0);
        QVERIFY(frames.first().inkAtEnd);
        // By the time the release is handled, the layer holds the stroke.
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QVERIFY(!canvas()->strokeInProgress());
        QVERIFY(inkedAt(MTestMainWindow::layerPixels(canvas(), 0), layerPoint(canvas(), to)));
        QVERIFY(inked(MTestMainWindow::shownAt(view(), to)));
        MTestScreenshot::keep(m_painting.window()->grab(), QStringLiteral("stroke-after-release.png"));
    }

    // Whatever comes straight after the release, before the event loop runs
    // again, finds the stroke in the layer, recorded once.
    void nothingLostRightAfterTheRelease_data()
    {
        QTest::addColumn<QString>("next");
        // Saving comes last: the reopened document has no history to empty.
        for (const char *next : {"undo", "export", "stroke", "modified", "save"})
            QTest::newRow(next) << QString::fromLatin1(next);
    }

    void nothingLostRightAfterTheRelease()
    {
        QFETCH(QString, next);
        fresh();
        const QPointF from(-200, -100), to(200, 100);
        const QPoint where = layerPoint(canvas(), QPointF(0, 0));
        QVERIFY(MTestMainWindow::drag(view(), from, to));
        if (next == QLatin1String("undo")) {
            action("actionUndo")->trigger();
            QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas(), 0)), 0);
            action("actionRedo")->trigger();
            QVERIFY(inkedAt(MTestMainWindow::layerPixels(canvas(), 0), where));
            QCOMPARE(canvas()->undoStack()->count(), 1);
        } else if (next == QLatin1String("save")) {
            MTestFolder folder;
            const QString path = folder.filePath(QStringLiteral("released.kxd"));
            QVERIFY(canvas()->saveToFile(path));
            const QImage painted = MTestMainWindow::layerPixels(canvas(), 0);
            QVERIFY(inkedAt(painted, where));
            QVERIFY(canvas()->loadFromFile(path));
            QCOMPARE(MTestMainWindow::layerPixels(canvas(), 0), painted);
        } else if (next == QLatin1String("export")) {
            const QImage flat = canvas()->flattenedImage(QStringLiteral("basic"));
            QVERIFY(inkedAt(flat, where));
        } else if (next == QLatin1String("stroke")) {
            QVERIFY(MTestMainWindow::drag(view(), QPointF(-200, 100), QPointF(200, -100)));
            QCOMPARE(canvas()->undoStack()->count(), 2);
            const QImage both = MTestMainWindow::layerPixels(canvas(), 0);
            action("actionUndo")->trigger();
            const QImage first = MTestMainWindow::layerPixels(canvas(), 0);
            QVERIFY(inkedAt(first, where));
            QVERIFY(!inkedAt(first, layerPoint(canvas(), QPointF(-190, 95))));
            QVERIFY(inkedAt(both, layerPoint(canvas(), QPointF(-190, 95))));
            action("actionUndo")->trigger();
            QCOMPARE(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas(), 0)), 0);
        } else if (next == QLatin1String("modified")) {
            // Closing asks to save it.
            QVERIFY(canvas()->isModified());
            QVERIFY(inkedAt(MTestMainWindow::layerPixels(canvas(), 0), where));
        }
    }
};

QTEST_MAIN(TestStrokeReleaseEndToEnd)
#include "tst_strokereleaseendtoend.moc"

#include "mcanvas.h"
#include "mdocumentdescription.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mpaintengine.h"
#include "mpaintparams.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mstrokes.h"
#include "mtestcanvas.h"
#include "mtesteffect.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtransform.h"

#include <QOpenGLContext>
#include <QOpenGLVertexArrayObject>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <memory>

using namespace MTestCanvas;

using Drawn = QVector<QPair<int, double>>;
Q_DECLARE_METATYPE(Drawn)

namespace {
// The document is 200 x 120, centred on the origin: it spans the four tiles
// around (0, 0).
constexpr int W = 200;
constexpr int H = 120;
const QRect red(-30, -20, 80, 50);
const QRect blue(20, 10, 40, 30);
const QRgb redPixel = qRgba(200, 40, 40, 255);
const QColor blueColor(0, 0, 255, 128);

QRgb checker(int x, int y)
{
    return ((x / 8) + (y / 8)) % 2 == 0 ? qRgba(255, 255, 255, 255) : qRgba(204, 204, 204, 255);
}

QImage expectedImage(const std::function<QRgb(const QPoint &)> &pixel)
{
    QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            image.setPixel(x, y, pixel(QPoint(x, y)));
    return image;
}

// The first layer (the blue rectangle's pixels replace the red ones) over a background.
QRgb layerOver(QRgb background, const QPoint &canvas)
{
    if (blue.contains(canvas))
        return over(background, premultiplied(blueColor));
    if (red.contains(canvas))
        return over(background, redPixel);
    return background;
}

} // namespace

class TestMCanvas : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestGLContext> view;
    std::unique_ptr<QOpenGLVertexArrayObject> viewArray;

    void paintFirstLayer()
    {
        canvas->makeCurrent();
        paintRect(canvas->at(0), red, redPixel);
        paintRect(canvas->at(0), blue, premultiplied(blueColor));
    }

    // The document drawn the way the canvas view draws it, in a context of
    // its own, at one view pixel per canvas pixel.
    QImage drawAsView(const std::function<void(MPaintParams &)> &tweak = {})
    {
        view->makeCurrent();
        view->bindTarget(W, H);
        QOpenGLFunctions *f = view->context()->functions();
        f->glClearColor(0, 0, 0, 0);
        f->glClear(GL_COLOR_BUFFER_BIT);
        MTransform transform;
        transform.setTranslation(-canvas->paintedRect().topLeft());
        MPaintParams params;
        params.context = view->context();
        params.parts = canvas->parts();
        params.rect = canvas->paintedRect();
        params.programList = canvas->shaderProgramList();
        params.vertexArray = viewArray.get();
        params.viewport = QRectF(0, 0, W, H);
        params.transform = &transform;
        if (tweak)
            tweak(params);
        canvas->draw(&params);
        view->makeCurrent();
        return view->readTarget();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_defaultWidth(W);
        MSettings::instance()->set_defaultHeight(H);
        view.reset(new MTestGLContext());
        QVERIFY(view->isValid());
        viewArray.reset(new QOpenGLVertexArrayObject());
        QVERIFY(viewArray->create());
        // One document for every case, reset before each: making one costs
        // the compilation of every program.
        canvas.reset(new MCanvas());
        QVERIFY(canvas->isGlReady());
    }

    void init()
    {
        canvas->reset();
        canvas->setPaintedRect(QRectF(-100, -60, W, H));
        canvas->undoStack()->clear();
        canvas->setPaperType(MEnum::Transparent);
        canvas->setStrokeInProgress(false);
        canvas->strokeLayer()->setEraserMode(false);
        canvas->strokeLayer()->setOpacity(1.0);
        MSettings::instance()->set_showEmptyPaper(false);
    }

    void cleanup()
    {
        MShaderList::instance()->destroyInstance();
    }

    void cleanupTestCase()
    {
        canvas.reset();
        view->makeCurrent();
        viewArray.reset();
        view.reset();
    }

    // Runs first: the document names count user documents only.
    void aNewDocument()
    {
        QCOMPARE(canvas->fileName(), QStringLiteral("new document 1.kxd"));
        MCanvas scratch(nullptr, MCanvas::ScratchDocument);
        QVERIFY(scratch.fileName().isEmpty());
        const MCanvas first;
        QCOMPARE(first.fileName(), QStringLiteral("new document 2.kxd"));
        QCOMPARE(MCanvas().fileName(), QStringLiteral("new document 3.kxd"));
        QCOMPARE(first.count(), 1);
        QCOMPARE(first.currentRow(), 0);
        QCOMPARE(first.at(0)->name(), QStringLiteral("Layer 1"));
        QCOMPARE(first.undoStack()->count(), 0);
        QVERIFY(!first.isModified());
        QVERIFY(first.isNew());
        QCOMPARE(first.paintedRect(), QRectF(-100, -60, 200, 120));
        QCOMPARE(first.paperType(), int(MEnum::Colored));
        QCOMPARE(first.paperColor(), QColor(Qt::white));
        QVERIFY(first.clipStroke());
        QVERIFY(!first.hasSelection());
        QCOMPARE(first.paintMargin(), 0.0);
        QVERIFY(first.strokes()->isValid());
        QVERIFY(first.paintEngine()->isReady());
        QCOMPARE(first.undoStack()->undoLimit(), 32);
    }

    // Every paper kind under the same layer.
    void flattenedImage_data()
    {
        QTest::addColumn<int>("paperType");
        QTest::addColumn<bool>("showEmptyPaper");
        QTest::addColumn<QString>("paperName");
        QTest::newRow("coloured") << int(MEnum::Colored) << true << QString();
        QTest::newRow("transparent with checkerboard") << int(MEnum::Transparent) << true << QString();
        QTest::newRow("transparent without checkerboard") << int(MEnum::Transparent) << false << QString();
        QTest::newRow("paper image") << int(MEnum::Paper) << true << QStringLiteral("fixture-paper.png");
    }

    void flattenedImage()
    {
        QFETCH(int, paperType);
        QFETCH(bool, showEmptyPaper);
        QFETCH(QString, paperName);
        // A small paper whose pixels say where they are, so a shifted or
        // stretched repeat shows.
        QImage paper(7, 5, QImage::Format_ARGB32);
        for (int y = 0; y < paper.height(); ++y)
            for (int x = 0; x < paper.width(); ++x)
                paper.setPixel(x, y, qRgba(30 * x, 40 * y, 100, 255));
        if (!paperName.isEmpty()) {
            QVERIFY(paper.save(MFolders::papersDirectory(MFolders::UserPath) + paperName));
            canvas->setPaperName(paperName);
            QCOMPARE(canvas->paperName(), paperName);
        }
        canvas->setPaperColor(QColor(10, 200, 30));
        canvas->setPaperType(MEnum::PaperType(paperType));
        MSettings::instance()->set_showEmptyPaper(showEmptyPaper);
        paintFirstLayer();
        const MTestLogWatch log;
        const QImage image = canvas->flattenedImage(QStringLiteral("basic"));
        QCOMPARE(image.size(), QSize(W, H));
        const QImage expected = expectedImage([&](const QPoint &p) {
            QRgb background = 0;
            if (paperType == MEnum::Colored)
                background = qRgba(10, 200, 30, 255);
            else if (paperType == MEnum::Paper)
                background = paper.pixel(p.x() % 7, p.y() % 5);
            else if (showEmptyPaper)
                background = checker(p.x(), p.y());
            return layerOver(background, p + QPoint(-100, -60));
        });
        QCOMPARE_IMAGES(image, expected, 1);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    // A paper type that needs an image draws nothing without one, quietly.
    void paperWithoutImage()
    {
        canvas->setPaperType(MEnum::Paper);
        canvas->setPaperTile(QImage());
        const MTestLogWatch log;
        const QImage image = canvas->flattenedImage(QStringLiteral("basic"));
        QCOMPARE_IMAGES(image, expectedImage([](const QPoint &) { return QRgb(0); }), 0);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    // The source (painted rectangle or clip path bounds) is fitted and
    // centred in the output.
    void renderToImage_data()
    {
        QTest::addColumn<QRectF>("clip");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("sourceInOutput"); // where canvas pixels land, at scale 1
        QTest::newRow("clip path, same size") << QRectF(red) << red.size() << QRect(QPoint(0, 0), red.size());
        QTest::newRow("clip path, wider output") << QRectF(red) << QSize(160, 50) << QRect(QPoint(40, 0), red.size());
        QTest::newRow("painted rectangle, taller output") << QRectF() << QSize(200, 180)
                                                         << QRect(QPoint(0, 30), QSize(W, H));
    }

    void renderToImage()
    {
        QFETCH(QRectF, clip);
        QFETCH(QSize, size);
        QFETCH(QRect, sourceInOutput);
        paintFirstLayer();
        QPainterPath path;
        if (!clip.isNull())
            path.addRect(clip);
        const QRectF source = clip.isNull() ? canvas->paintedRect() : clip;
        const QImage image = canvas->renderToImage(QStringLiteral("basic"), size.width(), size.height(), path, false,
                                                   true, {});
        // Around the source the rest of the document shows, up to the painted rectangle.
        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QPoint c = QPoint(x, y) - sourceInOutput.topLeft() + source.topLeft().toPoint();
                expected.setPixel(x, y, canvas->paintedRect().contains(c) ? layerOver(0, c) : 0);
            }
        }
        QCOMPARE_IMAGES(image, expected, 1);
    }

    void renderRefusesImpossibleSizes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("beyond the driver") << QSize(1, 1000000);
        QTest::newRow("empty") << QSize(0, 10);
        QTest::newRow("negative") << QSize(10, -4);
    }

    void renderRefusesImpossibleSizes()
    {
        QFETCH(QSize, size);
        const MTestLogWatch log;
        QVERIFY(canvas->renderToImage(QStringLiteral("basic"), size.width(), size.height(), QPainterPath(), true, true,
                                      {})
                    .isNull());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to render an image of")), 1);
        canvas->setPaperSize(QSize(100000, 50));
        QVERIFY(canvas->flattenedImage(QStringLiteral("basic")).isNull());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to render an image of")), 2);
    }

    void layerBoundingRect_data()
    {
        QTest::addColumn<QRect>("painted"); // empty: nothing painted
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("empty layer") << QRect() << QRectF();
        QTest::newRow("top-left pixel") << QRect(-100, -60, 1, 1) << QRectF(-100, -60, 1, 1);
        QTest::newRow("across tiles") << red << QRectF(red);
        QTest::newRow("cut by the painted rectangle") << QRect(80, 50, 100, 100) << QRectF(80, 50, 20, 10);
        QTest::newRow("outside") << QRect(300, 300, 10, 10) << QRectF();
    }

    void layerBoundingRect()
    {
        QFETCH(QRect, painted);
        QFETCH(QRectF, expected);
        canvas->makeCurrent();
        if (!painted.isEmpty())
            paintRect(canvas->at(0), painted, qRgba(0, 0, 0, 1));
        const QRectF bounds = canvas->layerBoundingRect(canvas->at(0));
        QCOMPARE(bounds, expected);
        QCOMPARE(bounds.isNull(), expected.isNull());
        QVERIFY(canvas->layerBoundingRect(nullptr).isNull());
    }

    // Zoomed in, panned or rotated, every part of the document the view
    // shows is drawn, in the cells at the view's edges too.
    void viewShowsEveryCellInSight_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QPointF>("pan"); // view pixels, after the scale
        QTest::newRow("zoomed in on the tiles' corner") << 4.0 << 0.0 << QPointF();
        QTest::newRow("panned to the view's corner") << 1.0 << 0.0 << QPointF(150, 90);
        QTest::newRow("zoomed in near an edge") << 3.0 << 0.0 << QPointF(-250, 140);
        QTest::newRow("rotated") << 1.0 << 30.0 << QPointF();
        QTest::newRow("zoomed in and rotated") << 3.0 << 45.0 << QPointF(40, -20);
    }

    void viewShowsEveryCellInSight()
    {
        QFETCH(double, scale);
        QFETCH(double, rotation);
        QFETCH(QPointF, pan);
        const QRgb colour = qRgba(30, 160, 90, 255);
        canvas->makeCurrent();
        const QRectF document = canvas->paintedRect();
        paintRect(canvas->at(0), document.toRect(), colour);
        MTransform transform;
        transform.setTranslation(-document.topLeft());
        transform.setRotation(rotation);
        transform.setScale(scale, QPointF(W / 2, H / 2));
        transform.translate(pan);
        const QImage image = drawAsView([&](MPaintParams &params) { params.transform = &transform; });
        int shown = 0;
        const QImage expected = expectedImage([&](const QPoint &p) {
            const QPointF at = transform.mapFromView(QPointF(p) + QPointF(0.5, 0.5));
            // Pixels on the document's edge are filtered: left out.
            if (document.adjusted(1.5, 1.5, -1.5, -1.5).contains(at))
                return ++shown, colour;
            if (!document.adjusted(-1.5, -1.5, 1.5, 1.5).contains(at))
                return QRgb(0);
            return image.pixel(p);
        });
        QVERIFY(shown > 0);
        QCOMPARE_IMAGES(image, expected, 1);
    }

    // At one view pixel per canvas pixel a full-opacity layer is drawn by a
    // lean program of its own, the layer carrying a stroke by the general
    // one: the layer must not change when a stroke begins on it. The top
    // layer holds every alpha with colours up to it over an opaque gradient,
    // and is painted beyond the document, which the view must not show.
    void zoomOneLayerIsKeptWhenAStrokeBegins_data()
    {
        QTest::addColumn<QPoint>("pan");
        QTest::newRow("document at the view's origin") << QPoint();
        QTest::newRow("view's top and left past the document") << QPoint(23, 17);
        QTest::newRow("view's bottom and right past the document") << QPoint(-31, -9);
    }

    void zoomOneLayerIsKeptWhenAStrokeBegins()
    {
        QFETCH(QPoint, pan);
        canvas->appendLayer();
        canvas->setCurrentRow(1);
        const QRect document = canvas->paintedRect().toRect();
        canvas->makeCurrent();
        paintPixels(canvas->at(0), document, [&](const QPoint &p) {
            const QPoint d = p - document.topLeft();
            return qRgba(d.x() * 255 / W, d.y() * 2, (d.x() * 3 + d.y() * 5) % 256, 255);
        });
        paintPixels(canvas->at(1), document.adjusted(-40, -40, 40, 40), [&](const QPoint &p) {
            const QPoint d = p - document.topLeft() + QPoint(40, 40);
            const int a = (d.x() + d.y() * 7) % 256;
            return qRgba(a * (d.x() % 256) / 255, a * ((d.y() * 9) % 256) / 255, a - a / 3, a);
        });
        MTransform transform;
        transform.setTranslation(-canvas->paintedRect().topLeft() + QPointF(pan));
        auto draw = [&](bool stroke) {
            canvas->setStrokeInProgress(stroke);
            return drawAsView([&](MPaintParams &params) { params.transform = &transform; });
        };
        const QImage copied = draw(false);
        const QImage general = draw(true);
        canvas->setStrokeInProgress(false);
        QCOMPARE_IMAGES(copied, general, 0);
        const QRect shown = document.translated(-document.topLeft() + pan);
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (!shown.contains(x, y))
                    QCOMPARE(copied.pixel(x, y), QRgb(0));
            }
        }
    }

    // Three layers in bands that overlap: which are drawn, in what order and
    // how strongly.
    void layerStack_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<bool>("timeLine");
        QTest::addColumn<bool>("previousFrame");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("hideMiddle");
        QTest::addColumn<double>("middleOpacity");
        QTest::addColumn<Drawn>("drawn"); // rows and opacities, bottom first
        using D = Drawn;
        QTest::newRow("all") << 2 << false << false << false << false << 1.0 << D{{0, 0.5}, {1, 1.0}, {2, 1.0}};
        QTest::newRow("opacity") << 2 << false << false << false << false << 0.25 << D{{0, 0.5}, {1, 0.25}, {2, 1.0}};
        QTest::newRow("hidden") << 2 << false << false << false << true << 1.0 << D{{0, 0.5}, {2, 1.0}};
        QTest::newRow("no opacity") << 2 << false << false << false << false << 0.0 << D{{0, 0.5}, {2, 1.0}};
        QTest::newRow("time line") << 1 << true << false << false << false << 1.0 << D{{1, 1.0}};
        QTest::newRow("time line, hidden frame") << 1 << true << false << false << true << 1.0 << D{};
        QTest::newRow("previous frame") << 1 << true << true << false << false << 1.0 << D{{1, 1.0}, {2, 0.4}};
        QTest::newRow("previous frame of the last row") << 2 << true << true << false << false << 1.0 << D{{2, 1.0}};
        QTest::newRow("background") << 2 << true << false << true << false << 1.0 << D{{0, 0.5}, {2, 1.0}};
        QTest::newRow("background drawn twice") << 0 << true << false << true << false << 1.0 << D{{0, 0.5}, {0, 0.5}};
    }

    void layerStack()
    {
        QFETCH(int, currentRow);
        QFETCH(bool, timeLine);
        QFETCH(bool, previousFrame);
        QFETCH(bool, background);
        QFETCH(bool, hideMiddle);
        QFETCH(double, middleOpacity);
        QFETCH(Drawn, drawn);
        canvas->appendLayer();
        canvas->appendLayer();
        const QRect bands[3] = {QRect(-100, -60, 120, 120), QRect(-40, -60, 120, 120), QRect(20, -60, 80, 120)};
        const QRgb colours[3] = {qRgba(200, 0, 0, 255), premultiplied(QColor(0, 200, 0, 160)), qRgba(0, 0, 200, 255)};
        canvas->makeCurrent();
        for (int row = 0; row < 3; ++row)
            paintRect(canvas->at(row), bands[row], colours[row]);
        canvas->at(0)->setOpacity(0.5);
        canvas->at(1)->setOpacity(middleOpacity);
        canvas->at(1)->setVisible(!hideMiddle);
        canvas->setCurrentRow(currentRow);

        const QImage image = drawAsView([&](MPaintParams &params) {
            params.timeLineMode = timeLine;
            params.showPreviousFrame = previousFrame;
            params.firstLayerAsBackground = background;
        });
        const QImage expected = expectedImage([&](const QPoint &p) {
            QRgb result = 0;
            for (const auto &layer : drawn) {
                if (bands[layer.first].contains(p + QPoint(-100, -60)))
                    result = over(result, scaled(colours[layer.first], layer.second));
            }
            return result;
        });
        QCOMPARE_IMAGES(image, expected, 2);
    }

    // While a stroke is in progress the current layer shows the stroke
    // merged in, even over its own effect.
    void strokeInProgress_data()
    {
        QTest::addColumn<bool>("inProgress");
        QTest::addColumn<bool>("eraser");
        QTest::addColumn<double>("strokeOpacity");
        QTest::newRow("no stroke") << false << false << 1.0;
        QTest::newRow("paint") << true << false << 0.5;
        QTest::newRow("eraser") << true << true << 0.5;
    }

    void strokeInProgress()
    {
        QFETCH(bool, inProgress);
        QFETCH(bool, eraser);
        QFETCH(double, strokeOpacity);
        auto *effect = new MTestEffect(QStringLiteral("{5A1C0D1E-0000-4000-8000-000000000001}"),
                                       QStringLiteral("f_color = vec4(0.0, 0.0, 0.0, 1.0);"));
        MShaderList::instance()->append(effect);
        canvas->at(0)->set_shaderId(effect->id());
        paintFirstLayer();
        const QRect stroke(-60, -40, 70, 60);
        const QRgb strokePixel = qRgba(0, 100, 0, 200);
        paintRect(canvas->strokeLayer(), stroke, strokePixel);
        canvas->strokeLayer()->setEraserMode(eraser);
        canvas->strokeLayer()->setOpacity(strokeOpacity);
        canvas->setStrokeInProgress(inProgress);
        const QImage image = drawAsView();
        const QImage expected = expectedImage([&](const QPoint &p) {
            const QPoint c = p + QPoint(-100, -60);
            if (!inProgress)
                return qRgba(0, 0, 0, 255); // the effect
            const QRgb layer = layerOver(0, c);
            if (!stroke.contains(c))
                return layer;
            const double a = qAlpha(strokePixel) / 255.0 * strokeOpacity;
            return eraser ? scaled(layer, 1.0 - a) : over(layer, scaled(strokePixel, strokeOpacity));
        });
        QCOMPARE_IMAGES(image, expected, 2);
    }

    void effectSwitchedOffDrawsBasic()
    {
        auto *effect = new MTestEffect(QStringLiteral("{5A1C0D1E-0000-4000-8000-000000000002}"),
                                       QStringLiteral("f_color = vec4(0.0, 0.0, 0.0, 1.0);"));
        MShaderList::instance()->append(effect);
        canvas->at(0)->set_shaderId(effect->id());
        paintFirstLayer();
        QCOMPARE_IMAGES(drawAsView(), expectedImage([](const QPoint &) { return qRgba(0, 0, 0, 255); }), 0);
        canvas->at(0)->set_isShaderActive(false);
        QCOMPARE_IMAGES(drawAsView(), expectedImage([](const QPoint &p) { return layerOver(0, p + QPoint(-100, -60)); }),
                       1);
    }

    // Loading an effect's textures happens in the document's context; the
    // view's pass must go on in its own.
    void effectTexturesLoadDuringAViewPass()
    {
        const MTestFolder folder;
        QImage texture(4, 4, QImage::Format_ARGB32);
        texture.fill(qRgba(255, 0, 0, 255));
        QVERIFY(texture.save(folder.filePath(QStringLiteral("red.png"))));
        auto *effect = new MTestEffect(QStringLiteral("{5A1C0D1E-0000-4000-8000-000000000003}"),
                                       QStringLiteral("f_color = texture(u_paint, vec2(0.5)) * texture(f_currentLayerTexture, v_texCoords0).a;"));
        effect->addTexture("u_paint", folder.filePath(QStringLiteral("red.png")));
        MShaderList::instance()->append(effect);
        canvas->at(0)->set_shaderId(effect->id());
        canvas->makeCurrent();
        paintRect(canvas->at(0), red, qRgba(0, 0, 0, 255));
        QVERIFY(effect->texturesModified());
        const QImage image = drawAsView();
        QVERIFY(!effect->texturesModified());
        QCOMPARE_IMAGES(image, expectedImage([](const QPoint &p) {
                            return red.contains(p + QPoint(-100, -60)) ? qRgba(255, 0, 0, 255) : QRgb(0);
                        }),
                        0);
    }

    // The outline of a pixel selection: selected pixels next to unselected ones.
    void selectionOutline_data()
    {
        QTest::addColumn<bool>("pathSelection");
        QTest::newRow("pixel selection") << false;
        QTest::newRow("path selection") << true;
    }

    void selectionOutline()
    {
        QFETCH(bool, pathSelection);
        const QRect selected(-50, -30, 60, 40);
        if (pathSelection) {
            QPainterPath path;
            path.addRect(QRectF(selected));
            canvas->setClipPath(path);
        } else {
            canvas->makeCurrent();
            paintRect(canvas->selectionLayer(), selected, qRgba(0, 0, 0, 255));
            canvas->set_hasSelection(true);
        }
        QVERIFY(canvas->hasSelection());
        const QImage image = drawAsView();
        const QRect inner = selected.adjusted(1, 1, -1, -1);
        const QImage expected = expectedImage([&](const QPoint &p) {
            const QPoint c = p + QPoint(-100, -60);
            const bool edge = !pathSelection && selected.contains(c) && !inner.contains(c);
            return edge ? qRgba(0, 179, 0, 179) : QRgb(0);
        });
        QCOMPARE_IMAGES(image, expected, 1);
    }

    void setPaperSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRectF>("expected");
        QTest::addColumn<QString>("text");
        QTest::newRow("larger") << QSize(300, 100) << QRectF(-150, -50, 300, 100)
                                << QStringLiteral("Resize painted rectangle: 300, 100");
        QTest::newRow("zero") << QSize(0, 0) << QRectF(0, 0, 1, 1) << QStringLiteral("Resize painted rectangle: 1, 1");
        QTest::newRow("odd") << QSize(51, 33) << QRectF(-25, -16, 51, 33)
                             << QStringLiteral("Resize painted rectangle: 51, 33");
    }

    void setPaperSize()
    {
        QFETCH(QSize, size);
        QFETCH(QRectF, expected);
        QFETCH(QString, text);
        QSignalSpy changed(canvas.get(), &MCanvas::paintedRectChanged);
        canvas->setPaperSize(size);
        QCOMPARE(canvas->paintedRect(), expected);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->undoStack()->text(0),
                 QStringLiteral("Set canvas size: %1, %2").arg(size.width()).arg(size.height()));
        QCOMPARE(canvas->undoStack()->command(0)->child(0)->text(), text);
        canvas->undo();
        QCOMPARE(canvas->paintedRect(), QRectF(-100, -60, W, H));
        canvas->redo();
        QCOMPARE(canvas->paintedRect(), expected);
        QVERIFY(!MTestCanvas::macroOpen(canvas.get()));
    }

    void cropKeepsTheSelection()
    {
        QPainterPath selection;
        selection.addRect(-10, -10, 20, 20);
        canvas->setClipPath(selection);
        canvas->setPaperSize(QSize(100, 60), true);
        QCOMPARE(canvas->paintedRect(), QRectF(-50, -30, 100, 60));
        QCOMPARE(canvas->selectionPath(), selection);
        QVERIFY(canvas->hasSelection());
    }

    void setPaintedRectComparesFuzzily()
    {
        QSignalSpy changed(canvas.get(), &MCanvas::paintedRectChanged);
        QSignalSpy refreshed(canvas.get(), qOverload<bool, const QRectF &>(&MCanvas::refresh));
        canvas->setPaintedRect(QRectF(-100 + 1e-13, -60, W, H));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(refreshed.count(), 0);
        canvas->setPaintedRect(QRectF(-100, -60, W, H + 1));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(refreshed.count(), 1);
        canvas->updatePaintedRect(QRectF());
        QCOMPARE(canvas->undoStack()->count(), 0);
        canvas->updatePaintedRect(QRectF(0.5, 0.5, 10, 10));
        QCOMPARE(canvas->paintedRect(), QRectF(0, 0, 11, 11));
    }

    // The painted rectangle never grows past what a document file can hold,
    // however it is asked to, and a document at the limit reads back whole.
    void paintedRectStaysWhereTheFileHoldsIt_data()
    {
        const double L = MDocumentDescription::CoordinateLimit;
        QTest::addColumn<QRectF>("asked");
        QTest::addColumn<QRectF>("kept");
        QTest::addColumn<bool>("limited");
        QTest::newRow("at the limit") << QRectF(-L, -L, 2 * L, 2 * L) << QRectF(-L, -L, 2 * L, 2 * L) << false;
        QTest::newRow("grown to the right") << QRectF(-500, -500, 1.20052e6, 1000) << QRectF(-500, -500, L + 500, 1000)
                                            << true;
        QTest::newRow("grown up and left") << QRectF(-L - 300, -L - 1, L + 400, L + 61)
                                           << QRectF(-L, -L, L + 100, L + 60) << true;
        QTest::newRow("not finite") << QRectF(qInf(), 0, 10, 10) << QRectF(-100, -60, W, H) << true;
        QTest::newRow("wholly outside") << QRectF(3 * L, 0, 10, 10) << QRectF(-100, -60, W, H) << true;
    }

    void paintedRectStaysWhereTheFileHoldsIt()
    {
        QFETCH(QRectF, asked);
        QFETCH(QRectF, kept);
        QFETCH(bool, limited);
        QSignalSpy told(canvas.get(), &MCanvas::paintedRectLimited);
        canvas->setPaintedRect(asked);
        QCOMPARE(canvas->paintedRect(), kept);
        QCOMPARE(told.count(), limited ? 1 : 0);

        // The recorded resize is kept within the limit too.
        canvas->setPaintedRect(QRectF(-100, -60, W, H));
        canvas->updatePaintedRect(asked);
        QCOMPARE(canvas->paintedRect(), kept);
        QCOMPARE(canvas->undoStack()->count(), kept == QRectF(-100, -60, W, H) ? 0 : 1);

        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("limit.kxd"));
        QVERIFY(canvas->saveToFile(path));
        canvas->setPaintedRect(QRectF(-100, -60, W, H));
        QVERIFY(canvas->loadFromFile(path));
        QCOMPARE(canvas->paintedRect(), kept);
    }

    // A resize to the rectangle the document already has is no step to undo.
    void unchangedResizeRecordsNothing()
    {
        QPainterPath selection;
        selection.addRect(-100, -60, W, H);
        canvas->setClipPath(selection);
        canvas->adjustPaperToSelection();
        canvas->updatePaintedRect(QRectF(-100, -60, W, H));
        QCOMPARE(canvas->undoStack()->count(), 0);
        selection = QPainterPath();
        selection.addRect(-10, -10, 20, 30);
        canvas->setClipPath(selection);
        canvas->adjustPaperToSelection();
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->paintedRect(), QRectF(-10, -10, 20, 30));
        canvas->resetClipPath();
    }

    // A new paper image (as a document file brings) replaces the old one on screen.
    void paperTileReplacesThePaper()
    {
        canvas->setPaperType(MEnum::Paper);
        QImage paper(4, 4, QImage::Format_ARGB32);
        paper.fill(qRgba(255, 0, 0, 255));
        canvas->setPaperTile(paper);
        QCOMPARE(canvas->flattenedImage(QStringLiteral("basic")).pixel(3, 3), qRgba(255, 0, 0, 255));
        paper.fill(qRgba(0, 0, 255, 255));
        canvas->setPaperTile(paper);
        QCOMPARE(canvas->flattenedImage(QStringLiteral("basic")).pixel(3, 3), qRgba(0, 0, 255, 255));
    }

    void paperName()
    {
        QImage paper(4, 4, QImage::Format_RGB32);
        paper.fill(Qt::darkCyan);
        QVERIFY(paper.save(MFolders::papersDirectory(MFolders::UserPath) + QStringLiteral("cyan.png")));
        QSignalSpy refreshed(canvas.get(), qOverload<bool, const QRectF &>(&MCanvas::refresh));
        canvas->setPaperName(QStringLiteral("  cyan.png "));
        QCOMPARE(canvas->paperName(), QStringLiteral("cyan.png"));
        QCOMPARE(canvas->paperTile().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(refreshed.count(), 1);
        canvas->setPaperName(QStringLiteral("missing.png"));
        QCOMPARE(canvas->paperName(), QStringLiteral("cyan.png"));
        QCOMPARE(canvas->paperTile().pixelColor(1, 1), QColor(Qt::darkCyan));
        QCOMPARE(refreshed.count(), 1);
    }

    void appendUndoRedoAndReset()
    {
        QSignalSpy modified(canvas.get(), &MCanvas::modifiedChanged);
        canvas->appendLayer();
        QCOMPARE(canvas->count(), 2);
        QCOMPARE(canvas->currentRow(), 1);
        QCOMPARE(canvas->at(1)->name(), QStringLiteral("Layer 2"));
        QVERIFY(canvas->isModified());
        QVERIFY(modified.count() > 0);
        canvas->undo();
        QCOMPARE(canvas->count(), 1);
        canvas->redo();
        QCOMPARE(canvas->count(), 2);
        canvas->setPaperSize(QSize(40, 40));
        QSignalSpy reset(canvas.get(), &MCanvas::layerListReset);
        canvas->reset();
        QCOMPARE(canvas->count(), 1);
        QCOMPARE(canvas->undoStack()->count(), 0);
        QCOMPARE(canvas->paintedRect(), QRectF(-100, -60, W, H));
        QCOMPARE(canvas->paperType(), int(MEnum::Colored));
        QVERIFY(canvas->autoExtent());
        QCOMPARE(canvas->paintMargin(), 20.0);
        QVERIFY(reset.count() >= 1);
    }

    void shutDownReleasesEverything()
    {
        MCanvas document;
        document.makeCurrent();
        paintRect(document.at(0), red, redPixel);
        document.shutDown();
        QVERIFY(!document.isGlReady());
        QCOMPARE(document.count(), 0);
        QCOMPARE(document.context(), nullptr);
        QVERIFY(!document.strokes()->isValid());
        QVERIFY(!document.paintEngine()->isReady());
        const MTestLogWatch log;
        QVERIFY(document.flattenedImage(QStringLiteral("basic")).isNull());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to make current context")), 1);
    }
};

QTEST_MAIN(TestMCanvas)
#include "tst_mcanvas.moc"

// Frame time of the canvas view: a document of 10 fully painted 4000 x 4000
// layers in a 1920 x 1080 view at zoom 1, 0.25 and 4 and rotated, beside
// the frame of the same view with every layer hidden (the baseline: clear,
// paper and overlay only).

#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {
constexpr int documentSize = 4000;
constexpr int layerCount = 10;

class BenchView : public MWidget
{
public:
    // One whole frame, finished on the GPU.
    double frameMs(int frames)
    {
        makeCurrent();
        paintGL(); // warm-up
        context()->functions()->glFinish();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < frames; ++i) {
            paintGL();
            context()->functions()->glFinish();
        }
        return double(timer.nsecsElapsed()) / 1e6 / frames;
    }
};
} // namespace

int main(int argc, char **argv)
{
    MTestGLContext::prepareSharedContexts();
    QApplication application(argc, argv);
    MLogger::instance();
    if (!MOpenGL::instance()->initialize()) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    MSettings::instance()->set_defaultWidth(documentSize);
    MSettings::instance()->set_defaultHeight(documentSize);
    MSettings::instance()->set_textDuration(0);
    BenchView view;
    view.resize(1920, 1080);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    while (!view.findChildren<QAbstractAnimation *>().isEmpty())
        QTest::qWait(50);

    MCanvas *canvas = view.canvas();
    canvas->makeCurrent();
    while (canvas->count() < layerCount)
        canvas->appendLayer();
    for (int i = 0; i < layerCount; ++i) {
        canvas->makeCurrent();
        MTestCanvas::paintRect(canvas->at(i), canvas->paintedRect().toRect(),
                               qRgba(20 * i, 100, 60, 128));
    }
    canvas->makeCurrent();
    canvas->context()->functions()->glFinish();

    struct Case
    {
        const char *name;
        double scale;
        double rotation;
    };
    const Case cases[] = {{"zoom 1", 1.0, 0.0}, {"zoom 0.25", 0.25, 0.0}, {"zoom 4", 4.0, 0.0},
                          {"zoom 0.5, rotated 30", 0.5, 30.0}};
    std::printf("canvas view frame, %d painted %d x %d layers in 1920 x 1080\n", layerCount, documentSize,
                documentSize);
    for (const Case &c : cases) {
        view.setScale(c.scale);
        view.transform()->setCentre(canvas->paintedRect().center());
        view.transform()->setRotation(c.rotation);
        const int frames = 5;
        const double full = view.frameMs(frames);
        for (int i = 0; i < layerCount; ++i)
            canvas->at(i)->setVisible(false);
        const double empty = view.frameMs(frames);
        for (int i = 0; i < layerCount; ++i)
            canvas->at(i)->setVisible(true);
        std::printf("%-22s %8.1f ms per frame | baseline, layers hidden: %6.1f ms | ratio %.1fx\n", c.name, full,
                    empty, full / empty);
        std::fflush(stdout);
    }
    view.shutDown();
    return 0;
}

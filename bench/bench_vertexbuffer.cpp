// Filling the stamp buffer: one upload per vertex (baseline) against one upload
// for the whole batch, as a stroke pass of 10000 stamps does it.

#include "mquadtransform.h"
#include "mtestglcontext.h"
#include "mvertexbuffer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    MTestGLContext gl;
    if (!gl.isValid()) {
        std::fprintf(stderr, "no OpenGL 3.3 context\n");
        return 1;
    }
    constexpr int vertices = 60000;
    constexpr int rounds = 20;
    std::vector<MQuadTransform> batch(vertices);
    for (int i = 0; i < vertices; ++i)
        batch[size_t(i)].position[0] = float(i);

    MVertexBuffer buffer(vertices);
    if (!buffer.create() || !buffer.bind())
        return 1;
    auto run = [&](bool perVertex) {
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < rounds; ++round) {
            buffer.clear();
            if (perVertex) {
                for (const MQuadTransform &vertex : batch)
                    buffer.addVertex(vertex);
            } else {
                buffer.addVertices(batch.data(), vertices);
            }
            gl.context()->functions()->glFinish();
        }
        return double(timer.nsecsElapsed()) / 1e6 / rounds;
    };
    run(false);    // warm-up
    const double baseline = run(true);
    const double batched = run(false);
    std::printf("fill %d vertices: one upload per vertex %.2f ms (baseline), one upload per batch %.2f ms (%.1fx)\n",
                vertices, baseline, batched, baseline / batched);
    buffer.release();
    return 0;
}

#pragma once

#include <QVector2D>

#include <type_traits>

// One vertex of the layout every vertex buffer is filled with: 28 floats,
// written to the GPU as they lie in memory.
struct MQuadTransform
{
    float position[2] = {0.0f, 0.0f};
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float modelMatrix[16] = {1.0f, 0.0f, 0.0f, 0.0f,
                             0.0f, 1.0f, 0.0f, 0.0f,
                             0.0f, 0.0f, 1.0f, 0.0f,
                             0.0f, 0.0f, 0.0f, 1.0f};
    QVector2D textureCoordinates[3];

    // The frame of the stamp the vertex belongs to, which the stamping program
    // reads from the model matrix (no other program reads it): the stamp's
    // centre in document pixels, and its stamp coordinates per document
    // pixel, u along x and y, then v along x and y.
    void setStampFrame(float centreX, float centreY, const float (&axes)[4])
    {
        for (int i = 0; i < 4; ++i)
            modelMatrix[i] = axes[i];
        modelMatrix[4] = centreX;
        modelMatrix[5] = centreY;
    }
};

static_assert(sizeof(MQuadTransform) == 112, "a vertex is 28 tightly packed floats");
static_assert(std::is_trivially_copyable<MQuadTransform>::value, "vertices are copied to the GPU byte for byte");

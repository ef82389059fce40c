#version 330 core

// The vertex stage of stamps: the common layout, and the frame of the stamp
// each vertex belongs to, which every vertex of the stamp carries alike in
// its model matrix (see MQuadTransform::setStampFrame).
#include "include/vertex_layout_vert.glsl"

// The stamp's centre in window pixels, and its stamp coordinates per window
// pixel: u along x and y, then v along x and y.
flat out vec2 v_stampCentre;
flat out vec4 v_stampAxes;

void main(void)
{
    passVertex();
    // The projection is an orthographic one onto the whole viewport, a window
    // pixel per unit: from normalized device coordinates back to pixels.
    vec4 centre = mvp * vec4(modelMatrix[1].xy, 0.0, 1.0);
    v_stampCentre = (centre.xy + 1.0) / vec2(mvp[0][0], mvp[1][1]);
    v_stampAxes = modelMatrix[0];
}

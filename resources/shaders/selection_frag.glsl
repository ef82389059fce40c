#version 330 core
#include "include/layer_frag.glsl"

// The outline of a pixel selection: selected pixels that touch an unselected one.
uniform sampler2D f_currentLayerTexture;
uniform float f_opacity = 0.5;
uniform float f_globalTime = 0.0;

void main(void)
{
    if (texture(f_currentLayerTexture, v_texCoords0).a == 0.0)
        discard;
    float step = 1.0 / f_textureSize;
    bool edge = false;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            if (texture(f_currentLayerTexture, v_texCoords0 + vec2(i, j) * step).a == 0.0)
                edge = true;
    if (!edge)
        discard;
    if (clippedByPaintedRect())
        discard;
    f_color = vec4(0.0, 0.7, 0.0, 0.7);
}

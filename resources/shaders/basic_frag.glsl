#version 330 core
#include "include/layer_frag.glsl"

uniform sampler2D f_currentLayerTexture;
uniform float f_opacity = 1.0;

void main(void)
{
    if (clippedByPaintedRect())
        discard;
    f_color = texture(f_currentLayerTexture, v_texCoords0) * f_opacity;
}

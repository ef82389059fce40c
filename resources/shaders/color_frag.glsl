#version 330 core
#include "include/layer_frag.glsl"

uniform float f_opacity = 1.0;

void main(void)
{
    if (clippedByPaintedRect())
        discard;
    f_color = v_color * f_opacity;
}

#version 330 core
#include "include/layer_frag.glsl"

// The current layer with the stroke in progress laid over it (or, for an
// eraser, taken out of it).
uniform sampler2D f_currentLayerTexture;
uniform sampler2D f_strokeLayerTexture;
uniform float f_opacity = 1.0;
uniform bool f_eraserMode = false;
uniform float f_strokeOpacity = 1.0;

void main(void)
{
    if (clippedByPaintedRect())
        discard;
    vec4 layer = texture(f_currentLayerTexture, v_texCoords0);
    vec4 stroke = texture(f_strokeLayerTexture, v_texCoords0);
    float a = stroke.a * f_strokeOpacity;
    vec4 color;
    if (f_eraserMode)
        color = stroke.a == 0.0 ? layer : layer * (1.0 - a);
    else
        color = stroke * f_strokeOpacity + (1.0 - a) * layer;
    f_color = color * f_opacity;
}

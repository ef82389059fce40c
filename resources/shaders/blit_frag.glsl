#version 330 core
#include "include/layer_frag.glsl"

uniform sampler2D f_currentLayerTexture;
uniform sampler2D f_selectionLayerTexture;
uniform bool f_clipToSelection = false;
uniform float f_opacity = 1.0;

void main(void)
{
    vec4 color = texture(f_currentLayerTexture, v_texCoords0) * f_opacity;
    if (f_clipToSelection) {
        float selection = texture(f_selectionLayerTexture, v_texCoords0).a;
        if (selection < 0.01)
            discard;
        color *= selection;
    }
    if (clippedByPaintedRect())
        discard;
    f_color = color;
}

#version 330 core

#include "include/varyings_frag.glsl"

uniform vec4 f_fillColor;
uniform bool f_clipToSelection = false;
uniform sampler2D f_currentLayerTexture;
uniform sampler2D f_selectionLayerTexture;

void main(void)
{
    if (f_clipToSelection && texture(f_selectionLayerTexture, v_texCoords0).a == 0.0)
        f_color = texture(f_currentLayerTexture, v_texCoords0);
    else
        f_color = f_fillColor;
}

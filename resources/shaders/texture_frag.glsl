#version 330 core

#include "include/varyings_frag.glsl"

uniform sampler2D f_texture;
uniform int f_levelOfDetail = 0;
uniform float f_opacity = 1.0;

void main(void)
{
    f_color = textureLod(f_texture, v_texCoords0, float(f_levelOfDetail)) * f_opacity;
}

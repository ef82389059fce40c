#version 330 core

#include "include/vertex_layout_vert.glsl"

void main(void)
{
    passVertex();
}

#version 330 core

uniform vec4 lineColor;

out vec4 color;

void main(void)
{
    color = lineColor;
}

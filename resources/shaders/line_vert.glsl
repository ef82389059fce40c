#version 330 core

in vec3 in_position_ms;

uniform mat4 mvpMat;

void main(void)
{
    gl_Position = mvpMat * vec4(in_position_ms, 1.0);
}

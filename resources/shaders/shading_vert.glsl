#version 330 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoords;

uniform mat4 modelMat;
uniform mat4 viewMat;
uniform mat4 mvpMat;
uniform mat3 normalMat;

out vec3 v_position;
out vec3 v_normal;
out vec2 v_texCoords;

void main(void)
{
    v_position = vec3(viewMat * modelMat * vec4(position, 1.0));
    v_normal = normalize(normalMat * normal);
    v_texCoords = texCoords;
    gl_Position = mvpMat * vec4(position, 1.0);
}

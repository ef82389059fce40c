#version 330 core
#include "include/lighting.glsl"

// Ambient, diffuse and specular lighting by a single light.
in vec3 v_position;
in vec3 v_normal;
in vec2 v_texCoords;

out vec4 color;

uniform Light light;
uniform Material material;

void main(void)
{
    vec3 normal = normalize(gl_FrontFacing ? v_normal : -v_normal);
    color = vec4(clamp(material.emission + lightContribution(light, material, v_position, normal, true, false),
                       0.0, 1.0), 1.0);
}

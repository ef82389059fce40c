#version 330 core
#include "include/lighting.glsl"

// A lit 3D model: up to ten lights over one material, optionally textured.
in vec3 v_position;
in vec3 v_normal;
in vec2 v_texCoords;

out vec4 color;

const int maxLights = 10;

uniform vec3 globalAmbient;
uniform bool applyShading = true;
uniform bool applySpecular = true;
uniform bool applyToon = false;
uniform float alpha = 1.0;
uniform int numLights = 0;
uniform Light lights[maxLights];
uniform Material material;
uniform sampler2D tex;
uniform bool applyTexture = false;

void main(void)
{
    vec3 base = applyTexture ? texture(tex, v_texCoords).rgb : vec3(1.0);
    vec3 lit = material.diffuse;
    if (applyShading) {
        vec3 normal = normalize(gl_FrontFacing ? v_normal : -v_normal);
        lit = material.emission + globalAmbient * material.ambient;
        for (int i = 0; i < min(numLights, maxLights); ++i)
            lit += lightContribution(lights[i], material, v_position, normal, applySpecular, applyToon);
    }
    color = vec4(clamp(lit * base, 0.0, 1.0) * alpha, alpha);
}

#version 330 core

// Picks up the colour of the layer under a wet brush: the colour buffer
// (f_colorTexture) moves toward the layer colour at the absorption rate.
#include "include/varyings_frag.glsl"

uniform bool f_clear = false;
uniform float f_colorAbsorbtionRate = 0.01;
uniform float f_colorFlowingRate = 0.0;
uniform sampler2D f_colorTexture;
uniform sampler2D f_currentLayerTexture;

vec3 unmultiply(vec4 c)
{
    return c.rgb / max(1.0 / 256.0, c.a);
}

void main(void)
{
    vec4 colorSample = texture(f_colorTexture, v_texCoords0);
    vec4 layerSample = texture(f_currentLayerTexture, v_texCoords1);
    vec3 color = unmultiply(colorSample);
    vec3 layer = unmultiply(layerSample);
    if (f_clear) {
        if (f_colorFlowingRate == 0.0)
            f_color = layerSample.a == 0.0 ? vec4(1.0) : vec4(layer, 1.0);
        else
            f_color = v_color;
    } else {
        vec3 target = layerSample.a == 0.0 ? vec3(1.0) : layer;
        f_color = vec4(mix(color, target, f_colorAbsorbtionRate), 1.0);
    }
}

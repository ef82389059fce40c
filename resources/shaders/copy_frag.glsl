#version 330 core

// A layer tile drawn as it is stored, for a view that shows each canvas pixel
// on one view pixel at full opacity. Nothing but the one texture read: a
// software driver runs such a program as a plain blended copy.
in vec2 v_texCoords0;

out vec4 f_color;

uniform sampler2D f_currentLayerTexture;

void main(void)
{
    f_color = texture(f_currentLayerTexture, v_texCoords0);
}

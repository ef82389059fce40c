#version 330 core
#include "include/layer_frag.glsl"

// Frame of an effect: v_texCoords0 addresses the current layer tile.
uniform sampler2D f_currentLayerTexture;
uniform sampler2D f_underLayerTexture;
uniform sampler2D f_paperTexture;
uniform sampler2D f_selectionLayerTexture;
uniform sampler2D f_tilesTextures[8];
uniform bool f_clipToSelection = false;
uniform float f_opacity = 1.0;
uniform float f_globalTime = 0.0;

// Which of the 3 x 3 neighbouring tiles a coordinate that may leave the
// tile falls in (row 0 above, 2 below; column 0 left, 2 right).
int tileRow(vec2 t)
{
    return t.y > 1.0 ? 2 : (t.y < 0.0 ? 0 : 1);
}

int tileCol(vec2 t)
{
    return t.x > 1.0 ? 2 : (t.x < 0.0 ? 0 : 1);
}

int tileIndex(vec2 t)
{
    return clamp(3 * tileRow(t) + tileCol(t), 0, 8);
}

// The coordinate inside the neighbouring tile it falls in.
vec2 tileTexCoord(vec2 t)
{
    vec2 c = t;
    if (c.x > 1.0) c.x -= 1.0;
    if (c.x < 0.0) c.x += 1.0;
    if (c.y > 1.0) c.y -= 1.0;
    if (c.y < 0.0) c.y += 1.0;
    return c;
}

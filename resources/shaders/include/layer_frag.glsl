// Declarations shared by the fragment stages that draw a layer tile, and
// the painted-rectangle clip.
#include "include/varyings_frag.glsl"
#include "include/tile_uniforms.glsl"
uniform bool f_clipToPaintedRect = true;

// Inside the painted rectangle, its four edges included.
bool inRect(float x, float y)
{
    return x >= f_paintedRectPos.x && x <= f_paintedRectPos.x + f_paintedRectWidth
        && y >= f_paintedRectPos.y && y <= f_paintedRectPos.y + f_paintedRectHeight;
}

// The fragment lies outside the painted rectangle while clipping to it.
bool clippedByPaintedRect(void)
{
    vec2 canvas = f_texturePos + v_texCoords0 * f_textureSize;
    return f_clipToPaintedRect && !inRect(canvas.x, canvas.y);
}

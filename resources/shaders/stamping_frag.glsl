#include "std_brush_header_frag.glsl"

void main(void)
{
    float alpha = getStandardClipping(getStandardAlpha());
    if (alpha < 0.004)
        discard;
    f_color = getStandardComposition(getStandardColor(), alpha);
}

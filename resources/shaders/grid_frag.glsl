#version 330 core

// An anti-aliased grid of major and minor lines laid over a texture. The quad
// shows the area u_limits2 (xmin, xmax, ymin, ymax) of grid space; the grid is
// drawn where u_limits1 allows it. Widths and the fall-off are in pixels of
// iResolution.
#include "include/varyings_frag.glsl"

uniform float u_antialias = 1.0;
uniform vec4 u_limits1;
uniform vec4 u_limits2;
uniform vec2 u_major_grid_step;
uniform vec2 u_minor_grid_step;
uniform float u_major_grid_width = 1.5;
uniform float u_minor_grid_width = 0.75;
uniform vec4 u_major_grid_color = vec4(0.0, 0.0, 0.0, 1.0);
uniform vec4 u_minor_grid_color = vec4(0.5, 0.5, 0.5, 1.0);
uniform sampler2D u_texture;
uniform vec2 iResolution;
uniform vec2 quadsize;

// Distance in pixels from p to the nearest line of a grid of the given step.
vec2 lineDistance(vec2 p, vec2 step, vec2 pixelsPerUnit)
{
    vec2 offset = p - step * floor(p / max(step, vec2(1e-6)) + 0.5);
    return abs(offset) * pixelsPerUnit;
}

// Coverage of a line of the given width at a distance d, fading out over the
// anti-aliasing width.
float lineAlpha(float d, float width)
{
    float t = max(d - 0.5 * width, 0.0) / max(u_antialias, 1e-3);
    return exp(-t * t);
}

void main(void)
{
    vec2 low = u_limits2.xz;
    vec2 high = u_limits2.yw;
    vec2 p = mix(low, high, v_texCoords0);
    vec2 pixelsPerUnit = iResolution / max(abs(high - low), vec2(1e-6));

    vec4 color = texture(u_texture, v_texCoords0);
    bool inside = p.x >= u_limits1.x && p.x <= u_limits1.y && p.y >= u_limits1.z && p.y <= u_limits1.w;
    if (inside) {
        vec2 minor = lineDistance(p, u_minor_grid_step, pixelsPerUnit);
        vec2 major = lineDistance(p, u_major_grid_step, pixelsPerUnit);
        float minorAlpha = max(lineAlpha(minor.x, u_minor_grid_width), lineAlpha(minor.y, u_minor_grid_width));
        float majorAlpha = max(lineAlpha(major.x, u_major_grid_width), lineAlpha(major.y, u_major_grid_width));
        color = mix(color, u_minor_grid_color, minorAlpha * u_minor_grid_color.a);
        color = mix(color, u_major_grid_color, majorAlpha * u_major_grid_color.a);
    }
    f_color = color;
}

#version 330 core

// Frame of a brush engine: everything a stamp program reads, and the
// functions of the standard stamp, which an engine's main may call.
//   stampPosition(): position inside the stamp's square, 0..1, centre
//                    (0.5, 0.5); beyond it where the quad is larger
//   v_texCoords0: the quad's coordinates, the same inside the square
//   v_texCoords1: the same fragment in the current layer tile
//   f_color: premultiplied
#include "include/varyings_frag.glsl"

uniform float f_radius = 10.0;
uniform float f_hardness = 1.0;
uniform float f_density = 1.0;
uniform float f_flow = 1.0;
uniform float f_opacity = 1.0;
uniform int f_compositionMode = 0;
uniform bool f_inheritAlphaUnder = false;
uniform int f_alphaEquation = 0;
uniform bool f_inheritAlphaCurrent = false;
uniform bool f_hasTexture = false;
uniform int f_preserveTextureColor = 0;
uniform float f_colorAbsorbtionRate = 0.0;
uniform float f_colorFlowingRate = 1.0;
uniform int f_antialiasing = 0;
uniform bool f_clipToSelection = true;
uniform int f_shape = 0;
uniform float f_factor = 1.0;
uniform vec4 f_borderColor = vec4(1.0);
uniform bool f_useBorderColor = false;
// Brush engines may read these; the stamp variants do not, and leave them
// out so that the driver does not keep them as set per pass.
#ifndef STAMP_VARIANT
uniform int f_stampCount = 1;
uniform float f_random = 1.0;
#endif
#include "include/tile_uniforms.glsl"

// A program made for one brush fixes the features it uses when it is
// compiled, so that the branches it never takes cost nothing.
#ifdef STAMP_ANTIALIASING
#define S_ANTIALIASING STAMP_ANTIALIASING
#else
#define S_ANTIALIASING f_antialiasing
#endif
#ifdef STAMP_TEXTURE
#define S_HAS_TEXTURE (STAMP_TEXTURE != 0)
#else
#define S_HAS_TEXTURE f_hasTexture
#endif
#ifdef STAMP_FEEDBACK
#define S_HAS_FEEDBACK (STAMP_FEEDBACK != 0)
#else
#define S_HAS_FEEDBACK (f_colorAbsorbtionRate != 0.0)
#endif
#ifdef STAMP_SHAPE
#define S_SHAPE STAMP_SHAPE
#else
#define S_SHAPE f_shape
#endif
#ifdef STAMP_COMPOSITION
#define S_COMPOSITION STAMP_COMPOSITION
#else
#define S_COMPOSITION f_compositionMode
#endif
#ifdef STAMP_DENSITY
#define S_DENSITY (STAMP_DENSITY != 0)
#else
#define S_DENSITY true
#endif
#ifdef STAMP_CLIP
#define S_CLIP (STAMP_CLIP != 0)
#else
#define S_CLIP f_clipToSelection
#endif
#ifdef STAMP_INHERIT_UNDER
#define S_INHERIT_UNDER (STAMP_INHERIT_UNDER != 0)
#else
#define S_INHERIT_UNDER f_inheritAlphaUnder
#endif
#ifdef STAMP_INHERIT_CURRENT
#define S_INHERIT_CURRENT (STAMP_INHERIT_CURRENT != 0)
#else
#define S_INHERIT_CURRENT f_inheritAlphaCurrent
#endif
#ifdef STAMP_BORDER
#define S_BORDER (STAMP_BORDER != 0)
#else
#define S_BORDER f_useBorderColor
#endif
#ifdef STAMP_SAMPLE_LOOP
#define S_SAMPLE_LOOP (STAMP_SAMPLE_LOOP != 0)
#else
#define S_SAMPLE_LOOP true
#endif
#ifdef STAMP_PRESERVE_COLOR
#define S_PRESERVE_COLOR STAMP_PRESERVE_COLOR
#else
#define S_PRESERVE_COLOR f_preserveTextureColor
#endif

uniform sampler2D f_currentLayerTexture;
uniform sampler2D f_underLayerTexture;
uniform sampler2D f_brushTexture;
uniform sampler2D f_colorTexture;
uniform sampler2D f_selectionLayerTexture;

// Composition modes, numbered as the composition mode table.
const int M_FOREGROUNDOVER = 0;
const int M_BACKGROUNDOVER = 1;
const int M_CLEAR = 2;
const int M_FOREGROUND = 3;
const int M_BACKGROUND = 4;
const int M_FOREGROUNDIN = 5;
const int M_BACKGROUNDIN = 6;
const int M_FOREGROUNDOUT = 7;
const int M_BACKGROUNDOUT = 8;
const int M_FOREGROUNDATOP = 9;
const int M_BACKGROUNDATOP = 10;
const int M_XOR = 11;
const int M_PLUS = 12;
const int M_MULTIPLY = 13;
const int M_SCREEN = 14;
const int M_OVERLAY = 15;
const int M_DARKEN = 16;
const int M_LIGHTEN = 17;
const int M_COLORDODGE = 18;
const int M_COLORBURN = 19;
const int M_HARDLIGHT = 20;
const int M_SOFTLIGHT = 21;
const int M_DIFFERENCE = 22;
const int M_EXCLUSION = 23;
const int M_DARKER = 24;
const int M_LIGHTER = 25;
const int M_VIVIDLIGHT = 26;
const int M_PINLIGHT = 27;
const int M_HSLHUE = 28;
const int M_HSLSATURATION = 29;
const int M_HSLCOLOR = 30;
const int M_HSLLUMINOSITY = 31;
const int M_DODGEHIGHLIGHT = 32;
const int M_BURNHIGHLIGHT = 33;
const int M_DODGEMIDTONE = 34;
const int M_BURNMIDTONE = 35;
const int M_DODGESHADOW = 36;
const int M_BURNSHADOW = 37;
const int M_USER = 1000;

// Antialiasing types.
const int A_ANTIALIASING = 0;
const int A_NOANTIALIASING = 1;
const int A_SMOOTHING = 2;

const float minimumAlpha = 1.0 / 256.0;

// The stamp's frame, the same for all its vertices (stamping_vert.glsl).
flat in vec2 v_stampCentre;
flat in vec4 v_stampAxes;

// Where the fragment lies in the stamp, from its window position and the
// stamp's frame: it does not depend on the quad the stamp was drawn with,
// nor on the stamps drawn in the same draw.
vec2 stampPosition(void)
{
    vec2 d = gl_FragCoord.xy - v_stampCentre;
    return vec2(0.5) + vec2(dot(v_stampAxes.xy, d), dot(v_stampAxes.zw, d));
}

vec3 unmultiply(vec4 c)
{
    return c.rgb / max(minimumAlpha, c.a);
}

float rand(vec2 uv)
{
    return fract(sin(dot(uv, vec2(12.9898, 78.233))) * 43758.5453);
}

float luminance(vec3 c)
{
    return dot(c, vec3(0.30, 0.59, 0.11));
}

// Blend functions of the composition modes: s the stamp colour, d the
// layer colour, both un-premultiplied.
vec3 blendPlus(vec3 s, vec3 d) { return clamp(s + d, 0.0, 1.0); }
vec3 blendMultiply(vec3 s, vec3 d) { return s * d; }
vec3 blendScreen(vec3 s, vec3 d) { return clamp(1.0 - (1.0 - s) * (1.0 - d), 0.0, 1.0); }
vec3 blendDarken(vec3 s, vec3 d) { return min(s, d); }
vec3 blendLighten(vec3 s, vec3 d) { return max(s, d); }
vec3 blendDifference(vec3 s, vec3 d) { return abs(s - d); }
vec3 blendExclusion(vec3 s, vec3 d) { return clamp(s + d - 2.0 * s * d, 0.0, 1.0); }

vec3 blendColorDodge(vec3 s, vec3 d)
{
    return clamp(d / max(vec3(minimumAlpha), 1.0 - s), 0.0, 1.0);
}

vec3 blendColorBurn(vec3 s, vec3 d)
{
    return clamp(1.0 - (1.0 - d) / max(vec3(minimumAlpha), s), 0.0, 1.0);
}

// Multiplies rather than doubling in the dark half: softer than the usual overlay.
float overlay(float s, float d)
{
    return d < 0.5 ? s * d : 1.0 - 2.0 * (1.0 - s) * (1.0 - d);
}

vec3 blendOverlay(vec3 s, vec3 d)
{
    return vec3(overlay(s.r, d.r), overlay(s.g, d.g), overlay(s.b, d.b));
}

float hardLight(float s, float d)
{
    return s > 0.5 ? 1.0 - (1.0 - 2.0 * (s - 0.5)) * (1.0 - d) : 2.0 * d * s;
}

vec3 blendHardLight(vec3 s, vec3 d)
{
    return vec3(hardLight(s.r, d.r), hardLight(s.g, d.g), hardLight(s.b, d.b));
}

vec3 blendSoftLight(vec3 s, vec3 d)
{
    return d * ((1.0 - d) * s + (1.0 - (1.0 - d) * (1.0 - s)));
}

vec3 blendDarker(vec3 s, vec3 d)
{
    return luminance(d) > luminance(s) ? s : d;
}

vec3 blendLighter(vec3 s, vec3 d)
{
    return luminance(d) > luminance(s) ? d : s;
}

// The divisors stay above zero: a black or white stamp burns or dodges fully
// instead of dividing by zero.
float vividLight(float s, float d)
{
    if (s < 0.5)
        return clamp(1.0 - (1.0 - d) / max(minimumAlpha, 2.0 * s), 0.0, 1.0);
    return clamp(d / max(minimumAlpha, 2.0 * (1.0 - s)), 0.0, 1.0);
}

vec3 blendVividLight(vec3 s, vec3 d)
{
    return vec3(vividLight(s.r, d.r), vividLight(s.g, d.g), vividLight(s.b, d.b));
}

float pinLight(float s, float d)
{
    if (2.0 * s - 1.0 > d)
        return clamp(2.0 * s - 1.0, 0.0, 1.0);
    if (s < d / 2.0)
        return clamp(2.0 * s, 0.0, 1.0);
    return d;
}

vec3 blendPinLight(vec3 s, vec3 d)
{
    return vec3(pinLight(s.r, d.r), pinLight(s.g, d.g), pinLight(s.b, d.b));
}

float minComponent(vec3 c) { return min(min(c.r, c.g), c.b); }
float maxComponent(vec3 c) { return max(max(c.r, c.g), c.b); }

vec3 setLum(vec3 c, vec3 l)
{
    float lum = luminance(l);
    vec3 shifted = c + (lum - luminance(c));
    float low = minComponent(shifted);
    float high = maxComponent(shifted);
    if (low < 0.0)
        return lum + (shifted - lum) * lum / (lum - low);
    if (high > 1.0)
        return lum + (shifted - lum) * (1.0 - lum) / (high - lum);
    return shifted;
}

vec3 setLumSat(vec3 b, vec3 s, vec3 l)
{
    float range = maxComponent(b) - minComponent(b);
    vec3 c = vec3(0.0);
    if (range > 0.0)
        c = (b - minComponent(b)) * (maxComponent(s) - minComponent(s)) / range;
    return setLum(c, l);
}

vec3 blendHue(vec3 s, vec3 d) { return setLumSat(s, d, d); }
vec3 blendSaturation(vec3 s, vec3 d) { return setLumSat(d, s, d); }
vec3 blendColor(vec3 s, vec3 d) { return setLum(s, d); }
vec3 blendLuminosity(vec3 s, vec3 d) { return setLum(d, s); }

vec3 blendDodgeHighlight(vec3 s, vec3 d) { return d * (1.0 + f_factor / 3.0); }
vec3 blendBurnHighlight(vec3 s, vec3 d) { return d * (1.0 - f_factor / 3.0); }
vec3 blendDodgeMidtone(vec3 s, vec3 d) { return pow(d, vec3(1.0 / (1.0 + f_factor))); }
vec3 blendBurnMidtone(vec3 s, vec3 d) { return pow(d, vec3(1.0 + f_factor / 3.0)); }
vec3 blendDodgeShadow(vec3 s, vec3 d) { return d + f_factor / 3.0 - d * f_factor / 3.0; }
vec3 blendBurnShadow(vec3 s, vec3 d) { return (d - f_factor / 3.0) * (1.0 - f_factor / 3.0); }

vec3 blend(int mode, vec3 s, vec3 d)
{
    switch (mode) {
    case M_PLUS: return blendPlus(s, d);
    case M_MULTIPLY: return blendMultiply(s, d);
    case M_SCREEN: return blendScreen(s, d);
    case M_OVERLAY: return blendOverlay(s, d);
    case M_DARKEN: return blendDarken(s, d);
    case M_LIGHTEN: return blendLighten(s, d);
    case M_COLORDODGE: return blendColorDodge(s, d);
    case M_COLORBURN: return blendColorBurn(s, d);
    case M_HARDLIGHT: return blendHardLight(s, d);
    case M_SOFTLIGHT: return blendSoftLight(s, d);
    case M_DIFFERENCE: return blendDifference(s, d);
    case M_EXCLUSION: return blendExclusion(s, d);
    case M_DARKER: return blendDarker(s, d);
    case M_LIGHTER: return blendLighter(s, d);
    case M_VIVIDLIGHT: return blendVividLight(s, d);
    case M_PINLIGHT: return blendPinLight(s, d);
    case M_HSLHUE: return blendHue(s, d);
    case M_HSLSATURATION: return blendSaturation(s, d);
    case M_HSLCOLOR: return blendColor(s, d);
    case M_HSLLUMINOSITY: return blendLuminosity(s, d);
    case M_DODGEHIGHLIGHT: return blendDodgeHighlight(s, d);
    case M_BURNHIGHLIGHT: return blendBurnHighlight(s, d);
    case M_DODGEMIDTONE: return blendDodgeMidtone(s, d);
    case M_BURNMIDTONE: return blendBurnMidtone(s, d);
    case M_DODGESHADOW: return blendDodgeShadow(s, d);
    case M_BURNSHADOW: return blendBurnShadow(s, d);
    }
    return s;
}

// Alpha of the stamp shape at uv: a disc (shape 0) or a rounded square
// (shape 1), flat up to the hardness and falling smoothly to the rim.
float alphaAtDistance(float d, float hardness)
{
    if (d < hardness / 2.0)
        return hardness;
    if (d < 0.5)
        return mix(hardness, 0.0, smoothstep(hardness / 2.0, 0.5, d));
    return 0.0;
}

// How far q (distances from the centre along x and y) lies from the centre
// in the shape's measure: below 0.5 inside the shape, and growing with either
// distance.
float shapeDistance(vec2 q, int shape)
{
    return shape == 1 ? (pow(q.x, 7.0) + pow(q.y, 7.0)) / (2.0 * pow(0.5, 7.0)) : dot(q, q) / 0.5;
}

float getAlphaDisc(vec2 uv, float hardness)
{
    vec2 q = abs(uv - vec2(0.5));
    return alphaAtDistance(shapeDistance(q, 0), hardness);
}

float getAlphaRoundedSquare(vec2 uv, float hardness)
{
    vec2 q = abs(uv - vec2(0.5));
    return alphaAtDistance(shapeDistance(q, 1), hardness);
}

float getAlphaShape(vec2 uv, int shape, float hardness)
{
    return shape == 1 ? getAlphaRoundedSquare(uv, hardness) : getAlphaDisc(uv, hardness);
}

// Width of one canvas pixel in stamp coordinates.
float stampPixel(void)
{
    return 1.0 / max(2.0 * f_radius, 1e-3);
}

// Where sample k of 8 lies along one axis of the pixel at x.
float sampleAt(float x, int k, float pixel)
{
    return x + (float(k) + 0.5) * pixel / 8.0 - pixel / 2.0;
}

// One axis' share of shapeDistance at the distances q from the centre.
vec2 shapeDistanceTerms(vec2 q, int shape)
{
    return shape == 1 ? pow(q, vec2(7.0)) / (2.0 * pow(0.5, 7.0)) : q * q / 0.5;
}

// The mean alpha of the 8 x 8 samples of the pixel at uv when every one of
// them lies in the falloff of alphaAtDistance. There the alpha is the cubic
// hardness * (1 - 3t^2 + 2t^3) of t = (d - edge) / (0.5 - edge), and d is the
// sum of a term of x and a term of y, so the mean over the grid follows from
// the mean and the central moments of each axis' 8 terms. For the disc they
// are sums of known powers of the samples' offsets; for the rounded square
// they are taken from the 8 terms, about the pixel centre's term, which keeps
// them small and precise.
float getAlphaFalloffMean(vec2 uv, int shape, float hardness, float pixel)
{
    vec2 mean;
    vec2 m2;
    vec2 m3;
    if (shape == 1) {
        vec2 centre = shapeDistanceTerms(abs(uv - vec2(0.5)), shape);
        vec2 s1 = vec2(0.0);
        vec2 s2 = vec2(0.0);
        vec2 s3 = vec2(0.0);
        for (int k = 0; k < 8; ++k) {
            vec2 q = abs(vec2(sampleAt(uv.x, k, pixel), sampleAt(uv.y, k, pixel)) - vec2(0.5));
            vec2 c = shapeDistanceTerms(q, shape) - centre;
            s1 += c;
            s2 += c * c;
            s3 += c * c * c;
        }
        s1 /= 8.0;
        s2 /= 8.0;
        s3 /= 8.0;
        mean = centre + s1;
        m2 = s2 - s1 * s1;
        m3 = s3 - 3.0 * s1 * s2 + 2.0 * s1 * s1 * s1;
    } else {
        // The term is 2 (a + o)^2 for a = uv - 0.5 and the offsets o, whose
        // odd powers average to 0 and even ones to o2, o4 and o6.
        float p2 = pixel * pixel;
        float o2 = 0.08203125 * p2;
        float o4 = 0.0118560791015625 * p2 * p2;
        float o6 = 0.00199681520462036 * p2 * p2 * p2;
        vec2 a = uv - vec2(0.5);
        float spread = o4 - o2 * o2;
        mean = 2.0 * (a * a + o2);
        m2 = 4.0 * (4.0 * a * a * o2 + spread);
        m3 = 8.0 * (12.0 * a * a * spread + (o6 - 3.0 * o2 * o4 + 2.0 * o2 * o2 * o2));
    }
    float edge = hardness / 2.0;
    float w = 0.5 - edge;
    float t = (mean.x + mean.y - edge) / w;
    float v = (m2.x + m2.y) / (w * w);
    float t3 = t * t * t + 3.0 * t * v + (m3.x + m3.y) / (w * w * w);
    return hardness * (1.0 - 3.0 * (t * t + v) + 2.0 * t3);
}

// The mean alpha of the 8 x 8 samples of a pixel. Where the samples' nearest
// and farthest distances from the centre show that they all fall in one piece
// of alphaAtDistance, the mean is had without going through them.
float getAlphaAntialiasedShape(vec2 uv, int shape, float hardness)
{
    float pixel = stampPixel();
    vec2 first = vec2(sampleAt(uv.x, 0, pixel), sampleAt(uv.y, 0, pixel)) - vec2(0.5);
    vec2 last = vec2(sampleAt(uv.x, 7, pixel), sampleAt(uv.y, 7, pixel)) - vec2(0.5);
    vec2 farthest = max(abs(first), abs(last));
    vec2 nearest = mix(min(abs(first), abs(last)), vec2(0.0), lessThanEqual(first * last, vec2(0.0)));
    float dNear = shapeDistance(nearest, shape);
    float dFar = shapeDistance(farthest, shape);
    // Well above the rounding of the distances, well below a pixel's share.
    const float margin = 1e-5;
    float edge = hardness / 2.0;
    if (dFar < edge - margin)
        return hardness;
    if (dNear >= 0.5 + margin)
        return 0.0;
    if (dNear >= edge + margin && dFar < 0.5 - margin)
        return getAlphaFalloffMean(uv, shape, hardness, pixel);

    // The samples straddle a piece's end. A sample's distance is the sum of
    // a term of its column and a term of its row: the 8 row terms are had
    // once, each column's term as its turn comes, and each of the 64 samples
    // costs an add and its piece.
    // For a large stamp the columns are gone through in a loop of a count the
    // compiler cannot fold, kept a loop: the software rasterizer runs a branch
    // for a block of fragments in full whenever one of them takes it, but
    // leaves a loop as soon as none of them is left in it, so that the
    // fragments that returned above, by far the most, do not pay for the
    // samples. In a small stamp nearly every block has fragments that need
    // them, and the unrolled loop costs less.
    float rows[8];
    for (int k = 0; k < 8; ++k)
        rows[k] = shapeDistanceTerms(abs(vec2(sampleAt(uv.x, k, pixel), sampleAt(uv.y, k, pixel)) - vec2(0.5)), shape).y;
    int columnCount = !S_SAMPLE_LOOP || dNear < 0.5 + margin ? 8 : 0;
    float w = 0.5 - edge;
    if (w <= 0.0) {
        // No falloff: inside or outside.
        float inside = 0.0;
        for (int i = 0; i < columnCount; ++i) {
            float column = shapeDistanceTerms(abs(vec2(sampleAt(uv.x, i, pixel), sampleAt(uv.y, i, pixel)) - vec2(0.5)), shape).x;
            for (int j = 0; j < 8; ++j)
                inside += column + rows[j] < 0.5 ? 1.0 : 0.0;
        }
        return hardness * inside / 64.0;
    }
    // In units of the falloff, clamped, the three pieces are one smoothstep:
    // 0 inside the hardness, 1 past the rim.
    float fallen = 0.0;
    for (int k = 0; k < 8; ++k)
        rows[k] = (rows[k] - edge) / w;
    for (int i = 0; i < columnCount; ++i) {
        float column = shapeDistanceTerms(abs(vec2(sampleAt(uv.x, i, pixel), sampleAt(uv.y, i, pixel)) - vec2(0.5)), shape).x / w;
        for (int j = 0; j < 8; ++j) {
            float t = clamp(column + rows[j], 0.0, 1.0);
            fallen += t * t * (3.0 - 2.0 * t);
        }
    }
    return hardness * (1.0 - fallen / 64.0);
}

float getAlphaSmoothShape(vec2 uv, int shape, float hardness)
{
    return getAlphaShape(uv, shape, hardness);
}

float getAlphaTexture(vec2 uv)
{
    return texture(f_brushTexture, uv).a;
}

// Sharpens the texture's edges more as the stamp grows.
float getAlphaSmoothTexture(vec2 uv)
{
    float s = clamp((f_radius - 5.0) / (200.0 - 5.0), 0.0, 1.0);
    return smoothstep(0.35 + 0.12 * s, 0.65 - 0.12 * s, getAlphaTexture(uv));
}

float getAlphaAntialiasedTexture(vec2 uv)
{
    float pixel = stampPixel();
    float sum = 0.0;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            sum += getAlphaTexture(uv + (vec2(i, j) + 0.5) * pixel / 8.0 - pixel / 2.0);
    return sum / 64.0;
}

// Coverage of the stamp at this fragment, after density and flow.
float getStandardAlpha(void)
{
    vec2 uv = stampPosition();
    float alpha;
    if (S_ANTIALIASING == A_NOANTIALIASING)
        alpha = S_HAS_TEXTURE ? getAlphaTexture(uv) : getAlphaShape(uv, S_SHAPE, 1.0);
    else if (S_ANTIALIASING == A_SMOOTHING)
        alpha = S_HAS_TEXTURE ? getAlphaSmoothTexture(uv) : getAlphaSmoothShape(uv, S_SHAPE, f_hardness);
    else
        alpha = S_HAS_TEXTURE ? getAlphaAntialiasedTexture(uv) : getAlphaAntialiasedShape(uv, S_SHAPE, f_hardness);
    if (S_DENSITY && f_density < 1.0 && f_density < rand(uv))
        alpha = 0.0;
    return alpha * f_flow;
}

// The alpha masked by the layer below and by the selection.
float getStandardClipping(float alpha)
{
    if (S_INHERIT_UNDER) {
        float under = texture(f_underLayerTexture, v_texCoords1).a;
        alpha *= f_alphaEquation == 1 ? under : 1.0 - under;
    }
    if (S_CLIP)
        alpha *= texture(f_selectionLayerTexture, v_texCoords1).a;
    return alpha;
}

// The stamp colour, un-premultiplied.
vec3 getStandardColor(void)
{
    vec3 color = v_color.rgb;
    if (S_HAS_TEXTURE && S_PRESERVE_COLOR != 0) {
        vec3 textureColor = unmultiply(texture(f_brushTexture, stampPosition()));
        color = S_PRESERVE_COLOR == 1 ? textureColor : mix(color, textureColor, 0.5);
    }
    if (S_BORDER) {
        float l = distance(stampPosition(), vec2(0.5));
        if (l >= 0.3)
            color = mix(color, f_borderColor.rgb, smoothstep(0.3, 0.5, l));
    }
    if (S_HAS_FEEDBACK)
        color = mix(unmultiply(textureLod(f_colorTexture, stampPosition(), 0.0)), color, f_colorFlowingRate);
    return color;
}

// The stamp composed with the current layer (premultiplied); the layer's own
// share is left to the blending the stroke sets.
vec4 getStandardComposition(vec3 color, float alpha)
{
    // The plain stamp over whatever is there: the layer's share cancels out.
    if (S_COMPOSITION == M_FOREGROUNDOVER && !S_INHERIT_CURRENT)
        return vec4(color * alpha, alpha);
    vec4 layer = texture(f_currentLayerTexture, v_texCoords1);
    float sa = alpha;
    vec3 sca = color * sa;
    float da = layer.a;
    vec3 dc = unmultiply(layer);
    float x = 1.0;
    float y = 1.0;
    vec3 f = color;
    if (S_COMPOSITION == M_FOREGROUNDIN) {
        y = 0.0;
    } else if (S_COMPOSITION == M_FOREGROUNDOUT) {
        f = vec3(0.0);
        x = 0.0;
    } else if (S_COMPOSITION >= M_PLUS && S_COMPOSITION <= M_BURNSHADOW) {
        f = blend(S_COMPOSITION, color, dc);
    }
    if (S_INHERIT_CURRENT)
        y = 0.0;
    return vec4(f * sa * da + y * sca * (1.0 - da), x * sa * da + y * sa * (1.0 - da));
}

// The built-in "stamping" program against a CPU rendition of the stamp: shape
// alpha, antialiasing, masks, colour sources and every composition mode.

#include "menum.h"
#include "mshaderprogramlist.h"
#include "mstampfeatures.h"
#include "mtestglcontext.h"
#include "mtestglrig.h"
#include "mtestpixels.h"

#include <QOpenGLShaderProgram>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int size = 32;             // target pixels; the stamp covers it all
const QColor sentinel = QColor::fromRgbF(0.2, 0.4, 0.6, 0.8);   // left where a fragment is discarded

using namespace MTestPixels;

struct StampCase
{
    int mode = 0;
    QColor brush = QColor::fromRgbF(0.72, 0.27, 0.13);
    int antialiasing = 0;
    int shape = 0;
    double hardness = 0.6;
    double flow = 0.9;
    double factor = 0.7;
    bool texture = false;
    int preserveTextureColor = 0;
    bool inheritAlphaUnder = false;
    int alphaEquation = 0;
    bool inheritAlphaCurrent = false;
    bool clipToSelection = false;
    bool useBorderColor = false;
    double absorption = 0.0;
    double flowing = 1.0;
};

// The current layer: blocks of colours chosen away from the blend modes'
// switching points, some translucent, one transparent.
QImage layerImage()
{
    static const QRgb palette[6] = {
        premultiplied(0.80, 0.20, 0.45, 1.0), premultiplied(0.10, 0.65, 0.90, 1.0),
        premultiplied(0.30, 0.75, 0.15, 0.6), premultiplied(0.95, 0.40, 0.60, 0.3),
        qRgba(0, 0, 0, 0),                    premultiplied(0.55, 0.35, 0.05, 1.0)};
    return pattern(size, size, [](int x, int y) { return palette[(x / 4 + 2 * (y / 4)) % 6]; });
}

QImage underImage()
{
    return pattern(size, size, [](int x, int y) { return premultiplied(0.5, 0.5, 0.5, ((x * 7 + y * 3) % 11) / 10.0); });
}

QImage selectionImage()
{
    return pattern(size, size, [](int x, int y) { return x < 6 ? qRgba(0, 0, 0, 0) : premultiplied(1, 1, 1, (x + y) % 5 / 4.0); });
}

// 24 texels over 32 pixels: texel edges fall inside pixels, so antialiasing mixes them.
QImage brushTextureImage()
{
    return pattern(24, 24, [](int x, int y) {
        return premultiplied((x % 5) / 4.0, (y % 3) / 2.0, 0.4, ((x * x + y * 2) % 13) / 12.0);
    });
}

QImage colorBufferImage()
{
    return pattern(8, 8, [](int x, int y) { return premultiplied(x / 7.0, y / 7.0, 0.3, 0.5 + (x + y) / 28.0); });
}

double smoothstep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }
Vec3 mix(const Vec3 &a, const Vec3 &b, double t) { return {mix(a[0], b[0], t), mix(a[1], b[1], t), mix(a[2], b[2], t)}; }
double luminance(const Vec3 &c) { return 0.30 * c[0] + 0.59 * c[1] + 0.11 * c[2]; }
double clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

double shapeAlpha(double x, double y, int shape, double h)
{
    const double p = shape == 1 ? 7 : 2;
    const double d = (std::pow(std::abs(x - 0.5), p) + std::pow(std::abs(y - 0.5), p)) / (2 * std::pow(0.5, p));
    if (d < h / 2)
        return h;
    if (d < 0.5)
        return mix(h, 0, smoothstep(h / 2, 0.5, d));
    return 0;
}

Vec3 setLum(const Vec3 &c, const Vec3 &l)
{
    const double lum = luminance(l);
    const double shift = lum - luminance(c);
    const Vec3 s = {c[0] + shift, c[1] + shift, c[2] + shift};
    const double low = std::min({s[0], s[1], s[2]});
    const double high = std::max({s[0], s[1], s[2]});
    Vec3 out = s;
    for (int k = 0; k < 3; ++k) {
        if (low < 0)
            out[k] = lum + (s[k] - lum) * lum / (lum - low);
        else if (high > 1)
            out[k] = lum + (s[k] - lum) * (1 - lum) / (high - lum);
    }
    return out;
}

Vec3 setLumSat(const Vec3 &b, const Vec3 &s, const Vec3 &l)
{
    const double bMin = std::min({b[0], b[1], b[2]}), bMax = std::max({b[0], b[1], b[2]});
    const double sMin = std::min({s[0], s[1], s[2]}), sMax = std::max({s[0], s[1], s[2]});
    Vec3 c = {0, 0, 0};
    if (bMax - bMin > 0)
        for (int k = 0; k < 3; ++k)
            c[k] = (b[k] - bMin) * (sMax - sMin) / (bMax - bMin);
    return setLum(c, l);
}

double channelBlend(int mode, double s, double d, double f)
{
    switch (mode) {
    case 12: return clamp01(s + d);
    case 13: return s * d;
    case 14: return clamp01(1 - (1 - s) * (1 - d));
    case 15: return d < 0.5 ? s * d : 1 - 2 * (1 - s) * (1 - d);
    case 16: return std::min(s, d);
    case 17: return std::max(s, d);
    case 18: return clamp01(d / std::max(1.0 / 256, 1 - s));
    case 19: return clamp01(1 - (1 - d) / std::max(1.0 / 256, s));
    case 20: return s > 0.5 ? 1 - (1 - 2 * (s - 0.5)) * (1 - d) : 2 * d * s;
    case 21: return d * ((1 - d) * s + (1 - (1 - d) * (1 - s)));
    case 22: return std::abs(s - d);
    case 23: return clamp01(s + d - 2 * s * d);
    case 26: return s < 0.5 ? clamp01(1 - (1 - d) / std::max(1.0 / 256, 2 * s))
                            : clamp01(d / std::max(1.0 / 256, 2 * (1 - s)));
    case 27:
        if (2 * s - 1 > d)
            return clamp01(2 * s - 1);
        if (s < d / 2)
            return clamp01(2 * s);
        return d;
    case 32: return d * (1 + f / 3);
    case 33: return d * (1 - f / 3);
    case 34: return std::pow(d, 1 / (1 + f));
    case 35: return std::pow(d, 1 + f / 3);
    case 36: return d + f / 3 - d * f / 3;
    case 37: return (d - f / 3) * (1 - f / 3);
    }
    return s;
}

Vec3 blend(int mode, const Vec3 &s, const Vec3 &d, double f)
{
    switch (mode) {
    case 24: return luminance(d) > luminance(s) ? s : d;
    case 25: return luminance(d) > luminance(s) ? d : s;
    case 28: return setLumSat(s, d, d);
    case 29: return setLumSat(d, s, d);
    case 30: return setLum(s, d);
    case 31: return setLum(d, s);
    }
    return {channelBlend(mode, s[0], d[0], f), channelBlend(mode, s[1], d[1], f), channelBlend(mode, s[2], d[2], f)};
}

struct Inputs
{
    QImage layer = layerImage();
    QImage under = underImage();
    QImage selection = selectionImage();
    QImage brushTexture = brushTextureImage();
    QImage colorBuffer = colorBufferImage();
};

// What one fragment of a stamp of the given radius writes, or nothing when it
// is discarded.
bool referenceFragment(const StampCase &c, const Inputs &in, double radius, double u, double v,
                       std::array<double, 4> &out)
{
    const double pixel = 1.0 / (2 * radius);
    auto alphaAt = [&](double x, double y, double hardness) {
        return c.texture ? sample(in.brushTexture, x, y).a : shapeAlpha(x, y, c.shape, hardness);
    };

    double alpha = 0;
    if (c.antialiasing == 1) {
        alpha = alphaAt(u, v, 1.0);
    } else if (c.antialiasing == 2) {
        const double s = std::clamp((radius - 5.0) / (200.0 - 5.0), 0.0, 1.0);
        alpha = c.texture ? smoothstep(0.35 + 0.12 * s, 0.65 - 0.12 * s, alphaAt(u, v, c.hardness))
                          : alphaAt(u, v, c.hardness);
    } else {
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 8; ++j)
                alpha += alphaAt(u - pixel / 2 + (i + 0.5) * pixel / 8, v - pixel / 2 + (j + 0.5) * pixel / 8, c.hardness);
        alpha /= 64;
    }
    alpha *= c.flow;
    if (c.inheritAlphaUnder) {
        const double under = sample(in.under, u, v).a;
        alpha *= c.alphaEquation == 1 ? under : 1 - under;
    }
    if (c.clipToSelection)
        alpha *= sample(in.selection, u, v).a;
    if (alpha < 0.004)
        return false;

    const Vec3 brush = {c.brush.redF(), c.brush.greenF(), c.brush.blueF()};
    Vec3 color = brush;
    if (c.texture && c.preserveTextureColor != 0) {
        const Vec3 textureColor = unmultiply(sample(in.brushTexture, u, v));
        color = c.preserveTextureColor == 1 ? textureColor : mix(brush, textureColor, 0.5);
    }
    if (c.useBorderColor) {
        const double l = std::hypot(u - 0.5, v - 0.5);
        if (l >= 0.3)
            color = mix(color, Vec3{1, 1, 1}, smoothstep(0.3, 0.5, l));
    }
    if (c.absorption != 0)
        color = mix(unmultiply(sample(in.colorBuffer, u, v)), color, c.flowing);

    const Sample layer = sample(in.layer, u, v);
    const double sa = alpha, da = layer.a;
    const Vec3 dc = unmultiply(layer);
    double x = 1, y = 1;
    Vec3 f = color;
    if (c.mode == 5) {
        y = 0;
    } else if (c.mode == 7) {
        f = {0, 0, 0};
        x = 0;
    } else if (c.mode >= 12 && c.mode <= 37) {
        f = blend(c.mode, color, dc, c.factor);
    }
    if (c.inheritAlphaCurrent)
        y = 0;
    for (int k = 0; k < 3; ++k)
        out[k] = f[k] * sa * da + y * color[k] * sa * (1 - da);
    out[3] = x * sa * da + y * sa * (1 - da);
    return true;
}

// The stamp over a square target of the given side.
QImage referenceImage(const StampCase &c, const Inputs &in, int side = size)
{
    return pattern(side, side, [&](int x, int y) {
        std::array<double, 4> out;
        if (!referenceFragment(c, in, side / 2.0, (x + 0.5) / side, (y + 0.5) / side, out))
            return qRgba(sentinel.red(), sentinel.green(), sentinel.blue(), sentinel.alpha());
        return toPixel(out[0], out[1], out[2], out[3]);
    });
}

} // namespace

Q_DECLARE_METATYPE(StampCase)

class TestStampProgram : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MTestGLRig> rig;

    // The code paths the case uses, as the stroke-to runner finds them.
    static MStampFeatures features(const StampCase &c, float density)
    {
        double values[MEnum::bsCount] = {};
        values[MEnum::bsAntialiasing] = c.antialiasing;
        values[MEnum::bsColorAbsorbtionRate] = c.absorption;
        values[MEnum::bsCompositionMode] = c.mode;
        values[MEnum::bsShape] = c.shape;
        values[MEnum::bsDensity] = density;
        values[MEnum::bsInheritAlphaCurrent] = c.inheritAlphaCurrent;
        values[MEnum::bsUseBorderColor] = c.useBorderColor;
        values[MEnum::bsPreserveTextureColor] = c.preserveTextureColor;
        return MStampFeatures::fromValues(values, c.texture, c.clipToSelection, c.inheritAlphaUnder);
    }
    Inputs inputs;
    QOpenGLTexture *textures[5] = {};

    // The general program, or the one made for the features the case uses,
    // drawing a stamp over the whole of the rig's target.
    QImage drawStamp(const StampCase &c, float density = 1.0f, bool madeForTheBrush = false)
    {
        return drawStamp(*rig, textures, c, density, madeForTheBrush);
    }

    static QImage drawStamp(MTestGLRig &rig, QOpenGLTexture *const *textures, const StampCase &c, float density,
                            bool madeForTheBrush)
    {
        QOpenGLShaderProgram *program = rig.begin(QStringLiteral("stamping"));
        if (madeForTheBrush)
            program = rig.use(rig.programs().variant(QStringLiteral("stamping"), features(c, density).defines()));
        if (!program)
            return QImage();
        const char *samplers[5] = {"f_currentLayerTexture", "f_underLayerTexture", "f_selectionLayerTexture",
                                   "f_brushTexture", "f_colorTexture"};
        for (int i = 0; i < 5; ++i)
            rig.bindTexture(samplers[i], textures[i], i + 1);
        program->setUniformValue("f_radius", float(rig.width() / 2.0));
        program->setUniformValue("f_hardness", float(c.hardness));
        program->setUniformValue("f_density", density);
        program->setUniformValue("f_flow", float(c.flow));
        program->setUniformValue("f_compositionMode", c.mode);
        program->setUniformValue("f_inheritAlphaUnder", c.inheritAlphaUnder);
        program->setUniformValue("f_alphaEquation", c.alphaEquation);
        program->setUniformValue("f_inheritAlphaCurrent", c.inheritAlphaCurrent);
        program->setUniformValue("f_hasTexture", c.texture);
        program->setUniformValue("f_preserveTextureColor", c.preserveTextureColor);
        program->setUniformValue("f_colorAbsorbtionRate", float(c.absorption));
        program->setUniformValue("f_colorFlowingRate", float(c.flowing));
        program->setUniformValue("f_antialiasing", c.antialiasing);
        program->setUniformValue("f_clipToSelection", c.clipToSelection);
        program->setUniformValue("f_shape", c.shape);
        program->setUniformValue("f_factor", float(c.factor));
        program->setUniformValue("f_useBorderColor", c.useBorderColor);
        return rig.draw(sentinel, c.brush);
    }

private slots:
    void initTestCase()
    {
        rig.reset(new MTestGLRig(size, size));
        QVERIFY(rig->isValid());
        QVERIFY(rig->programs().program(QStringLiteral("stamping"))->isLinked());
        const QImage images[5] = {inputs.layer, inputs.under, inputs.selection, inputs.brushTexture, inputs.colorBuffer};
        for (int i = 0; i < 5; ++i)
            textures[i] = rig->texture(images[i]);
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase() { rig.reset(); }

    void matchesReference_data()
    {
        QTest::addColumn<StampCase>("stamp");
        const QColor extremes = QColor::fromRgbF(1.0, 0.0, 0.35);
        QList<int> modes;
        for (int mode = 0; mode <= 37; ++mode)
            modes << mode;
        modes << 1000;
        for (int mode : modes) {
            StampCase c;
            c.mode = mode;
            QTest::addRow("mode %d", mode) << c;
            c.brush = extremes;
            QTest::addRow("mode %d, saturated brush", mode) << c;
        }

        const char *antialiasingNames[3] = {"antialiased", "hard", "smooth"};
        for (int antialiasing = 0; antialiasing < 3; ++antialiasing)
            for (int shape = 0; shape < 2; ++shape)
                for (bool texture : {false, true}) {
                    StampCase c;
                    c.antialiasing = antialiasing;
                    c.shape = shape;
                    c.texture = texture;
                    QTest::addRow("%s %s%s", antialiasingNames[antialiasing], shape ? "rectangle" : "ellipse",
                                  texture ? " textured" : "")
                        << c;
                }

        StampCase c;
        c.antialiasing = 1;
        c.hardness = 0.2;
        QTest::newRow("hard edge whatever the hardness") << c;

        c = StampCase();
        c.texture = true;
        c.preserveTextureColor = 1;
        QTest::newRow("texture colour") << c;
        c.preserveTextureColor = 2;
        QTest::newRow("brush and texture colour mixed") << c;

        c = StampCase();
        c.inheritAlphaUnder = true;
        c.alphaEquation = 1;
        QTest::newRow("kept where the layer below is opaque") << c;
        c.alphaEquation = 0;
        QTest::newRow("kept where the layer below is transparent") << c;

        c = StampCase();
        c.inheritAlphaCurrent = true;
        QTest::newRow("only over paint") << c;
        c.mode = 13;
        QTest::newRow("only over paint, multiply") << c;

        c = StampCase();
        c.clipToSelection = true;
        QTest::newRow("clipped to the selection") << c;

        c = StampCase();
        c.useBorderColor = true;
        c.hardness = 0.9;
        QTest::newRow("coloured rim") << c;

        c = StampCase();
        c.absorption = 0.4;
        c.flowing = 0.3;
        QTest::newRow("colour from the colour buffer") << c;

        c = StampCase();
        c.mode = 28;
        c.shape = 1;
        c.texture = true;
        c.preserveTextureColor = 2;
        c.inheritAlphaUnder = true;
        c.alphaEquation = 1;
        c.clipToSelection = true;
        c.useBorderColor = true;
        c.absorption = 0.5;
        c.flowing = 0.6;
        c.flow = 0.8;
        QTest::newRow("everything at once") << c;
    }

    void matchesReference()
    {
        QFETCH(StampCase, stamp);
        const QImage reference = referenceImage(stamp, inputs);
        for (bool madeForTheBrush : {false, true}) {
            const QImage actual = drawStamp(stamp, 1.0f, madeForTheBrush);
            QVERIFY_GL_CLEAN();
            QString message;
            QVERIFY2(MTestGLContext::compareImages(actual, reference, 2, &message),
                     qPrintable((madeForTheBrush ? QStringLiteral("made for the brush: ") : QString()) + message));
        }
    }

    // Antialiased stamps much larger and smaller than the one above: a pixel
    // spans a small or a large share of the shape's falloff, and where its
    // samples fall in the inside, the falloff, the outside or across them
    // varies over the stamp.
    void stampSizesMatchReference_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("shape");
        QTest::addColumn<double>("hardness");
        for (int side : {200, 5})
            for (int shape : {0, 1})
                for (double hardness : {0.8, 0.3, 0.97, 1.0})
                    QTest::addRow("radius %g, %s, hardness %g", side / 2.0, shape ? "rectangle" : "ellipse", hardness)
                        << side << shape << hardness;
    }

    void stampSizesMatchReference()
    {
        QFETCH(int, side);
        QFETCH(int, shape);
        QFETCH(double, hardness);
        MTestGLRig large(side, side);
        QVERIFY(large.isValid());
        const QImage images[5] = {inputs.layer, inputs.under, inputs.selection, inputs.brushTexture, inputs.colorBuffer};
        QOpenGLTexture *largeTextures[5];
        for (int i = 0; i < 5; ++i)
            largeTextures[i] = large.texture(images[i]);
        StampCase c;
        c.shape = shape;
        c.hardness = hardness;
        c.flow = 1.0;
        const QImage reference = referenceImage(c, inputs, side);
        for (bool madeForTheBrush : {false, true}) {
            const QImage actual = drawStamp(large, largeTextures, c, 1.0f, madeForTheBrush);
            QVERIFY_GL_CLEAN();
            QString message;
            QVERIFY2(MTestGLContext::compareImages(actual, reference, 2, &message),
                     qPrintable((madeForTheBrush ? QStringLiteral("made for the brush: ") : QString()) + message));
        }
    }

    // The density test's noise is not reproducible bit for bit on the CPU, so
    // only the share of kept pixels is checked, and that the program made for
    // the brush draws the general one's pixels.
    void densityThinsTheStamp_data()
    {
        QTest::addColumn<float>("density");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("full") << 1.0f << 1.0 << 1.0;
        QTest::newRow("half") << 0.5f << 0.35 << 0.65;
        QTest::newRow("a tenth") << 0.1f << 0.02 << 0.2;
        // In single precision the noise is 0 for about one pixel in 500.
        QTest::newRow("none") << 0.0f << 0.0 << 0.01;
    }

    void densityThinsTheStamp()
    {
        QFETCH(float, density);
        QFETCH(double, low);
        QFETCH(double, high);
        StampCase c;
        c.antialiasing = 1;
        c.flow = 1.0;
        const QImage actual = drawStamp(c, density);
        QVERIFY_GL_CLEAN();
        // The program made for a brush of that density keeps the same pixels.
        QCOMPARE(drawStamp(c, density, true), actual);
        const QImage full = referenceImage(c, inputs);
        int inside = 0, kept = 0;
        const QRgb discarded = qRgba(sentinel.red(), sentinel.green(), sentinel.blue(), sentinel.alpha());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (full.pixel(x, y) == discarded)
                    continue;
                ++inside;
                kept += actual.pixel(x, y) != discarded;
            }
        QVERIFY(inside > 500);
        const double share = double(kept) / inside;
        QVERIFY2(share >= low && share <= high, qPrintable(QString::number(share)));
    }
};

QTEST_MAIN(TestStampProgram)
#include "tst_stampprogram.moc"

// What the built-in layer programs and the effect frame draw, pixel by pixel,
// against the same computation on the CPU.

#include "mtestglcontext.h"
#include "mtestglrig.h"
#include "mtestpixels.h"
#include "mtextureutility.h"

#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QTest>

#include <functional>
#include <memory>

using namespace MTestPixels;

namespace {

constexpr int size = 16;
const QColor cleared = QColor::fromRgbF(0.2, 0.4, 0.6, 0.8);    // left where a fragment is discarded
const QColor vertexColor = QColor::fromRgbF(0.3, 0.6, 0.9, 0.5);

QImage layerImage()
{
    return pattern(size, size, [](int x, int y) {
        return premultiplied((x % 4) / 3.0, (y % 5) / 4.0, 0.5, (x + y) % 4 == 0 ? 0.0 : 0.25 + (x % 3) / 4.0);
    });
}

QImage strokeImage()
{
    return pattern(size, size, [](int x, int y) { return premultiplied(0.9, 0.1, (y % 3) / 2.0, x < 4 ? 0.0 : (x % 5) / 4.0); });
}

QImage selectionImage()
{
    return pattern(size, size, [](int x, int y) {
        if (x < 3)
            return qRgba(0, 0, 0, 0);
        if (x < 5)
            return qRgba(0, 0, 0, 2);    // below 0.01
        return premultiplied(1, 1, 1, (y % 4 + 1) / 4.0);
    });
}

QImage paperImage()
{
    return pattern(size, size, [](int x, int y) { return premultiplied(0.8, 0.75, (x * y % 7) / 6.0, 1.0); });
}

// A selected block with a hole, so that it has outer and inner edges.
QImage blockImage()
{
    return pattern(size, size, [](int x, int y) {
        const bool inBlock = x >= 3 && x < 13 && y >= 2 && y < 12;
        const bool inHole = x == 8 && y == 6;
        return inBlock && !inHole ? premultiplied(1, 1, 1, 0.5) : qRgba(0, 0, 0, 0);
    });
}

using Expectation = std::function<QRgb(int x, int y, double u, double v)>;

struct Inputs
{
    QImage layer = layerImage();
    QImage stroke = strokeImage();
    QImage selection = selectionImage();
    QImage paper = paperImage();
    QImage block = blockImage();
};

QRgb scaled(const Sample &s, double factor)
{
    return toPixel(s.r * factor, s.g * factor, s.b * factor, s.a * factor);
}

QRgb discarded()
{
    return qRgba(cleared.red(), cleared.green(), cleared.blue(), cleared.alpha());
}

} // namespace

class TestBuiltInPrograms : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MTestGLRig> rig;
    Inputs in;
    QOpenGLTexture *layer = nullptr;
    QOpenGLTexture *strokeLayer = nullptr;
    QOpenGLTexture *selection = nullptr;
    QOpenGLTexture *paper = nullptr;
    QOpenGLTexture *block = nullptr;

    void check(const QImage &actual, const Expectation &expected)
    {
        QVERIFY_GL_CLEAN();
        const QImage reference = pattern(size, size, [&](int x, int y) {
            return expected(x, y, (x + 0.5) / size, (y + 0.5) / size);
        });
        QString message;
        QVERIFY2(MTestGLContext::compareImages(actual, reference, 1, &message), qPrintable(message));
    }

    // Tile at canvas (100, 200), 16 pixels wide: fragment x covers canvas x 100 + x.
    void setTile(QOpenGLShaderProgram *program, const QRectF &painted, bool clip)
    {
        program->setUniformValue("f_texturePos", QVector2D(100, 200));
        program->setUniformValue("f_textureSize", float(size));
        program->setUniformValue("f_paintedRectPos", QVector2D(float(painted.x()), float(painted.y())));
        program->setUniformValue("f_paintedRectWidth", float(painted.width()));
        program->setUniformValue("f_paintedRectHeight", float(painted.height()));
        program->setUniformValue("f_clipToPaintedRect", clip);
    }

private slots:
    void initTestCase()
    {
        rig.reset(new MTestGLRig(size, size));
        QVERIFY(rig->isValid());
        layer = rig->texture(in.layer);
        strokeLayer = rig->texture(in.stroke);
        selection = rig->texture(in.selection);
        paper = rig->texture(in.paper);
        block = rig->texture(in.block);
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase() { rig.reset(); }

    void basic()
    {
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("basic"));
        rig->bindTexture("f_currentLayerTexture", layer, 1);
        setTile(program, QRectF(), false);
        program->setUniformValue("f_opacity", 0.5f);
        check(rig->draw(cleared), [&](int, int, double u, double v) { return scaled(sample(in.layer, u, v), 0.5); });
    }

    // The painted rectangle's edges sit on pixel centres and count as inside.
    void paintedRectClipIncludesItsEdges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("basic") << "basic";
        QTest::newRow("color") << "color";
        QTest::newRow("paper") << "paper";
        QTest::newRow("stroke") << "stroke";
        QTest::newRow("blit") << "blit";
    }

    void paintedRectClipIncludesItsEdges()
    {
        QFETCH(QString, name);
        QOpenGLShaderProgram *program = rig->begin(name);
        rig->bindTexture("f_currentLayerTexture", paper, 1);
        rig->bindTexture("f_paperTexture", paper, 2);
        rig->bindTexture("f_strokeLayerTexture", rig->texture(filled(1, 1, 0)), 3);
        setTile(program, QRectF(104.5, 203.5, 4, 5), true);
        program->setUniformValue("f_opacity", 1.0f);
        program->setUniformValue("f_strokeOpacity", 1.0f);
        program->setUniformValue("f_eraserMode", false);
        program->setUniformValue("f_clipToSelection", false);
        const QImage actual = rig->draw(cleared, Qt::white);
        check(actual, [&](int x, int y, double u, double v) {
            const bool inside = x >= 4 && x <= 8 && y >= 3 && y <= 8;
            if (!inside)
                return discarded();
            return name == QLatin1String("color") ? qRgba(255, 255, 255, 255) : scaled(sample(in.paper, u, v), 1.0);
        });
    }

    void blitThroughSelection_data()
    {
        QTest::addColumn<bool>("clipToSelection");
        QTest::newRow("whole layer") << false;
        QTest::newRow("through the selection") << true;
    }

    void blitThroughSelection()
    {
        QFETCH(bool, clipToSelection);
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("blit"));
        rig->bindTexture("f_currentLayerTexture", layer, 1);
        rig->bindTexture("f_selectionLayerTexture", selection, 2);
        setTile(program, QRectF(), false);
        program->setUniformValue("f_opacity", 0.75f);
        program->setUniformValue("f_clipToSelection", clipToSelection);
        check(rig->draw(cleared), [&](int, int, double u, double v) {
            const double mask = clipToSelection ? sample(in.selection, u, v).a : 1.0;
            return mask < 0.01 ? discarded() : scaled(sample(in.layer, u, v), 0.75 * mask);
        });
    }

    void colorAndPaper()
    {
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("color"));
        setTile(program, QRectF(), false);
        program->setUniformValue("f_opacity", 0.5f);
        check(rig->draw(cleared, vertexColor), [&](int, int, double, double) {
            return toPixel(vertexColor.redF() / 2, vertexColor.greenF() / 2, vertexColor.blueF() / 2, vertexColor.alphaF() / 2);
        });

        program = rig->begin(QStringLiteral("paper"));
        rig->bindTexture("f_paperTexture", paper, 1);
        setTile(program, QRectF(), false);
        program->setUniformValue("f_opacity", 0.25f);
        check(rig->draw(cleared), [&](int, int, double u, double v) { return scaled(sample(in.paper, u, v), 0.25); });
    }

    void stroke_data()
    {
        QTest::addColumn<bool>("eraser");
        QTest::addColumn<float>("strokeOpacity");
        QTest::addColumn<float>("opacity");
        QTest::newRow("paint") << false << 1.0f << 1.0f;
        QTest::newRow("paint, translucent stroke and layer") << false << 0.6f << 0.8f;
        QTest::newRow("eraser") << true << 1.0f << 1.0f;
        QTest::newRow("eraser, translucent") << true << 0.5f << 0.9f;
    }

    void stroke()
    {
        QFETCH(bool, eraser);
        QFETCH(float, strokeOpacity);
        QFETCH(float, opacity);
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("stroke"));
        rig->bindTexture("f_currentLayerTexture", layer, 1);
        rig->bindTexture("f_strokeLayerTexture", strokeLayer, 2);
        setTile(program, QRectF(), false);
        program->setUniformValue("f_eraserMode", eraser);
        program->setUniformValue("f_strokeOpacity", strokeOpacity);
        program->setUniformValue("f_opacity", opacity);
        check(rig->draw(cleared), [&](int, int, double u, double v) {
            const Sample l = sample(in.layer, u, v), s = sample(in.stroke, u, v);
            const double a = s.a * strokeOpacity;
            double c[4];
            const double ls[4] = {l.r, l.g, l.b, l.a}, ss[4] = {s.r, s.g, s.b, s.a};
            for (int k = 0; k < 4; ++k) {
                if (eraser)
                    c[k] = s.a == 0 ? ls[k] : ls[k] * (1 - a);
                else
                    c[k] = ss[k] * strokeOpacity + (1 - a) * ls[k];
                c[k] *= opacity;
            }
            return toPixel(c[0], c[1], c[2], c[3]);
        });
    }

    void selectionOutline()
    {
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("selection"));
        rig->bindTexture("f_currentLayerTexture", block, 1);
        setTile(program, QRectF(), false);
        check(rig->draw(cleared), [&](int x, int y, double, double) {
            auto selected = [&](int i, int j) {
                return i >= 0 && j >= 0 && i < size && j < size && qAlpha(in.block.pixel(i, j)) != 0;
            };
            if (!selected(x, y))
                return discarded();
            bool edge = false;
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j)
                    edge |= !selected(std::clamp(x + i, 0, size - 1), std::clamp(y + j, 0, size - 1));
            return edge ? toPixel(0, 0.7, 0, 0.7) : discarded();
        });
    }

    void fill_data()
    {
        QTest::addColumn<bool>("clipToSelection");
        QTest::newRow("everywhere") << false;
        QTest::newRow("selected pixels only") << true;
    }

    void fill()
    {
        QFETCH(bool, clipToSelection);
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("fill"));
        rig->bindTexture("f_currentLayerTexture", layer, 1);
        rig->bindTexture("f_selectionLayerTexture", selection, 2);
        program->setUniformValue("f_fillColor", QVector4D(0.1f, 0.2f, 0.3f, 0.4f));
        program->setUniformValue("f_clipToSelection", clipToSelection);
        check(rig->draw(cleared), [&](int, int, double u, double v) {
            if (clipToSelection && sample(in.selection, u, v).a == 0)
                return scaled(sample(in.layer, u, v), 1.0);
            return toPixel(0.1, 0.2, 0.3, 0.4);
        });
    }

    void textureLevels_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("full size") << 0;
        QTest::newRow("one texel") << 4;
    }

    void textureLevels()
    {
        QFETCH(int, level);
        // Left half red, right half blue: the 1 x 1 level is their mean.
        const QImage image = pattern(size, size, [](int x, int) { return x < size / 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 255, 255); });
        std::unique_ptr<QOpenGLTexture> texture(createMipmappedTexture(image));
        QVERIFY(texture);
        texture->setMinMagFilters(QOpenGLTexture::NearestMipMapNearest, QOpenGLTexture::Nearest);
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("texture"));
        rig->bindTexture("f_texture", texture.get(), 1);
        program->setUniformValue("f_levelOfDetail", level);
        program->setUniformValue("f_opacity", 0.5f);
        check(rig->draw(cleared), [&](int x, int, double, double) {
            if (level == 0)
                return x < size / 2 ? toPixel(0.5, 0, 0, 0.5) : toPixel(0, 0, 0.5, 0.5);
            return qRgba(64, 0, 64, 128);
        });
    }

    void colorFeedback_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::addColumn<float>("flowing");
        QTest::addColumn<float>("absorption");
        QTest::newRow("clear to the layer colour") << true << 0.0f << 0.2f;
        QTest::newRow("clear to the brush colour") << true << 0.5f << 0.2f;
        QTest::newRow("absorb the layer colour") << false << 0.0f << 0.3f;
    }

    void colorFeedback()
    {
        QFETCH(bool, clear);
        QFETCH(float, flowing);
        QFETCH(float, absorption);
        QOpenGLShaderProgram *program = rig->begin(QStringLiteral("colorfeedback"));
        rig->bindTexture("f_colorTexture", paper, 1);
        rig->bindTexture("f_currentLayerTexture", layer, 2);
        program->setUniformValue("f_clear", clear);
        program->setUniformValue("f_colorFlowingRate", flowing);
        program->setUniformValue("f_colorAbsorbtionRate", absorption);
        check(rig->draw(cleared, vertexColor), [&](int, int, double u, double v) {
            const Sample l = sample(in.layer, u, v);
            const Vec3 layerColor = unmultiply(l), color = unmultiply(sample(in.paper, u, v));
            if (clear && flowing != 0)
                return toPixel(vertexColor.redF(), vertexColor.greenF(), vertexColor.blueF(), vertexColor.alphaF());
            const Vec3 target = l.a == 0 ? Vec3{1, 1, 1} : layerColor;
            if (clear)
                return toPixel(target[0], target[1], target[2], 1);
            Vec3 mixed;
            for (int k = 0; k < 3; ++k)
                mixed[k] = color[k] + (target[k] - color[k]) * absorption;
            return toPixel(mixed[0], mixed[1], mixed[2], 1);
        });
    }

    // An effect's result is clipped to the painted rectangle and blended over
    // the layer through the selection; the layer stays untouched where nothing is selected.
    void effectFrame_data()
    {
        QTest::addColumn<bool>("clipToSelection");
        QTest::addColumn<bool>("clipToPaintedRect");
        QTest::newRow("plain") << false << false;
        QTest::newRow("through the selection") << true << false;
        QTest::newRow("inside the painted rectangle") << false << true;
    }

    void effectFrame()
    {
        QFETCH(bool, clipToSelection);
        QFETCH(bool, clipToPaintedRect);
        QOpenGLShaderProgram effect;
        QVERIFY(effect.addShaderFromSourceFile(QOpenGLShader::Vertex, QStringLiteral(":/shaders/basic_vert.glsl")));
        QVERIFY(effect.addShaderFromSourceCode(
            QOpenGLShader::Fragment,
            MTestGLRig::framedSource(false, QStringLiteral("f_color = vec4(0.0, 0.5, 1.0, 1.0) * f_opacity;"))));
        QVERIFY(effect.link());

        rig->use(&effect);
        rig->bindTexture("f_currentLayerTexture", layer, 1);
        rig->bindTexture("f_selectionLayerTexture", selection, 2);
        setTile(&effect, QRectF(103.5, 201.5, 6, 9), clipToPaintedRect);
        effect.setUniformValue("f_clipToSelection", clipToSelection);
        effect.setUniformValue("f_opacity", 0.8f);
        check(rig->draw(cleared), [&](int x, int y, double u, double v) {
            if (clipToPaintedRect && !(x >= 3 && x <= 9 && y >= 1 && y <= 10))
                return discarded();
            const double result[4] = {0.0, 0.4, 0.8, 0.8};
            if (!clipToSelection)
                return toPixel(result[0], result[1], result[2], result[3]);
            const Sample l = sample(in.layer, u, v);
            const double mask = sample(in.selection, u, v).a;
            if (mask == 0)
                return scaled(l, 1.0);
            const double ls[4] = {l.r, l.g, l.b, l.a};
            double c[4];
            for (int k = 0; k < 4; ++k)
                c[k] = ls[k] + (result[k] - ls[k]) * mask;
            return toPixel(c[0], c[1], c[2], c[3]);
        });
    }
};

QTEST_MAIN(TestBuiltInPrograms)
#include "tst_builtinprograms.moc"

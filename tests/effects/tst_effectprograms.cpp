// Assembled effect and brush-engine programs on the real driver and the
// reference compiler, and the effects the system ships.

#include "mfield.h"
#include "mfolders.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mtesteffectsources.h"
#include "mtestglrig.h"
#include "mtestglslang.h"
#include "mtestpixels.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOpenGLShaderProgram>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QTest>

#include <cmath>
#include <functional>

namespace {
const QString kSourcesFolder = QStringLiteral(KALMI_TEST_DATA_DIR "/../../tools/effects/");

// The entries of the sources the shipped effects are written from.
QJsonArray shippedEntries()
{
    QFile file(kSourcesFolder + QStringLiteral("effects.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

// Sets every parameter's default value as its uniform, as layers and brushes do.
void setDefaultUniforms(QOpenGLShaderProgram *program, const MShader &shader)
{
    for (const MField *field : shader.params()) {
        const QByteArray name = field->name();
        switch (field->type()) {
        case QMetaType::Bool:
            program->setUniformValue(name.constData(), field->value().toBool());
            break;
        case QMetaType::Int:
            program->setUniformValue(name.constData(), field->value().toInt());
            break;
        case QMetaType::QColor:
            program->setUniformValue(name.constData(), field->value().value<QColor>());
            break;
        default:
            program->setUniformValue(name.constData(), field->value().toFloat());
        }
    }
}

// A small layer: a few colours, transparent and half-transparent pixels.
QImage layerImage()
{
    const QRgb colours[] = {MTestPixels::premultiplied(1.0, 0.0, 0.0, 1.0), MTestPixels::premultiplied(0.2, 0.6, 1.0, 1.0),
                            MTestPixels::premultiplied(0.5, 0.5, 0.5, 0.5), qRgba(0, 0, 0, 0),
                            MTestPixels::premultiplied(1.0, 1.0, 1.0, 1.0), MTestPixels::premultiplied(0.9, 0.3, 0.1, 0.8)};
    return MTestPixels::pattern(4, 4, [&](int x, int y) { return colours[(x + 3 * y) % 6]; });
}

using PixelFormula = std::function<MTestPixels::Sample(const MTestPixels::Sample &)>;

QImage expectedImage(const QImage &layer, const PixelFormula &formula)
{
    return MTestPixels::pattern(layer.width(), layer.height(), [&](int x, int y) {
        const MTestPixels::Sample in = MTestPixels::sample(layer, (x + 0.5) / layer.width(), (y + 0.5) / layer.height());
        const MTestPixels::Sample out = formula(in);
        return MTestPixels::toPixel(out.r, out.g, out.b, out.a);
    });
}
} // namespace

Q_DECLARE_METATYPE(PixelFormula)

class TestEffectPrograms : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MTestGLRig> rig;
    MTestGlslang glslang;

    // Compiles the shader's program on the driver: empty when it links.
    QString compileOnDriver(MShader &shader)
    {
        QOpenGLShaderProgram program;
        const bool linked = rig->programs().compileUserProgram(&shader, &program);
        rig->gl().makeCurrent();
        if (linked && shader.isValid() && program.isLinked())
            return QString();
        return QStringLiteral("does not link: ") + program.log();
    }

    // Draws the shipped effect of that description over the layer.
    QImage drawEffect(const QString &description, const QImage &layer)
    {
        MShader *effect = nullptr;
        MShaderList *library = MShaderList::instance();
        for (int row = 0; row < library->rowCount(); ++row) {
            if (library->shaderAt(row)->description() == description)
                effect = library->shaderAt(row);
        }
        if (!effect)
            return QImage();
        QOpenGLShaderProgram *program = rig->begin(effect->id());
        if (!program || program == rig->programs().program(QStringLiteral("basic")))
            return QImage();
        setDefaultUniforms(program, *effect);
        program->setUniformValue("f_clipToPaintedRect", false);
        rig->bindTexture("f_currentLayerTexture", rig->texture(layer), 0);
        return rig->draw();
    }

private slots:
    void initTestCase()
    {
        // The traces checked here are developer output, off by default.
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.*.debug=true"));
        QVERIFY2(glslang.isValid(), "glslangValidator (Debian package glslang-tools) is not installed");
        rig.reset(new MTestGLRig(4, 4));
        QVERIFY(rig->isValid());
    }

    void cleanupTestCase()
    {
        rig.reset();
        MShaderList::destroyInstance();
    }

    void assembledProgramsLink_data() { MTestEffectSources::addRows(); }

    void assembledProgramsLink()
    {
        QFETCH(int, type);
        QFETCH(QString, source);
        MShader shader;
        shader.set_type(type);
        shader.set_source(source);
        const QString onDriver = compileOnDriver(shader);
        QVERIFY2(onDriver.isEmpty(), qPrintable(onDriver));
        const QString reference = glslang.validateFragment(shader.buildFragmentSource(nullptr));
        QVERIFY2(reference.isEmpty(), qPrintable(reference));
    }

    void brokenUserCodeDoesNotLink()
    {
        MShader shader;
        shader.set_source(QStringLiteral("@main\nf_color = no_such_function();"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Could not compile fragment shader")));
        QVERIFY(!compileOnDriver(shader).isEmpty());
        QVERIFY(!shader.isValid());
    }

    void shippedEffects_data()
    {
        QTest::addColumn<QJsonObject>("entry");
        const QJsonArray entries = shippedEntries();
        QVERIFY(entries.size() >= 2);
        for (const QJsonValue &value : entries)
            QTest::newRow(qPrintable(value.toObject().value(QStringLiteral("description")).toString())) << value.toObject();
    }

    // What a first start offers: the shipped files, as written from their
    // sources, load, compile without warning and link everywhere.
    void shippedEffects()
    {
        QFETCH(QJsonObject, entry);
        MShaderList *library = MShaderList::instance();
        QCOMPARE(library->rowCount(), shippedEntries().size());
        MShader *shader = library->find(entry.value(QStringLiteral("id")).toString());
        QVERIFY(shader);
        QCOMPARE(MParamList::itemFile(shader).location, int(MFolders::SystemPath));
        QCOMPARE(shader->id(), entry.value(QStringLiteral("id")).toString());
        QCOMPARE(shader->type(), entry.value(QStringLiteral("type")).toInt());
        QCOMPARE(shader->group(), entry.value(QStringLiteral("group")).toString());
        QCOMPARE(shader->description(), entry.value(QStringLiteral("description")).toString());
        QFile sourceFile(kSourcesFolder + entry.value(QStringLiteral("source")).toString());
        QVERIFY(sourceFile.open(QIODevice::ReadOnly));
        QCOMPARE(shader->source(), QString::fromUtf8(sourceFile.readAll()));

        QVERIFY2(shader->parseParams(), qPrintable(shader->errorText()));
        QCOMPARE(shader->errorText(), QString());
        bool ok = false;
        const QString fragment = shader->buildFragmentSource(&ok);
        QVERIFY(ok);
        const QString onDriver = compileOnDriver(*shader);
        QVERIFY2(onDriver.isEmpty(), qPrintable(onDriver));
        const QString reference = glslang.validateFragment(fragment);
        QVERIFY2(reference.isEmpty(), qPrintable(reference));
    }

    void shippedEffectsDraw_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<PixelFormula>("formula");
        using MTestPixels::Sample;
        QTest::newRow("invert") << "invert" << PixelFormula([](const Sample &c) {
            return Sample{c.a - c.r, c.a - c.g, c.a - c.b, c.a};
        });
        QTest::newRow("grayscale") << "grayscale" << PixelFormula([](const Sample &c) {
            const double l = 0.30 * c.r + 0.59 * c.g + 0.11 * c.b;
            return Sample{l, l, l, c.a};
        });
        QTest::newRow("tint") << "tint" << PixelFormula([](const Sample &c) {
            const double t[3] = {1.0, 170.0 / 255.0, 80.0 / 255.0};
            return Sample{c.r * (1 + t[0]) / 2, c.g * (1 + t[1]) / 2, c.b * (1 + t[2]) / 2, c.a};
        });
        QTest::newRow("brightness and contrast at rest") << "brightness and contrast"
                                                         << PixelFormula([](const Sample &c) { return c; });
        QTest::newRow("posterize in four levels") << "posterize" << PixelFormula([](const Sample &c) {
            const auto level = [&](double v) { return std::floor(v / std::max(c.a, 1.0 / 256) * 3 + 0.5) / 3 * c.a; };
            return Sample{level(c.r), level(c.g), level(c.b), c.a};
        });
    }

    void shippedEffectsDraw()
    {
        QFETCH(QString, description);
        QFETCH(PixelFormula, formula);
        const QImage layer = layerImage();
        const QImage drawn = drawEffect(description, layer);
        QVERIFY(!drawn.isNull());
        QString message;
        QVERIFY2(MTestGLContext::compareImages(drawn, expectedImage(layer, formula), 2, &message), qPrintable(message));
    }

    void blurKeepsAFlatLayer()
    {
        const QImage flat = MTestPixels::filled(4, 4, MTestPixels::premultiplied(0.2, 0.4, 0.8, 0.6));
        QString message;
        QVERIFY2(MTestGLContext::compareImages(drawEffect(QStringLiteral("blur"), flat), flat, 1, &message),
                 qPrintable(message));
    }

    // Without grain the shipped brush engine stamps as the built-in stamp.
    void grainBrushEngine()
    {
        MShader *engine = nullptr;
        MShaderList *library = MShaderList::instance();
        for (int row = 0; row < library->rowCount(); ++row) {
            if (library->shaderAt(row)->type() == MShader::BrushShader)
                engine = library->shaderAt(row);
        }
        QVERIFY(engine);
        QVERIFY(engine->parseParams());
        const QImage empty = MTestPixels::filled(4, 4, qRgba(0, 0, 0, 0));
        const QColor brush(200, 40, 90);
        const auto stamp = [&](const QString &name, float grain) {
            QOpenGLShaderProgram *program = rig->begin(name);
            setDefaultUniforms(program, *engine);
            program->setUniformValue("grain", grain);
            program->setUniformValue("grainSize", 1.0f);
            program->setUniformValue("f_radius", 2.0f);
            program->setUniformValue("f_hardness", 0.5f);
            program->setUniformValue("f_clipToSelection", false);
            rig->bindTexture("f_currentLayerTexture", rig->texture(empty), 0);
            return rig->draw(Qt::transparent, brush);
        };
        const QImage builtIn = stamp(QStringLiteral("stamping"), 0.0f);
        const QImage smooth = stamp(engine->id(), 0.0f);
        QVERIFY(engine->isValid());
        QString message;
        QVERIFY2(MTestGLContext::compareImages(smooth, builtIn, 0, &message), qPrintable(message));
        // With grain, some pixels lose coverage and none gains any.
        const QImage grainy = stamp(engine->id(), 1.0f);
        int thinner = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                QVERIFY(qAlpha(grainy.pixel(x, y)) <= qAlpha(builtIn.pixel(x, y)));
                thinner += qAlpha(grainy.pixel(x, y)) < qAlpha(builtIn.pixel(x, y)) ? 1 : 0;
            }
        }
        QVERIFY(thinner > 0);
    }
};

QTEST_MAIN(TestEffectPrograms)
#include "tst_effectprograms.moc"

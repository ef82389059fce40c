#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestglrig.h"
#include "mtestpixels.h"
#include "mtexture.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mtextureunitbinder.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QTest>

#include <memory>
#include <vector>

class TestMTextureUnitBinder : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MTestGLRig> rig;
    QOpenGLFunctions *f = nullptr;
    std::unique_ptr<QOpenGLShaderProgram> program;

    GLint integer(GLenum name) const
    {
        GLint value = 0;
        f->glGetIntegerv(name, &value);
        return value;
    }

    // What unit `unit` holds (texture or sampler object), or a parameter it
    // samples with: its sampler's when one is bound, else its texture's. The
    // active unit is kept.
    GLint onUnit(int unit, GLenum name = GL_TEXTURE_BINDING_2D) const
    {
        const GLint active = integer(GL_ACTIVE_TEXTURE);
        f->glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        GLint value = 0;
        const GLint sampler = integer(GL_SAMPLER_BINDING);
        if (name == GL_TEXTURE_BINDING_2D || name == GL_SAMPLER_BINDING)
            f->glGetIntegerv(name, &value);
        else if (sampler)
            QOpenGLContext::currentContext()->extraFunctions()->glGetSamplerParameteriv(GLuint(sampler), name, &value);
        else
            f->glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        f->glActiveTexture(GLenum(active));
        return value;
    }

    GLint samplerUnit(const char *name) const
    {
        GLint unit = -1;
        f->glGetUniformiv(program->programId(), program->uniformLocation(name), &unit);
        return unit;
    }

    std::vector<GLuint> newTextures(int count)
    {
        std::vector<GLuint> ids(size_t(count), 0);
        f->glGenTextures(count, ids.data());
        return ids;
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        rig.reset(new MTestGLRig(8, 8));
        QVERIFY(rig->isValid());
        f = rig->gl().context()->functions();
        // Two samplers added together, sampled with the implicit level of detail.
        program.reset(new QOpenGLShaderProgram());
        QVERIFY(program->addShaderFromSourceFile(QOpenGLShader::Vertex, QStringLiteral(":/shaders/basic_vert.glsl")));
        QVERIFY(program->addShaderFromSourceCode(QOpenGLShader::Fragment,
                                                 "#version 330 core\n"
                                                 "in vec2 v_texCoords0;\n"
                                                 "out vec4 f_color;\n"
                                                 "uniform sampler2D first;\n"
                                                 "uniform sampler2D second;\n"
                                                 "void main(void)\n"
                                                 "{\n"
                                                 "    f_color = texture(first, v_texCoords0) + texture(second, v_texCoords0);\n"
                                                 "}\n"));
        QVERIFY(program->link());
    }

    void init()
    {
        // Making the holder's figures leaves no context current.
        QVERIFY(MOpenGL::instance()->initialize());
        QVERIFY(rig->gl().makeCurrent());
    }

    void cleanup() { QVERIFY_GL_CLEAN(); }

    void cleanupTestCase()
    {
        rig->gl().makeCurrent();
        program.reset();
        rig.reset();
    }

    void bindsUpToTheLimit_data()
    {
        QTest::addColumn<bool>("holderReady");
        QTest::newRow("limit from the OpenGL holder") << true;
        QTest::newRow("holder not initialised: limit from the context") << false;
    }
    void bindsUpToTheLimit()
    {
        QFETCH(bool, holderReady);
        const int limit = integer(GL_MAX_TEXTURE_IMAGE_UNITS);
        QVERIFY(limit >= 16);
        if (!holderReady)
            MOpenGL::destroyInstance();
        QCOMPARE(MOpenGL::instance()->isInitialized(), holderReady);

        std::vector<GLuint> ids = newTextures(limit + 1);
        // The caller's own state: a texture on unit 0, unit 3 active.
        f->glActiveTexture(GL_TEXTURE0);
        f->glBindTexture(GL_TEXTURE_2D, ids[0]);
        f->glActiveTexture(GL_TEXTURE3);

        MTextureUnitBinder binder(f);
        for (int unit = 1; unit < limit; ++unit) {
            QVERIFY2(binder.bind(ids[size_t(unit)], nullptr, "none", filterToGl(unit % 6), filterToGl(unit % 2),
                                 wrapModeToGl(unit % 4), wrapModeToGl((unit + 1) % 4)),
                     qPrintable(QStringLiteral("unit %1").arg(unit)));
            QCOMPARE(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
        }
        QCOMPARE(binder.nextUnit(), limit);
        QVERIFY(!binder.bind(ids[size_t(limit)], nullptr, "none", GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT));
        QCOMPARE(binder.nextUnit(), limit);

        QCOMPARE(onUnit(0), GLint(ids[0]));
        for (int unit = 1; unit < limit; ++unit) {
            QCOMPARE(onUnit(unit), GLint(ids[size_t(unit)]));
            QCOMPARE(onUnit(unit, GL_TEXTURE_MIN_FILTER), filterToGl(unit % 6));
            QCOMPARE(onUnit(unit, GL_TEXTURE_MAG_FILTER), filterToGl(unit % 2));
            QCOMPARE(onUnit(unit, GL_TEXTURE_WRAP_S), wrapModeToGl(unit % 4));
            QCOMPARE(onUnit(unit, GL_TEXTURE_WRAP_T), wrapModeToGl((unit + 1) % 4));
        }

        binder.unbindAll();
        QCOMPARE(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
        QCOMPARE(onUnit(0), GLint(ids[0]));
        for (int unit = 1; unit < limit; ++unit) {
            QCOMPARE(onUnit(unit), 0);
            QCOMPARE(onUnit(unit, GL_SAMPLER_BINDING), 0);
        }

        // Starts again at unit 1, with every unit free again.
        QCOMPARE(binder.nextUnit(), 1);
        QVERIFY(binder.bind(ids[size_t(limit)], nullptr, "none", GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT));
        QCOMPARE(onUnit(1), GLint(ids[size_t(limit)]));
        QCOMPARE(binder.nextUnit(), 2);
        binder.unbindAll();
        QCOMPARE(onUnit(1), 0);

        f->glActiveTexture(GL_TEXTURE0);
        f->glBindTexture(GL_TEXTURE_2D, 0);
        f->glDeleteTextures(int(ids.size()), ids.data());
    }

    void samplersDrawFromTheirUnits()
    {
        QOpenGLTexture *red = rig->texture(MTestPixels::filled(2, 2, qRgba(255, 0, 0, 255)));
        QOpenGLTexture *blue = rig->texture(MTestPixels::filled(2, 2, qRgba(0, 0, 255, 255)));
        QVERIFY(rig->use(program.get()));
        MTextureUnitBinder binder(f);
        QVERIFY(binder.bind(red->textureId(), program.get(), "first", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                            GL_CLAMP_TO_EDGE));
        QVERIFY(binder.bind(blue->textureId(), program.get(), "second", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                            GL_CLAMP_TO_EDGE));
        QCOMPARE(samplerUnit("first"), 1);
        QCOMPARE(samplerUnit("second"), 2);
        const QImage drawn = rig->draw();
        binder.unbindAll();
        QString message;
        QVERIFY2(MTestGLContext::compareImages(drawn, MTestPixels::filled(8, 8, qRgba(255, 0, 255, 255)), 0, &message),
                 qPrintable(message));
    }

    // A tile painted red, then green, sampled through a mipmap filter at 1/64
    // of its size: the levels that were not made again still hold the red.
    void tilesWithoutMipmaps_data()
    {
        QTest::addColumn<bool>("generateMipmaps");
        QTest::addColumn<int>("minFilter");
        QTest::newRow("mipmaps generated") << true << GL_LINEAR_MIPMAP_LINEAR;
        QTest::newRow("no mipmaps") << false << GL_LINEAR;
    }
    void tilesWithoutMipmaps()
    {
        QFETCH(bool, generateMipmaps);
        QFETCH(int, minFilter);
        QImage red(512, 512, QImage::Format_RGBA8888_Premultiplied);
        red.fill(qRgba(255, 0, 0, 255));
        QImage green(512, 512, QImage::Format_RGBA8888_Premultiplied);
        green.fill(qRgba(0, 200, 0, 255));
        MTextureLayer layer;
        auto *tile = static_cast<MTextureTile *>(layer.addTile(QPointF(10, 10)));
        QVERIFY(tile->ensureTexture());
        QVERIFY(tile->setImage(red));
        MSettings::instance()->set_generateMipmaps(generateMipmaps);
        QVERIFY(tile->setData(green.constBits()));
        // What a pass that samples the smaller levels asks first.
        tile->updateMipmaps();
        QOpenGLTexture *nothing = rig->texture(MTestPixels::filled(1, 1, qRgba(0, 0, 0, 0)));

        QVERIFY(rig->use(program.get()));
        MTextureUnitBinder binder(f);
        QVERIFY(binder.bind(tile->textureId(), program.get(), "first", GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR,
                            GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE));
        QVERIFY(binder.bind(nothing->textureId(), program.get(), "second", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                            GL_CLAMP_TO_EDGE));
        QCOMPARE(onUnit(1, GL_TEXTURE_MIN_FILTER), minFilter);
        const QImage drawn = rig->draw();
        binder.unbindAll();
        layer.clear();
        MSettings::instance()->set_generateMipmaps(true);
        QString message;
        QVERIFY2(MTestGLContext::compareImages(drawn, MTestPixels::filled(8, 8, qRgba(0, 200, 0, 255)), 1, &message),
                 qPrintable(message));
    }
};

QTEST_MAIN(TestMTextureUnitBinder)
#include "tst_mtextureunitbinder.moc"

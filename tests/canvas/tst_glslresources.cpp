// Every built-in GLSL resource also passes the reference GLSL compiler, so a
// shader that only this driver happens to accept is caught here.

#include "mshaderprogramlist.h"
#include "mtestglslang.h"
#include "mtestglrig.h"
#include "mutility.h"

#include <QDir>
#include <QTest>

class TestGlslResources : public QObject
{
    Q_OBJECT

private:
    MTestGlslang glslang;

    static QString resource(const QString &name)
    {
        QString text;
        MUtility::readTextFile(text, QStringLiteral(":/shaders/") + name);
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(glslang.isValid(), "glslangValidator (Debian package glslang-tools) is not installed");
    }

    void everyStage_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList names = QDir(QStringLiteral(":/shaders")).entryList({QStringLiteral("*.glsl")}, QDir::Files);
        QVERIFY(names.size() >= 23);
        for (const QString &name : names) {
            // The frames are not whole stages; they are checked around a body below.
            if (!name.startsWith(QLatin1String("std_")))
                QTest::newRow(qPrintable(name)) << name;
        }
    }

    void everyStage()
    {
        QFETCH(QString, name);
        const QString source = resource(name);
        QVERIFY(source.startsWith(QLatin1String("#version 330 core")));
        const QString errors = glslang.validate({name}, {source});
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }

    void everyProgramLinks_data()
    {
        QTest::addColumn<QString>("vertex");
        QTest::addColumn<QString>("fragment");
        const MShaderProgramList list;
        for (const QString &name : list.builtInProgramNames())
            QTest::newRow(qPrintable(name)) << list.vertexResource(name) << list.fragmentResource(name);
    }

    void everyProgramLinks()
    {
        QFETCH(QString, vertex);
        QFETCH(QString, fragment);
        QString vertexSource, fragmentSource;
        QVERIFY(MUtility::readTextFile(vertexSource, vertex));
        QVERIFY(MUtility::readTextFile(fragmentSource, fragment));
        const QString errors = glslang.validate({QFileInfo(vertex).fileName(), QFileInfo(fragment).fileName()},
                                        {vertexSource, fragmentSource});
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }

    void framesAroundABody_data()
    {
        QTest::addColumn<bool>("brushEngine");
        QTest::addColumn<QString>("body");
        QTest::newRow("effect, default body") << false << "f_color = texture(f_currentLayerTexture, v_texCoords0.st) * f_opacity;";
        QTest::newRow("effect, neighbouring tiles")
            << false
            << "vec2 t = v_texCoords0 + vec2(0.6, -0.2);\n"
               "f_color = tileIndex(t) == 4 ? texture(f_tilesTextures[0], tileTexCoord(t)) : vec4(sin(f_globalTime));";
        QTest::newRow("brush engine, default body") << true << "f_color = v_color;";
        QTest::newRow("brush engine, standard stamp")
            << true
            << "float alpha = getStandardClipping(getStandardAlpha());\n"
               "if (alpha < 0.004)\n    discard;\n"
               "f_color = getStandardComposition(getStandardColor(), alpha * rand(vec2(f_random, f_stampCount)));";
    }

    void framesAroundABody()
    {
        QFETCH(bool, brushEngine);
        QFETCH(QString, body);
        const QString errors = glslang.validateFragment(MTestGLRig::framedSource(brushEngine, body));
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestGlslResources)
#include "tst_glslresources.moc"

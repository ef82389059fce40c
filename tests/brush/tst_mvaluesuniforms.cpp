#include "mtestglcontext.h"
#include "mvalues.h"

#include <QColor>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QTest>

// Values reach a real program as uniforms of their names, typed by the
// stored variant.
class TestMValuesUniforms : public QObject
{
    Q_OBJECT

private slots:
    void valuesBecomeUniforms()
    {
        MTestGLContext gl;
        QVERIFY(gl.isValid());
        QOpenGLShaderProgram program;
        QVERIFY(program.addShaderFromSourceCode(QOpenGLShader::Vertex,
                                                "#version 330 core\n"
                                                "in vec2 vertexPosition;\n"
                                                "void main() { gl_Position = vec4(vertexPosition, 0.0, 1.0); }\n"));
        QVERIFY(program.addShaderFromSourceCode(QOpenGLShader::Fragment,
                                                "#version 330 core\n"
                                                "uniform int enabled;\n"
                                                "uniform int disabled;\n"
                                                "uniform int level;\n"
                                                "uniform float amount;\n"
                                                "uniform float count;\n"
                                                "uniform vec4 tint;\n"
                                                "out vec4 color;\n"
                                                "void main() { color = tint * amount * count + vec4(enabled + disabled + level); }\n"));
        QVERIFY(program.link());
        QVERIFY(program.bind());

        MValues values;
        values.setValue("enabled", true);
        values.setValue("disabled", false);
        values.setValue("level", 7);
        values.setValue("amount", 0.1);
        values.setValue("count", 3);
        values.setValue("tint", QColor(255, 0, 51, 102));
        values.setValue("unused", 4.0);
        values.setUniforms(&program);

        QOpenGLFunctions *f = gl.context()->functions();
        auto intUniform = [&](const char *name) {
            GLint value = -99;
            f->glGetUniformiv(program.programId(), program.uniformLocation(name), &value);
            return value;
        };
        auto floatUniform = [&](const char *name, int components) {
            GLfloat value[4] = {-99, -99, -99, -99};
            f->glGetUniformfv(program.programId(), program.uniformLocation(name), value);
            return QVector<float>(value, value + components);
        };
        QCOMPARE(intUniform("enabled"), 1);
        QCOMPARE(intUniform("disabled"), 0);
        QCOMPARE(intUniform("level"), 7);
        QCOMPARE(floatUniform("amount", 1).first(), 0.1f);
        // An int variant goes through the integer setter, which a float uniform refuses.
        QCOMPARE(floatUniform("count", 1).first(), 0.0f);
        const QVector<float> tint = floatUniform("tint", 4);
        QCOMPARE(tint, (QVector<float>{1.0f, 0.0f, 0.2f, 0.4f}));
    }
};

QTEST_MAIN(TestMValuesUniforms)
#include "tst_mvaluesuniforms.moc"

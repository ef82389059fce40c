#include "mlogger.h"
#include "mopengl.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtesteffect.h"
#include "mtestglrig.h"
#include "mtestlogwatch.h"
#include "mutility.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QTest>

#include <memory>

namespace {

// A list with one more program whose sources are files of the test.
class ExtendedList : public MShaderProgramList
{
public:
    ExtendedList(const QString &vertexPath, const QString &fragmentPath)
    {
        registerProgram(QStringLiteral("extra"), vertexPath, fragmentPath);
    }
};

const char *validFragment = "#version 330 core\nout vec4 f_color;\nvoid main(void) { f_color = vec4(1.0); }\n";
const char *brokenStage = "#version 330 core\nvoid main(void) { this is not glsl; }\n";

} // namespace

class TestMShaderProgramList : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MTestGLContext> gl;
    std::unique_ptr<MShaderProgramList> list;

    GLuint currentProgram() const
    {
        GLint id = 0;
        gl->context()->functions()->glGetIntegerv(GL_CURRENT_PROGRAM, &id);
        return GLuint(id);
    }

private slots:
    void initTestCase()
    {
        // The traces checked here are developer output, off by default.
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.*.debug=true"));
        MLogger::instance();
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
        const MTestLogWatch log;
        list.reset(new MShaderProgramList());
        list->createSharedContext();
        QVERIFY(list->isReady());
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        list->compileAll();
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
        QVERIFY(gl->makeCurrent());
    }

    void cleanupTestCase()
    {
        list->destroySharedContext();
        list.reset();
        gl.reset();
        MShaderList::destroyInstance();
    }

    void everyBuiltInProgramLinks()
    {
        const QStringList expected = {"basic", "blit", "copy", "stamping", "color", "paper", "shading", "line",
                                      "grid", "colorfeedback", "fill", "stroke", "selection", "texture"};
        QCOMPARE(list->builtInProgramNames(), expected);
        for (const QString &name : expected) {
            QOpenGLShaderProgram *program = list->program(name);
            QVERIFY2(program && program->isLinked(), qPrintable(name));
        }
        // Compiling again finds the stored program.
        QOpenGLShaderProgram *basic = list->program(QStringLiteral("basic"));
        QCOMPARE(list->compileProgram(QStringLiteral(" BASIC")), basic);
        QVERIFY(gl->makeCurrent());
        QVERIFY_GL_CLEAN();
    }

    void compilationReportCoversEveryProgram()
    {
        QStringList report;
        MOpenGL::compileAllShaders(report);
        QVERIFY(gl->makeCurrent());
        for (const QString &name : list->builtInProgramNames())
            QVERIFY2(report.contains(QStringLiteral("Fragment shader compilation successful for: %1").arg(name)), qPrintable(name));
        QVERIFY(report.contains(QStringLiteral("\nEffects and brushes shaders compilation:\n")));
    }

    void bindFindsPrograms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capitals after a blank") << " STROKE" << "stroke";
        QTest::newRow("mixed case with a tab") << "Stamping\t" << "stamping";
        QTest::newRow("plain") << "fill" << "fill";
        QTest::newRow("unknown name") << "no such program" << "basic";
        QTest::newRow("empty name") << "" << "basic";
    }

    void bindFindsPrograms()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QOpenGLShaderProgram *program = list->bind(name);
        QCOMPARE(program, list->program(expected));
        QCOMPARE(currentProgram(), program->programId());
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        program->release();
        QVERIFY_GL_CLEAN();
    }

    void effectProgramsAreCompiledOnFirstBind()
    {
        auto *effect = new MTestEffect(QStringLiteral("{A1B2C3D4-0000-4000-8000-000000000001}"),
                                      QStringLiteral("f_color = vec4(0.25, 0.5, 0.75, 1.0) * f_opacity;"));
        MShaderList::instance()->append(effect);
        QVERIFY(!list->program(effect->id()));

        // Looked up by id, case and blanks aside; compiled in the list's
        // context, and the caller's context is current again afterwards.
        QOpenGLShaderProgram *program = list->bind(QStringLiteral("  ") + effect->id().toLower());
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        QVERIFY(program && program->isLinked());
        QVERIFY(program != list->program(QStringLiteral("basic")));
        QCOMPARE(program, list->program(effect->id()));
        QVERIFY(effect->isValid());
        QCOMPARE(currentProgram(), program->programId());
        QCOMPARE(list->bind(effect->id()), program);
        program->release();

        // An edited source is compiled anew.
        effect->setBody(QStringLiteral("f_color = vec4(1.0);"));
        list->updateShader(effect->id());
        QVERIFY(gl->makeCurrent());
        QOpenGLShaderProgram *updated = list->program(effect->id());
        QVERIFY(updated && updated->isLinked());
        QVERIFY(effect->isValid());

        list->removeShaderProgram(effect);
        QVERIFY(!list->program(effect->id()));
        QVERIFY(gl->makeCurrent());
        QVERIFY_GL_CLEAN();
    }

    void brokenEffectDrawsWithBasic()
    {
        auto *effect = new MTestEffect(QStringLiteral("{A1B2C3D4-0000-4000-8000-000000000002}"),
                                      QStringLiteral("f_color = no_such_function();"));
        MShaderList::instance()->append(effect);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Could not compile fragment shader tests:test effectError: ")));
        QTest::ignoreMessage(QtDebugMsg, "mshaderprogramlist::MShaderProgramList::bind program link");
        QTest::ignoreMessage(QtDebugMsg, "mshaderprogramlist::MShaderProgramList::bind fallback to basic");
        QOpenGLShaderProgram *program = list->bind(effect->id());
        QCOMPARE(program, list->program(QStringLiteral("basic")));
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        QVERIFY(!effect->isValid());
        // The failed program stays stored under the id.
        QOpenGLShaderProgram *stored = list->program(effect->id());
        QVERIFY(stored && !stored->isLinked());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Could not compile fragment shader")));
        QVERIFY(!list->compileUserProgram(effect, stored));
        QVERIFY(!effect->isValid());
        QVERIFY(gl->makeCurrent());
        program->release();
        QVERIFY_GL_CLEAN();
    }

    void failingStagesAreAllReported_data()
    {
        QTest::addColumn<bool>("vertexBroken");
        QTest::addColumn<bool>("fragmentBroken");
        QTest::newRow("vertex stage") << true << false;
        QTest::newRow("fragment stage") << false << true;
        QTest::newRow("both stages") << true << true;
    }

    void failingStagesAreAllReported()
    {
        QFETCH(bool, vertexBroken);
        QFETCH(bool, fragmentBroken);
        MTestFolder folder;
        QString basicVertex;
        QVERIFY(MUtility::readTextFile(basicVertex, QStringLiteral(":/shaders/basic_vert.glsl")));
        const QString vertexPath = folder.writeFile(QStringLiteral("v.glsl"), vertexBroken ? brokenStage : basicVertex.toUtf8());
        const QString fragmentPath = folder.writeFile(QStringLiteral("f.glsl"), fragmentBroken ? brokenStage : validFragment);

        ExtendedList extended(vertexPath, fragmentPath);
        extended.createSharedContext();
        const MTestLogWatch log;
        extended.compileAll();
        QOpenGLShaderProgram *program = extended.program(QStringLiteral("EXTRA"));
        QVERIFY(program);
        QVERIFY(!program->isLinked());
        QCOMPARE(extended.compileProgram(QStringLiteral("extra")), program);
        // A failing stage stops neither the other stage nor the link attempt.
        QCOMPARE(log.count(QStringLiteral("System error: Could not compile vertex shader. Error: ")), vertexBroken ? 1 : 0);
        QCOMPARE(log.count(QStringLiteral("System error: Could not compile fragment shader. Error: ")), fragmentBroken ? 1 : 0);
        QVERIFY(log.count(QStringLiteral("System error: ")) <= 3);
        if (vertexBroken && fragmentBroken)
            QCOMPARE(log.count(QStringLiteral("System error: Could not link shader program. Error: ")), 1);

        // The stage that compiled does not make a usable program on its own.
        QVERIFY(gl->makeCurrent());
        QTest::ignoreMessage(QtDebugMsg, "mshaderprogramlist::MShaderProgramList::bind program link");
        QTest::ignoreMessage(QtDebugMsg, "mshaderprogramlist::MShaderProgramList::bind fallback to basic");
        QOpenGLShaderProgram *bound = extended.bind(QStringLiteral("Extra"));
        QCOMPARE(bound, extended.program(QStringLiteral("basic")));
        bound->release();
        extended.destroySharedContext();
        QVERIFY(gl->makeCurrent());
        QVERIFY_GL_CLEAN();
    }

    void listWithoutContextFailsHarmlessly()
    {
        MShaderProgramList unready;
        const MTestLogWatch log;
        unready.compileAll();
        QVERIFY(log.count(QStringLiteral("System error: Unable to make current context")) > 0);
        QCOMPARE(unready.bind(QStringLiteral("basic")), nullptr);
        QCOMPARE(unready.bindForVao(QStringLiteral("stroke"), nullptr), nullptr);
        MShaderProgramList::release(nullptr, nullptr);
        QCOMPARE(QOpenGLContext::currentContext(), gl->context());
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMShaderProgramList)
#include "tst_mshaderprogramlist.moc"

#include "mlogger.h"
#include "mopengl.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"

#include <QFile>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QRegularExpression>
#include <QTest>

#include <memory>

class TestMOpenGL : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSurfaceFormat::setDefaultFormat(MOpenGL::requestedFormat());
    }

    void errorLine_data()
    {
        QTest::addColumn<QString>("log");
        QTest::addColumn<int>("line");
        QTest::newRow("mesa line, not column") << "0:3(12): error: syntax error, unexpected IDENTIFIER" << 3;
        QTest::newRow("mesa second message") << "0:14(2): warning: x\n0:20(5): error: y" << 14;
        QTest::newRow("parenthesised line") << "0(7) : error C0000: syntax error" << 7;
        QTest::newRow("no line") << "error: linking failed" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void errorLine()
    {
        QFETCH(QString, log);
        QFETCH(int, line);
        QCOMPARE(MOpenGL::errorLine(log), line);
    }

    void driverTest()
    {
        MOpenGL *gl = MOpenGL::instance();
        QVERIFY(gl->initialize());
        QVERIFY(gl->maxTextureImageUnits() >= 16);
        QVERIFY(gl->maxTextureSize() >= 1024);
        QVERIFY(gl->useVertexArrayObjects);
        QVERIFY(!QOpenGLContext::currentContext());
        // Once it has succeeded the test is not run again.
        QVERIFY(gl->initialize());
        QVERIFY(!QOpenGLContext::currentContext());
        MOpenGL::destroyInstance();
    }

    void compileReport_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("head");
        QTest::addColumn<QString>("lastNumbered");
        const QString header = "#version 330 core\nout vec4 color;\n";
        QTest::newRow("error on line 3")
            << header + "  void main() { color = vec4(1.0) + undefinedThing; }  \n// four\n// five"
            << QStringList({"Error near line 3", "void main() { color = vec4(1.0) + undefinedThing; }", ""})
            << "0005: // five";
        QTest::newRow("line beyond the source")
            << header + "#line 9\nvoid main() { color = nothing; }\n// five"
            << QStringList({"Error near line 9", ""}) << "0005: // five";
        QTest::newRow("trailing line break")
            << header + "void main() { color = nothing; }\n"
            << QStringList({"Error near line 3", "void main() { color = nothing; }", ""}) << "0004: ";
    }
    void compileReport()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, head);
        QFETCH(QString, lastNumbered);
        MTestGLContext context;
        QVERIFY(context.isValid());
        QStringList report;
        QVERIFY(!MOpenGL::compileFragmentShader(source, report));
        QCOMPARE(report.mid(0, head.size()), head);
        const int sourceHeader = report.indexOf("GLSL Source code: ---------------->");
        QVERIFY(sourceHeader > 0);
        QCOMPARE(report.at(sourceHeader + 1), QString());
        QCOMPARE(report.at(sourceHeader + 2), QString("0001: #version 330 core"));
        QCOMPARE(report.last(), lastNumbered);
        QCOMPARE(context.context()->functions()->glGetError(), GLenum(GL_NO_ERROR));
    }

    void compileSuccessAppendsNothing()
    {
        MTestGLContext context;
        QVERIFY(context.isValid());
        QStringList report;
        QVERIFY(MOpenGL::compileFragmentShader("#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n", report));
        QVERIFY(report.isEmpty());
    }

    void nullDriverStringIsLogged()
    {
        MTestGLContext context;
        QVERIFY(context.isValid());
        MOpenGL::logGlString(GL_VENDOR, context.context()->functions(), "Vendor is %s");
        QVERIFY(MTestLogWatch::fileMessages().last().startsWith("Vendor is "));
        MOpenGL::logGlString(0x1234, context.context()->functions(), "never %s");
        QCOMPARE(MTestLogWatch::fileMessages().last(), QString("System error: Error logging OpenGL 4660."));
        MOpenGL::clearGlErrors();
        QCOMPARE(context.context()->functions()->glGetError(), GLenum(GL_NO_ERROR));
    }

    void systemDumpRestoresTheCurrentContext()
    {
        const int before = MTestLogWatch::fileMessages().size();
        MOpenGL::dumpSystemConfig();
        QVERIFY(!QOpenGLContext::currentContext());
        const QStringList lines = MTestLogWatch::fileMessages().mid(before);
        QVERIFY(lines.contains("Dump OpenGl card config"));
        QVERIFY(lines.contains("Dump OpenGl 3.3 requested config"));
        QVERIFY(lines.contains("-----------------------"));
        QVERIFY(lines.contains("--------------------------------"));
        QVERIFY(lines.contains("Default surface format profile: core profile."));
        QCOMPARE(lines.filter(QRegularExpression("^OpenGL GLSL version: ")).size(), 2);
        QVERIFY(lines.filter("System error").isEmpty());
        // The machine's own architecture, not a name of another system.
        QVERIFY(lines.contains(QStringLiteral("Build architecture: %1.").arg(QSysInfo::buildCpuArchitecture())));
        QVERIFY(lines.contains(QStringLiteral("Run architecture: %1.").arg(QSysInfo::currentCpuArchitecture())));

        MTestGLContext context;
        QVERIFY(context.isValid());
        MOpenGL::dumpSystemConfig();
        QCOMPARE(QOpenGLContext::currentContext(), context.context());
    }

    void compileAllWithEmptyLibrary()
    {
        QStringList report;
        MOpenGL::compileAllShaders(report);
        QVERIFY(report.contains("\nSystem shaders compilation:\n"));
        QVERIFY(report.contains("\nEffects and brushes shaders compilation:\n"));
        QVERIFY(report.filter("error").isEmpty());
        QVERIFY(!QOpenGLContext::currentContext());
    }

    void factories()
    {
        std::unique_ptr<QOpenGLContext> context(MOpenGL::createContext(MOpenGL::requestedFormat()));
        QVERIFY(context);
        QCOMPARE(context->format().profile(), QSurfaceFormat::CoreProfile);
        std::unique_ptr<QOffscreenSurface> surface(MOpenGL::createOffscreenSurface(context.get()));
        QVERIFY(surface && surface->isValid());
        std::unique_ptr<QOpenGLContext> shared(MOpenGL::createSharedContext(context.get()));
        QVERIFY(shared);
        QVERIFY(QOpenGLContext::areSharing(shared.get(), context.get()));
    }
};

QTEST_MAIN(TestMOpenGL)
#include "mtestlogwatch.h"
#include "tst_mopengl.moc"

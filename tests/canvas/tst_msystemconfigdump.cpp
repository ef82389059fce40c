#include "mopengl.h"
#include "msystemconfigdump.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"

#include <QOpenGLContext>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
// The dump's lines among the log's messages since `from`.
QStringList dumpedSince(int from)
{
    return MTestLogWatch::fileMessages().mid(from);
}
} // namespace

class TestMSystemConfigDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSurfaceFormat::setDefaultFormat(MOpenGL::requestedFormat());
        QVERIFY(QOpenGLContext::supportsThreadedOpenGL());
    }

    // The window goes on at once: nothing of the dump is logged, and the
    // context it works in is still current, until the lines come in; then
    // they are the ones the dump logs in place, in their order, in one piece.
    void linesComeInLaterAndWhole()
    {
        int from = MTestLogWatch::fileMessages().size();
        MOpenGL::dumpSystemConfig();
        const QStringList inPlace = dumpedSince(from);
        QVERIFY(inPlace.size() > 20);
        QVERIFY(inPlace.filter("System error").isEmpty());

        MTestGLContext context;
        QVERIFY(context.isValid());
        MSystemConfigDump dump;
        QSignalSpy logged(&dump, &MSystemConfigDump::logged);
        from = MTestLogWatch::fileMessages().size();
        dump.start();
        QCOMPARE(QOpenGLContext::currentContext(), context.context());
        QVERIFY(!dump.isLogged());
        QVERIFY(dumpedSince(from).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(dump.isLogged(), 60000);
        QCOMPARE(logged.count(), 1);
        QCOMPARE(dumpedSince(from), inPlace);
        QCOMPARE(QOpenGLContext::currentContext(), context.context());

        // Asked again, it says nothing more.
        dump.start();
        dump.finish();
        QCOMPARE(dumpedSince(from), inPlace);
    }

    // A window that goes before its first frame, or before the lines came
    // in, still leaves the description in the log, once.
    void goingEarlyStillLogs_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("finished");
        QTest::newRow("never started, finished") << false << true;
        QTest::newRow("started, finished at once") << true << true;
        QTest::newRow("started, gone at once") << true << false;
    }
    void goingEarlyStillLogs()
    {
        QFETCH(bool, started);
        QFETCH(bool, finished);
        const int from = MTestLogWatch::fileMessages().size();
        {
            auto dump = std::make_unique<MSystemConfigDump>();
            if (started)
                dump->start();
            if (finished) {
                dump->finish();
                QVERIFY(dump->isLogged());
            }
        }
        // A queued hand-back of the gone dump must not log a second time.
        QCoreApplication::processEvents();
        const QStringList lines = dumpedSince(from);
        QCOMPARE(lines.count("Dump OpenGl card config"), 1);
        QCOMPARE(lines.count("Dump OpenGl 3.3 requested config"), 1);
        QCOMPARE(lines.filter(QRegularExpression("^OpenGL renderer: ")).size(), 2);
        QVERIFY(lines.filter("System error").isEmpty());
    }
};

QTEST_MAIN(TestMSystemConfigDump)
#include "tst_msystemconfigdump.moc"

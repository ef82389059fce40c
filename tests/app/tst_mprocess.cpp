#include "mprocess.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

// A real program's output and a program that cannot start, into signals
// and into a text view.
class TestMProcess : public QObject
{
    Q_OBJECT

private slots:
    void output()
    {
        QPlainTextEdit view;
        MProcess process;
        process.setTextEdit(&view);
        QSignalSpy messages(&process, &MProcess::message);
        process.start("/bin/sh", {"-c", "printf 'h\\303\\251llo'"});
        QVERIFY(process.waitForFinished(5000));
        QTRY_VERIFY(!messages.isEmpty());
        QString all;
        for (const QList<QVariant> &args : messages)
            all += args.first().toString();
        QCOMPARE(all, QString::fromUtf8("héllo"));
        QCOMPARE(view.toPlainText(), all);
    }

    void failedStart()
    {
        QPlainTextEdit view;
        MProcess process;
        process.setTextEdit(&view);
        QSignalSpy errors(&process, &MProcess::error);
        process.start("/nonexistent/program", QStringList());
        QVERIFY(!process.waitForStarted(2000));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QString("Error: file not found, resource error"));
        QCOMPARE(view.toPlainText(), QString("Error: file not found, resource error"));
    }

    void withoutView()
    {
        MProcess process;
        QSignalSpy errors(&process, &MProcess::error);
        process.start("/bin/sh", {"-c", "kill -9 $$"});
        QVERIFY(process.waitForFinished(5000));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QString("Error: crash error"));
    }

    void errorNames_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("name");
        QTest::newRow("timed out") << int(QProcess::Timedout) << "timeout error";
        QTest::newRow("read") << int(QProcess::ReadError) << "read error";
        QTest::newRow("write") << int(QProcess::WriteError) << "write error";
        QTest::newRow("unknown") << int(QProcess::UnknownError) << "unknown error";
    }
    void errorNames()
    {
        QFETCH(int, error);
        QFETCH(QString, name);
        QCOMPARE(MProcess::errorName(QProcess::ProcessError(error)), name);
    }
};

QTEST_MAIN(TestMProcess)
#include "tst_mprocess.moc"

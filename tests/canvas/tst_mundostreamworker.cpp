#include "mundostreamworker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include <memory>
#include <mutex>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Distinct bytes per job, so that a file holding another job's bytes shows.
QByteArray jobBytes(int job, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + job * 7) & 0xff);
    return bytes;
}

} // namespace

class tst_MUndoStreamWorker : public QObject
{
    Q_OBJECT

private slots:
    void destroyedWithQueuedJobs_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("waitForAll");
        QTest::newRow("nothing queued") << 0 << 0 << false;
        QTest::newRow("many small, all written") << 40 << 4096 << true;
        QTest::newRow("many large, destroyed at once") << 24 << (1 << 20) << false;
    }

    // One thread serves every job. A writer destroyed with jobs queued
    // returns once the file in hand is complete: every file it reported is
    // there byte for byte, the others left nothing behind, not even a
    // temporary.
    void destroyedWithQueuedJobs()
    {
        QFETCH(int, jobs);
        QFETCH(int, size);
        QFETCH(bool, waitForAll);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::mutex mutex;
        QStringList reported;
        bool allSaved = true;
        auto writer = std::make_unique<MUndoStreamWorker>();
        connect(writer.get(), &MUndoStreamWorker::written, this,
                [&](const QString &fileName, bool saved, const QString &) {
                    std::lock_guard<std::mutex> lock(mutex);
                    reported << fileName;
                    allSaved = allSaved && saved;
                },
                Qt::DirectConnection);
        QStringList names;
        for (int i = 0; i < jobs; ++i) {
            names << dir.filePath(QStringLiteral("%1.data").arg(i));
            QVERIFY(writer->enqueue(names.last(), jobBytes(i, size)));
        }
        QCOMPARE(writer->threadsStarted(), jobs > 0 ? 1 : 0);
        if (waitForAll)
            QTRY_COMPARE_WITH_TIMEOUT([&] { std::lock_guard<std::mutex> lock(mutex); return reported.size(); }(), jobs, 20000);
        writer.reset();

        QVERIFY(allSaved);
        if (waitForAll)
            QCOMPARE(reported, names);
        // Reports come in queue order, so they are a prefix of the jobs.
        QCOMPARE(reported, names.mid(0, reported.size()));
        for (int i = 0; i < jobs; ++i) {
            if (i < reported.size())
                QVERIFY2(fileBytes(names[i]) == jobBytes(i, size), qPrintable(names[i]));
            else
                QVERIFY2(!QFile::exists(names[i]), qPrintable(names[i]));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), reported.size());
    }

    // A cache folder removed under the writer (a cleaner, the painter) is made
    // again for the next file; a path that can never be a folder fails with
    // the system's reason and leaves nothing. Every job leaves its report.
    void folderRemovedUnderTheWriter()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString cache = dir.filePath(QStringLiteral("cache/"));
        QVERIFY(QFile(dir.filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly));
        const QString blocked = dir.filePath(QStringLiteral("blocker/sub/1.data"));
        MUndoStreamWorker writer;
        QVERIFY(writer.enqueue(cache + QStringLiteral("1.data"), jobBytes(1, 5000)));
        QVERIFY(writer.enqueue(blocked, jobBytes(2, 5000)));
        std::vector<MUndoStreamWorker::Report> reports;
        for (int wait = 0; wait < 100 && reports.size() < 2; ++wait) {
            writer.waitForReport(100);
            for (const MUndoStreamWorker::Report &report : writer.takeReports())
                reports.push_back(report);
        }
        QCOMPARE(int(reports.size()), 2);
        QCOMPARE(reports[0].fileName, cache + QStringLiteral("1.data"));
        QVERIFY2(reports[0].saved, qPrintable(reports[0].error));
        QVERIFY(fileBytes(cache + QStringLiteral("1.data")) == jobBytes(1, 5000));
        QCOMPARE(reports[1].fileName, blocked);
        QVERIFY(!reports[1].saved);
        QVERIFY2(reports[1].error.endsWith(qt_error_string(ENOTDIR)), qPrintable(reports[1].error));
        QVERIFY(!QFile::exists(blocked));
    }
};

QTEST_GUILESS_MAIN(tst_MUndoStreamWorker)
#include "tst_mundostreamworker.moc"

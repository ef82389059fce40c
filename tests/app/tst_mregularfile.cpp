#include "mimagefile.h"
#include "mregularfile.h"
#include "mtestfolder.h"
#include "mtestpng.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Only regular files are opened, whatever names them, and every refusal says
// why; images are checked from their header before they are decoded.
class TestMRegularFile : public QObject
{
    Q_OBJECT

private:
    MTestFolder folder;

private slots:
    void kindsOfFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("refusal"); // empty: opens and reads
        const QString pipe = folder.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        const QString file = folder.writeFile(QStringLiteral("file.txt"), "some text");
        QVERIFY(QFile::link(file, folder.filePath(QStringLiteral("to file"))));
        QVERIFY(QFile::link(pipe, folder.filePath(QStringLiteral("to pipe"))));
        const QString named = QStringLiteral("It is a named pipe, not a file.");
        QTest::newRow("regular file") << file << QString();
        QTest::newRow("link to a regular file") << folder.filePath(QStringLiteral("to file")) << QString();
        QTest::newRow("built-in resource") << QStringLiteral(":/icons/shader.jpg") << QString();
        QTest::newRow("named pipe") << pipe << named;
        QTest::newRow("link to a named pipe") << folder.filePath(QStringLiteral("to pipe")) << named;
        QTest::newRow("device") << QStringLiteral("/dev/zero") << QStringLiteral("It is a device, not a file.");
        QTest::newRow("folder") << folder.path() << QStringLiteral("It is a folder, not a file.");
        QTest::newRow("missing") << folder.filePath(QStringLiteral("missing")) << QStringLiteral("No such file or directory");
        QTest::newRow("name not UTF-8") << QFile::decodeName(QFile::encodeName(folder.path()) + "caf\xe9")
                                        << QStringLiteral("Its name holds bytes that are not UTF-8 text: rename the "
                                                          "file to open it.");
    }

    void kindsOfFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, refusal);
        MRegularFile file(path);
        QCOMPARE(file.openForReading(), refusal.isEmpty());
        QCOMPARE(MRegularFile::refusal(path), refusal);
        if (refusal.isEmpty()) {
            QVERIFY(!file.readAll().isEmpty());
            QCOMPARE(file.fileName(), path);
        } else {
            QCOMPARE(file.errorString(), refusal);
            QVERIFY(!file.isOpen());
        }
    }

    // A reader with a limit learns whether the file passed it from what it
    // got, whatever the file's size.
    void readAtMost_data()
    {
        QTest::addColumn<int>("fileSize");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("got");
        QTest::newRow("under the limit") << 10 << 100 << 10;
        QTest::newRow("at the limit") << 10 << 10 << 10;
        QTest::newRow("over the limit") << 10 << 4 << 5;
        QTest::newRow("empty") << 0 << 4 << 0;
    }

    void readAtMost()
    {
        QFETCH(int, fileSize);
        QFETCH(int, limit);
        QFETCH(int, got);
        const QByteArray content(fileSize, 'k');
        MRegularFile file(folder.writeFile(QStringLiteral("limited"), content));
        QVERIFY(file.openForReading());
        QCOMPARE(file.readAtMost(limit), content.left(got));
    }

    // The program's own files it writes (its log) are written only when
    // regular: a pipe is refused at once, with or without a reader, and never
    // waited for.
    void appending_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<QString>("refusal"); // empty: written
        const QString named = QStringLiteral("It is a named pipe, not a file.");
        QTest::newRow("regular file") << "file" << false << QString();
        QTest::newRow("regular file, emptied") << "file" << true << QString();
        QTest::newRow("missing") << "missing" << false << QString();
        QTest::newRow("named pipe nobody reads") << "pipe" << true << QStringLiteral("No such device or address");
        QTest::newRow("named pipe read") << "read pipe" << true << named;
        QTest::newRow("link to a named pipe read") << "link to read pipe" << false << named;
        QTest::newRow("device") << "device" << true << QStringLiteral("It is a device, not a file.");
    }

    void appending()
    {
        QFETCH(QString, kind);
        QFETCH(bool, truncate);
        QFETCH(QString, refusal);
        const QString base = folder.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QString path = base;
        int reader = -1;
        if (kind == QLatin1String("file")) {
            folder.writeFile(QFileInfo(base).fileName(), "some ");
        } else if (kind.endsWith(QLatin1String("pipe"))) {
            const QString pipe = base + QStringLiteral(".pipe");
            QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
            if (kind.contains(QLatin1String("read")))
                reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
            path = pipe;
            if (kind.startsWith(QLatin1String("link")))
                QVERIFY(QFile::link(pipe, path = base));
        } else if (kind == QLatin1String("device")) {
            path = QStringLiteral("/dev/null");
        }
        MRegularFile file(path);
        const bool opened = file.openForAppending(truncate);
        if (opened) {
            file.write("text");
            file.close();
        }
        if (reader >= 0)
            ::close(reader);
        QCOMPARE(opened, refusal.isEmpty());
        if (!refusal.isEmpty()) {
            QCOMPARE(file.errorString(), refusal);
            return;
        }
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray(kind == QLatin1String("file") && !truncate ? "some text" : "text"));
    }

    // An image of another program's clipboard is read from its encoded
    // bytes, its size checked first; the program's own copies come decoded.
    void clipboardImages()
    {
        QImage small(3, 2, QImage::Format_ARGB32);
        small.fill(Qt::blue);
        const MImageFile::SizeCheck check = [](const QSize &size) {
            return size.width() > 100 ? QStringLiteral("too wide") : QString();
        };
        QString reason;
        QMimeData encoded;
        encoded.setData(QStringLiteral("image/png"), MTestPng::encode(small));
        QCOMPARE(MImageFile::fromMimeData(&encoded, &reason, check).size(), QSize(3, 2));
        QVERIFY(reason.isEmpty());

        QMimeData claiming;
        claiming.setData(QStringLiteral("image/png"), MTestPng::claiming(1000000, 1));
        QVERIFY(MImageFile::fromMimeData(&claiming, &reason, check).isNull());
        QCOMPARE(reason, QStringLiteral("too wide"));

        QMimeData own;
        own.setImageData(small);
        reason.clear();
        QCOMPARE(MImageFile::fromMimeData(&own, &reason, check).size(), QSize(3, 2));
        QVERIFY(reason.isEmpty());
    }

    // A file's image: a pipe is refused unopened, and the library limit
    // holds when no other check is given.
    void imageFiles()
    {
        QImage small(5, 4, QImage::Format_ARGB32);
        small.fill(Qt::green);
        const QString png = folder.writeFile(QStringLiteral("small.png"), MTestPng::encode(small));
        const QString huge = folder.writeFile(QStringLiteral("huge.png"), MTestPng::claiming(5000, 10));
        const QString pipe = folder.filePath(QStringLiteral("image pipe.png"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QString reason;
        QCOMPARE(MImageFile::read(png, &reason).size(), QSize(5, 4));
        QVERIFY(MImageFile::read(huge, &reason).isNull());
        QCOMPARE(reason, QStringLiteral("image of 5000 x 10 pixels, larger than 4096 x 4096"));
        QVERIFY(MImageFile::read(pipe, &reason).isNull());
        QCOMPARE(reason, QStringLiteral("It is a named pipe, not a file."));
    }
};

QTEST_MAIN(TestMRegularFile)
#include "tst_mregularfile.moc"

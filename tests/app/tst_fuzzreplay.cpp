#include "mfuzzreaders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Every seed of the fuzz targets and every input that once failed a reader,
// kept under tests/data/fuzz/<reader>/, through the same reader entry the
// fuzz targets use: seeds ("seed-*", written by the system's own writers)
// must be accepted, once-failing inputs ("refused-*") refused, and none may
// crash. CI thus guards the fixes without clang.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private:
    static QString folder(const QString &reader)
    {
        return QStringLiteral(KALMI_TEST_DATA_DIR "/fuzz/") + reader;
    }

private slots:
    void everyReaderHasSeeds()
    {
        for (const QString &reader : MFuzzReaders::names())
            QVERIFY2(!QDir(folder(reader)).entryList({QStringLiteral("seed-*")}, QDir::Files).isEmpty(),
                     qPrintable(reader));
        QCOMPARE(MFuzzReaders::read(QStringLiteral("no such reader"), QByteArray("x")), -1);
    }

    void replay_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("path");
        for (const QString &reader : MFuzzReaders::names()) {
            const QDir dir(folder(reader));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
                QTest::newRow(qPrintable(reader + QLatin1Char('/') + name)) << reader << dir.filePath(name);
        }
    }

    void replay()
    {
        QFETCH(QString, reader);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const int result = MFuzzReaders::read(reader, file.readAll());
        const QString name = QFileInfo(path).fileName();
        if (name.startsWith(QLatin1String("seed-")))
            QCOMPARE(result, 0);
        else if (name.startsWith(QLatin1String("refused-")))
            QVERIFY2(result != 0, qPrintable(name));
        else
            QFAIL("inputs are named seed-* or refused-*");
    }
};

QTEST_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"

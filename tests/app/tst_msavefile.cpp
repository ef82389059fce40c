#include "msavefile.h"
#include "mtestfilesizelimit.h"
#include "mtestfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <memory>

// A save goes to "<target>.kalmisave" and is renamed over the target only
// when whole: whatever happens, the folder ends with the old or the new file
// and no temporary beside it, and a failure says the system's reason.
class TestMSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("reason");
        QTest::newRow("plain save") << "plain" << true << QString();
        QTest::newRow("leftover of a killed save") << "leftover" << true << QString();
        QTest::newRow("disk full part way") << "full" << false << qt_error_string(EFBIG);
        QTest::newRow("cancelled") << "cancel" << false << QString();
        QTest::newRow("through a link") << "link" << true << QString();
    }

    void outcomes()
    {
        QFETCH(QString, situation);
        QFETCH(bool, saved);
        QFETCH(QString, reason);
        MTestFolder folder;
        const QString target = folder.writeFile("picture.kxd", "old contents");
        QString written = target;
        if (situation == QLatin1String("leftover"))
            folder.writeFile("picture.kxd.kalmisave", "half of a save that was killed");
        if (situation == QLatin1String("link")) {
            written = folder.filePath("link.kxd");
            QVERIFY(QFile::link(target, written));
        }
        const QByteArray contents(300000, 'n');
        bool committed = false;
        QString error;
        {
            MSaveFile file(written);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(QFileInfo::exists(MSaveFile::temporaryPath(target)));
            std::unique_ptr<MTestFileSizeLimit> limit;
            if (situation == QLatin1String("full"))
                limit.reset(new MTestFileSizeLimit(100000));
            const bool whole = file.write(contents) == contents.size();
            limit.reset();
            if (situation == QLatin1String("cancel"))
                file.cancelWriting();
            else
                committed = whole && file.commit();
            error = file.errorString();
            QCOMPARE(file.hasError(), situation == QLatin1String("full"));
        }
        QCOMPARE(committed, saved);
        if (!reason.isEmpty())
            QCOMPARE(error, reason);
        QCOMPARE(folder.readFile("picture.kxd"), saved ? contents : QByteArray("old contents"));
        QStringList expected{QStringLiteral("picture.kxd")};
        if (situation == QLatin1String("link")) {
            expected.prepend(QStringLiteral("link.kxd"));
            QVERIFY(QFileInfo(written).isSymLink());
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::System, QDir::Name), expected);
    }

    // The program's own files replace a link in their place: the file it
    // named, wherever it is, stays as it was.
    void replacesALink()
    {
        MTestFolder folder;
        MTestFolder outside;
        const QString victim = outside.writeFile("victim.txt", "elsewhere");
        QVERIFY(QFile::setPermissions(victim, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                                  | QFileDevice::WriteOther));
        const QString linked = folder.filePath("palette.kxp");
        QVERIFY(QFile::link(victim, linked));
        MSaveFile file(linked, MSaveFile::ReplaceLink);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("own"), qint64(3));
        QVERIFY(file.commit());
        QCOMPARE(outside.readFile("victim.txt"), QByteArray("elsewhere"));
        QVERIFY(!QFileInfo(linked).isSymLink());
        QCOMPARE(folder.readFile("palette.kxp"), QByteArray("own"));
        // Nothing of the file it named is lent to the new one.
        QVERIFY(!QFile::permissions(linked).testFlag(QFileDevice::WriteOther));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::System), QStringList{"palette.kxp"});
    }

    void keepsThePermissions()
    {
        MTestFolder folder;
        const QString target = folder.writeFile("private.kxd", "old");
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        MSaveFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("new"), qint64(3));
        QVERIFY(file.commit());
        QCOMPARE(folder.readFile("private.kxd"), QByteArray("new"));
        const QFileDevice::Permissions permissions = QFile::permissions(target);
        QVERIFY(permissions.testFlag(QFileDevice::ReadOwner) && permissions.testFlag(QFileDevice::WriteOwner));
        QVERIFY(!(permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                                 | QFileDevice::WriteOther)));
    }

    void onlyForWriting()
    {
        MTestFolder folder;
        MSaveFile file(folder.filePath("a.kxd"));
        QVERIFY(!file.open(QIODevice::ReadWrite));
        QVERIFY(!QFileInfo::exists(folder.filePath("a.kxd.kalmisave")));
    }
};

QTEST_APPLESS_MAIN(TestMSaveFile)
#include "tst_msavefile.moc"

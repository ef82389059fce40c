// Document templates: their file, and the library that lists them by size.

#include "mdocumenttemplate.h"
#include "mdocumenttemplatelist.h"
#include "mfolders.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

namespace {
QByteArray templateFile(const QString &id, int width, int height)
{
    return QJsonDocument(QJsonObject{{"id", id}, {"width", width}, {"height", height}}).toJson();
}

QStringList sizes(const MDocumentTemplateList *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << QStringLiteral("%1x%2").arg(list->templateAt(row)->width()).arg(list->templateAt(row)->height());
    return texts;
}
} // namespace

class TestDocumentTemplateList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestFolder> folder;

    QString systemDir() const { return folder->path() + QStringLiteral("system/"); }
    QString userDir() const { return folder->path() + QStringLiteral("user/"); }

private slots:
    void initTestCase() { MLogger::instance(); }

    void init()
    {
        MSettings::instance()->clear();
        folder.reset(new MTestFolder);
        QVERIFY(QDir().mkpath(systemDir()));
        QVERIFY(QDir().mkpath(userDir()));
        QDir(MFolders::templatesDirectory(MFolders::UserPath)).removeRecursively();
    }

    void defaults()
    {
        MDocumentTemplate t;
        QVERIFY(MParamList::isItemId(t.id()));
        QCOMPARE(t.description(), QStringLiteral("Default 1000x1000 document"));
        QCOMPARE(QSize(t.width(), t.height()), QSize(1000, 1000));
        QCOMPARE(t.margin(), 20);
        QCOMPARE(t.autoExtent(), false);
        QCOMPARE(t.paperType(), 1);
        QCOMPARE(t.paperName(), QStringLiteral("paper-01.jpg"));
        QCOMPARE(t.paperColor(), QColor(Qt::white));
        QVERIFY(t.fileName().isEmpty());
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("autoExtent");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("outOfRange");

        // The settings give height 700 to files that lack one.
        QTest::newRow("fractional width") << QByteArray("{\"width\": 800.9}") << 800 << 700 << false
                                          << "800 x 700" << 0;
        QTest::newRow("not an object") << QByteArray("[1, 2]") << 900 << 700 << false << "900 x 700" << 0;
        QTest::newRow("auto extent as a number")
            << QByteArray("{\"width\": 10, \"height\": 20, \"autoExtent\": 1, \"description\": \"d\"}") << 10 << 20
            << false << "d" << 0;
        QTest::newRow("auto extent on") << QByteArray("{\"autoExtent\": true}") << 900 << 700 << true << "900 x 700"
                                        << 0;
        // Sides beyond what the dialog offers, or below one pixel, take the
        // defaults (logged) instead of becoming undefined ints.
        QTest::newRow("width beyond an int") << QByteArray("{\"width\": 8888888888}") << 900 << 700 << false
                                             << "900 x 700" << 1;
        QTest::newRow("height past the dialog's largest")
            << QByteArray("{\"width\": 10, \"height\": 1000001}") << 10 << 700 << false << "10 x 700" << 1;
        QTest::newRow("huge sides") << QByteArray("{\"width\": -1e300, \"height\": 1e300}") << 900 << 700 << false
                                    << "900 x 700" << 2;
        QTest::newRow("half a pixel, and the largest side")
            << QByteArray("{\"width\": 0.5, \"height\": 1000000}") << 900 << 1000000 << false << "900 x 1000000"
            << 1;
    }

    void reading()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, autoExtent);
        QFETCH(QString, description);
        QFETCH(int, outOfRange);
        MSettings::instance()->set_defaultWidth(900);
        MSettings::instance()->set_defaultHeight(700);
        const QString path = folder->writeFile(QStringLiteral("a.kxt"), json);
        MDocumentTemplate t;
        const MTestLogWatch log;
        QVERIFY(t.load(path));
        QCOMPARE(log.count(QStringLiteral("out of range")), outOfRange);
        QCOMPARE(t.fileName(), path);
        QCOMPARE(t.width(), width);
        QCOMPARE(t.height(), height);
        QCOMPARE(t.autoExtent(), autoExtent);
        QCOMPARE(t.description(), description);
        QVERIFY(MParamList::isItemId(t.id()));
        QCOMPARE(t.paperName(), QStringLiteral("paper-01.jpg"));
        QCOMPARE(t.paperColor(), QColor(Qt::white));
    }

    void missingFileLeavesTheTemplate()
    {
        MDocumentTemplate t;
        const QString id = t.id();
        QVERIFY(!t.load(folder->filePath(QStringLiteral("none.kxt"))));
        QCOMPARE(t.id(), id);
        QVERIFY(t.fileName().isEmpty());
    }

    // A new template lands in the user folder under its id, and stays there.
    void savingTwiceWritesOneFile()
    {
        MDocumentTemplate t;
        t.set_width(640);
        t.set_autoExtent(true);
        t.set_paperColor(QColor(10, 20, 30));
        QVERIFY(t.save());
        const QString first = t.fileName();
        QCOMPARE(first, MFolders::templatesDirectory(MFolders::UserPath) + t.id().toLower() + ".kxt");
        QFile file(first);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        QCOMPARE(json.keys().size(), 9);
        QVERIFY(json.value("autoExtent").isBool());
        QCOMPARE(json.value("paperColor").toString(), QStringLiteral("#0a141e"));
        t.set_width(641);
        QVERIFY(t.save());
        QCOMPARE(t.fileName(), first);
        QCOMPARE(QDir(MFolders::templatesDirectory(MFolders::UserPath)).entryList({"*.kxt"}).size(), 1);
        MDocumentTemplate back;
        QVERIFY(back.load(first));
        QCOMPARE(back.id(), t.id());
        QCOMPARE(back.width(), 641);
        QCOMPARE(back.paperColor(), QColor(10, 20, 30));
    }

    void saveFailsOnAnUnwritablePath()
    {
        MDocumentTemplate t;
        t.set_fileName(folder->path() + QStringLiteral("missing/folder/t.kxt"));
        QVERIFY(!t.save());
    }

    void emptyFoldersGiveOneDefaultTemplate()
    {
        MDocumentTemplateList list(systemDir(), userDir());
        QCOMPARE(list.count(), 1);
        MDocumentTemplate *t = list.templateAt(0);
        QCOMPARE(t->description(), QStringLiteral("Default 1000x1000 document"));
        QCOMPARE(QSize(t->width(), t->height()), QSize(1000, 1000));
        QVERIFY(t->fileName().isEmpty());
        QCOMPARE(list.currentRow(), 0);
        // Out of range rows read the library's default.
        QVERIFY(list.item(5));
    }

    void listedBySize()
    {
        const QString a = "{11111111-2222-4333-8444-555555555555}";
        const QString b = "{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}";
        const QString c = "{12345678-1234-4234-8234-123456789ABC}";
        folder->writeFile("system/" + a.toLower() + ".kxt", templateFile(a, 1920, 1080));
        folder->writeFile("system/" + b.toLower() + ".kxt", templateFile(b, 800, 1200));
        folder->writeFile("user/" + c.toLower() + ".kxt", templateFile(c, 800, 600));
        MDocumentTemplateList list(systemDir(), userDir());
        QCOMPARE(sizes(&list), QStringList({"800x600", "800x1200", "1920x1080"}));
        QCOMPARE(list.currentRow(), 0);
    }
};

QTEST_MAIN(TestDocumentTemplateList)
#include "tst_mdocumenttemplatelist.moc"

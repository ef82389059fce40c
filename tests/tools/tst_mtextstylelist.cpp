#include "mfield.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mtestlogwatch.h"
#include "mtestfolder.h"
#include "mtextstyle.h"
#include "mtextstylelist.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class TestMTextStyleList : public QObject
{
    Q_OBJECT

private slots:
    void styleDefaults()
    {
        MTextStyle style;
        QCOMPARE(style.id(), QStringLiteral("normal"));
        QCOMPARE(style.fontName(), QStringLiteral("Arial"));
        QCOMPARE(style.fontSize(), 12);
        QVERIFY(!style.fontBold() && !style.fontItalic() && !style.fontUnderline());
        QCOMPARE(style.fontColor(), QColor(Qt::black));
        QSignalSpy sized(&style, &MTextStyle::fontSizeChanged);
        style.set_fontSize(20);
        style.set_fontSize(20);
        QCOMPARE(sized.count(), 1);
    }

    void readFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("ids");
        QTest::newRow("missing file") << QByteArray() << QString();
        QTest::newRow("not JSON") << QByteArray("styles") << QString();
        QTest::newRow("object") << QByteArray("{\"id\": \"Title\"}") << QString();
        QTest::newRow("empty array") << QByteArray("[]") << QString();
        QTest::newRow("styles") << QByteArray("[{\"id\": \"Title\", \"fontSize\": 40, \"fontBold\": true}, " "{\"fontItalic\": true, \"fontColor\": \"#ff0000\", \"unknown\": 3}, " "{\"id\": \"TITLE\", \"fontName\": \"Serif\", \"fontUnderline\": true}]")
                                << QStringLiteral("Title,normal,TITLE");
    }

    void readFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, ids);
        MTestFolder folder;
        const QString path = content.isNull() ? folder.filePath(QStringLiteral("none.json"))
                                              : folder.writeFile(QStringLiteral("textstyles.json"), content);
        MTextStyleList list(path);
        QStringList read;
        for (int row = 0; row < list.rowCount(); ++row)
            read << list.styleAt(row)->id();
        QCOMPARE(read.join(QLatin1Char(',')), ids);
        QVERIFY(list.column("fontColor"));
        if (list.rowCount() == 0)
            return;
        QCOMPARE(list.currentRow(), 0);
        MTextStyle *title = list.styleAt(0);
        QCOMPARE(title->fontSize(), 40);
        QVERIFY(title->fontBold());
        QCOMPARE(title->fontName(), QStringLiteral("Arial"));
        QCOMPARE(title->fontColor(), QColor(Qt::black));
        MTextStyle *plain = list.styleAt(1);
        QVERIFY(plain->fontItalic());
        QCOMPARE(plain->fontColor(), QColor(Qt::red));
        // The first of two ids differing only in case keeps the index entry.
        QCOMPARE(list.style(QStringLiteral("title")), title);
        QCOMPARE(list.style(QStringLiteral("Normal")), plain);
    }

    // Removing a style whose id another style holds in the index leaves that
    // entry alone; removing the holder drops it.
    // Sizes beyond an int must not wrap into other sizes (8888888888 once
    // became a font of 298954296 points); what is in range reads as before.
    void outOfRangeSizesKeepTheDefault_data()
    {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<int>("read");
        QTest::addColumn<bool>("logged");
        QTest::newRow("8888888888") << QByteArray("8888888888") << 12 << true;
        QTest::newRow("-1e20") << QByteArray("-1e20") << 12 << true;
        QTest::newRow("1e300") << QByteArray("1e300") << 12 << true;
        QTest::newRow("largest int") << QByteArray("2147483647") << 2147483647 << false;
        QTest::newRow("fraction rounds") << QByteArray("12.7") << 13 << false;
        QTest::newRow("text") << QByteArray("\"30\"") << 30 << false;
    }

    void outOfRangeSizesKeepTheDefault()
    {
        QFETCH(QByteArray, size);
        QFETCH(int, read);
        QFETCH(bool, logged);
        MLogger::instance();
        const MTestLogWatch log;
        MTextStyleList list{QString()};
        QVERIFY(list.loadJsonData("[{\"id\": \"big\", \"fontSize\": " + size + "}]", QStringLiteral("styles")));
        QCOMPARE(list.styleAt(0)->id(), QStringLiteral("big"));
        QCOMPARE(list.styleAt(0)->fontSize(), read);
        QCOMPARE(log.count(QStringLiteral("fontSize")), logged ? 1 : 0);
    }

    void removal()
    {
        MTestFolder folder;
        MTextStyleList list(folder.writeFile(QStringLiteral("textstyles.json"),
                                             "[{\"id\": \"Title\"}, {\"id\": \"title\"}, {\"id\": \"body\"}]"));
        MTextStyle *first = list.styleAt(0);
        list.removeAt(1);
        QCOMPARE(list.style(QStringLiteral("title")), first);
        list.removeAt(0);
        QCOMPARE(list.style(QStringLiteral("title")), nullptr);
        QVERIFY(list.style(QStringLiteral("BODY")));
        list.clear();
        QCOMPARE(list.style(QStringLiteral("body")), nullptr);
    }

    // The singleton reads the documents folder's file.
    void documentsFolder()
    {
        QFile file(MFolders::userDocumentsPath() + QStringLiteral("textstyles.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"id\": \"Caption\", \"fontSize\": 9}]");
        file.close();
        MTextStyleList list;
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.style(QStringLiteral("caption"))->fontSize(), 9);
        QVERIFY(file.remove());
    }
};

QTEST_MAIN(TestMTextStyleList)
#include "tst_mtextstylelist.moc"

#include "mhelpwidget.h"
#include "msettings.h"
#include "mtool.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Tools named as the registry names pages: class name less its first letter.
class MPenTestTool : public MTool
{
    Q_OBJECT
public:
    MPenTestTool()
        : MTool(BrushTool)
    {
    }
};

class MBucketTestTool : public MTool
{
    Q_OBJECT
public:
    MBucketTestTool()
        : MTool(FillTool)
    {
    }
};

// The pages live in the help folder of a language made for this process, so
// the shipped pages and parallel runs are left alone.
class TestMHelpWidget : public QObject
{
    Q_OBJECT

private:
    QString m_folder;

    void writePage(const QString &name, const QString &body)
    {
        QFile file(m_folder + name + QStringLiteral(".html"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("<html><body><p>%1</p></body></html>").arg(body).toUtf8());
    }

    static QString shown(const MHelpWidget &panel) { return panel.toPlainText().trimmed(); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
        const QString language = QStringLiteral("test%1").arg(QCoreApplication::applicationPid());
        MSettings::instance()->set_userLangId(language);
        m_folder = MUtility::helpDirectory(language);
        QVERIFY(QDir().mkpath(m_folder));
        QCOMPARE(MUtility::helpPath(), m_folder);
    }

    void init()
    {
        writePage(QStringLiteral("brush"), QStringLiteral("Brush page"));
        writePage(QStringLiteral("fill"), QStringLiteral("Fill page"));
        writePage(QStringLiteral("pentesttool"), QStringLiteral("Pen tool page"));
    }

    void cleanupTestCase()
    {
        QDir(m_folder).removeRecursively();
        MSettings::destroyInstance();
    }

    void showPage_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("source");
        QTest::newRow("a page") << QStringList{"brush"} << "Brush page" << "brush";
        QTest::newRow("another page replaces it") << QStringList{"brush", "fill"} << "Fill page" << "fill";
        QTest::newRow("a missing page empties the panel") << QStringList{"brush", "nothing"} << "" << "";
        QTest::newRow("a blank name keeps the page") << QStringList{"brush", "   "} << "Brush page" << "brush";
        QTest::newRow("an empty name keeps the page") << QStringList{"brush", ""} << "Brush page" << "brush";
        QTest::newRow("the name is trimmed") << QStringList{" fill "} << "Fill page" << "fill";
        QTest::newRow("same page after a missing one")
            << QStringList{"brush", "nothing", "brush"} << "Brush page" << "brush";
        QTest::newRow("missing at first") << QStringList{"nothing"} << "" << "";
    }

    void showPage()
    {
        QFETCH(QStringList, pages);
        QFETCH(QString, text);
        QFETCH(QString, source);

        MHelpWidget panel;
        for (const QString &page : pages)
            panel.showPage(page);

        QCOMPARE(shown(panel), text);
        if (!source.isEmpty())
            QCOMPARE(panel.source(), QUrl::fromLocalFile(m_folder + source + QStringLiteral(".html")));
    }

    // A page edited since it was shown is read anew when shown again.
    void samePageIsReadAgain()
    {
        MHelpWidget panel;
        panel.showPage(QStringLiteral("brush"));
        writePage(QStringLiteral("brush"), QStringLiteral("Brush page, second edition"));
        panel.showPage(QStringLiteral("brush"));
        QCOMPARE(shown(panel), QStringLiteral("Brush page, second edition"));
    }

    void followsTheTool_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("text");
        // 0 no tool, 1 the pen tool (it has a page), 2 the bucket tool (none).
        QTest::newRow("tool with a page") << 0 << 1 << "Pen tool page";
        QTest::newRow("tool without a page clears the previous one") << 1 << 2 << "";
        QTest::newRow("no tool keeps the page") << 1 << 0 << "Pen tool page";
        QTest::newRow("back to a tool with a page") << 2 << 1 << "Pen tool page";
    }

    void followsTheTool()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, text);

        MPenTestTool pen;
        MBucketTestTool bucket;
        MTool *tools[] = {nullptr, &pen, &bucket};
        MHelpWidget panel;
        panel.onToolChanged(tools[first]);
        panel.onToolChanged(tools[second]);
        QCOMPARE(shown(panel), text);
    }
};

QTEST_MAIN(TestMHelpWidget)
#include "tst_mhelpwidget.moc"

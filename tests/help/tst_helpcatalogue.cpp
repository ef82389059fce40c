#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mtestfolder.h"
#include "mtesthelproot.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QApplication>

namespace {
const char *const freshCatalogue =
    "#: start.html\nmsgid \"Start\"\nmsgstr \"\"\n"
    "\n#: start.html\nmsgid \"Welcome\"\nmsgstr \"\"\n"
    "\n#: start.html\nmsgid \"Start here.\"\nmsgstr \"\"\n"
    "\n#: tools.html\nmsgid \"Tools\"\nmsgstr \"\"\n"
    "\n#: brush-tool.html\nmsgid \"Brush <tool> & co\"\nmsgstr \"\"\n"
    "\n#: pressure.html\nmsgid \"Pressure\"\nmsgstr \"\"\n"
    "\n#: pressure.html\nmsgid \"The harder the pen presses, the wider the stroke – en été aussi.\"\nmsgstr \"\"\n"
    "\n#: pressure.html\nmsgid \"<var name=\"Product\"> reads the pen</t> and <t>the tilt\"\nmsgstr \"\"\n"
    "\n#: eraser.html\nmsgid \"<var name=\"Product\"> eraser\"\nmsgstr \"\"\n"
    "\n#: about.html\nmsgid \"About\"\nmsgstr \"\"\n";
} // namespace

class TestHelpCatalogue : public QObject
{
    Q_OBJECT

private:
    MTestFolder m_folder;
    MHelpEngine m_engine;

    QString poFile() const { return QStringLiteral("translation/translation-en.po"); }

private slots:
    void init()
    {
        QVERIFY(MTestHelpRoot::copyTo(m_folder.path()));
        QFile::remove(m_folder.path() + poFile());
        m_engine.setHelpRoot(m_folder.path());
        m_engine.loadIndex();
        m_engine.variables().insert(QStringLiteral("Product"), QStringLiteral("KalmiDraw"));
        m_engine.rootItem()->child(1)->child(1)->set_title(QStringLiteral("$product$ eraser"));
    }

    void newCatalogueHoldsEveryTextOnce()
    {
        QVERIFY(m_engine.writePoFile(QStringLiteral("EN")));
        QCOMPARE(QString::fromUtf8(m_folder.readFile(poFile())), QString::fromUtf8(freshCatalogue));
        // Written again over itself, nothing changes.
        QVERIFY(m_engine.writePoFile(QStringLiteral("en")));
        QCOMPARE(QString::fromUtf8(m_folder.readFile(poFile())), QString::fromUtf8(freshCatalogue));
    }

    void mergeKeepsTranslationsOfUsedTexts()
    {
        m_folder.writeFile(poFile(),
                           "# Help of KalmiDraw\n"
                           "msgid \"\"\nmsgstr \"\"\n"
                           "\n#: old.html\nmsgid \"Gone\"\nmsgstr \"Parti\"\n"
                           "\n#: start.html\nmsgid \"Welcome\"\nmsgstr \"Bienvenue\"\n"
                           "\n#: pressure.html\n   msgid \"<var name=\"Product\"> reads the pen</t> and <t>the tilt\"   \n"
                           "msgstr \"<var name=\"Product\"> lit le \"stylet\"</t> et <t>l'inclinaison\"\n"
                           "#: start.html\nmsgid \"Welcome\"\nmsgstr \"Salut\"\n");
        QVERIFY(m_engine.writePoFile(QStringLiteral("en")));
        const QString expected = QString::fromUtf8(
            "# Help of KalmiDraw\n"
            "\n"
            "\n#: start.html\nmsgid \"Welcome\"\nmsgstr \"Bienvenue\"\n"
            "\n#: pressure.html\nmsgid \"<var name=\"Product\"> reads the pen</t> and <t>the tilt\"\n"
            "msgstr \"<var name=\"Product\"> lit le \"stylet\"</t> et <t>l'inclinaison\"\n"
            "\n#: start.html\nmsgid \"Start\"\nmsgstr \"\"\n"
            "\n#: start.html\nmsgid \"Start here.\"\nmsgstr \"\"\n"
            "\n#: tools.html\nmsgid \"Tools\"\nmsgstr \"\"\n"
            "\n#: brush-tool.html\nmsgid \"Brush <tool> & co\"\nmsgstr \"\"\n"
            "\n#: pressure.html\nmsgid \"Pressure\"\nmsgstr \"\"\n"
            "\n#: pressure.html\nmsgid \"The harder the pen presses, the wider the stroke – en été aussi.\"\nmsgstr \"\"\n"
            "\n#: eraser.html\nmsgid \"<var name=\"Product\"> eraser\"\nmsgstr \"\"\n"
            "\n#: about.html\nmsgid \"About\"\nmsgstr \"\"\n");
        QCOMPARE(QString::fromUtf8(m_folder.readFile(poFile())), expected);
    }

    void variablesSwitchForms_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("marked");
        QTest::newRow("any case") << "$PRODUCT$ and $Product$" << "<var name=\"Product\"> and <var name=\"Product\">";
        QTest::newRow("unknown variable kept") << "$Other$ stays" << "$Other$ stays";
        QTest::newRow("no variable") << "plain été" << "plain été";
    }

    void variablesSwitchForms()
    {
        QFETCH(QString, page);
        QFETCH(QString, marked);
        QCOMPARE(m_engine.textifyVars(page), marked);
        QCOMPARE(MHelpEngine::untextifyVars(marked), page.replace("$PRODUCT$", "$Product$"));
    }

    void translatedCopiesOfPages()
    {
        m_engine.loadIndex({QStringLiteral("Pressure $$ pressure")});
        m_folder.writeFile("fr.txt", "Pressure\n<p>Pressure</p>\nThe harder the pen presses, the wider the stroke – en été aussi.\n"
                                     "<var name=\"Product\"> reads the pen</t> and <t>the tilt\n");
        m_folder.writeFile("en.txt", "Pression\nPression\nPlus le stylet appuie, plus le trait est large.\n"
                                     "<var name=\"Product\"> lit le stylet</t> et <t>l'inclinaison\n");
        m_engine.translate(m_folder.filePath("fr.txt"), m_folder.filePath("en.txt"));
        QCOMPARE(QString::fromUtf8(m_folder.readFile("translation/pages/pressure.html")),
                 QString::fromUtf8("<h1><t>Pression</t></h1>\n<p><t>Plus le stylet appuie, plus le trait est large.</t></p>\n"
                                   "<p><t>$Product$ lit le stylet</t> et <t>l'inclinaison</t></p>\n"
                                   "<img src=\"images/pen.png\">\n"));
        // The sources are left as they were.
        QVERIFY(m_folder.readFile("source/en/pressure.html").startsWith("<h1><t>Pressure</t></h1>"));
    }

    void translationWithMissingLinesWarns()
    {
        m_engine.loadIndex({QStringLiteral("Pressure $$ pressure")});
        m_folder.writeFile("fr.txt", "Pressure\n");
        m_folder.writeFile("en.txt", "Pression\n");
        QString warning;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            warning = box->text();
            box->accept();
        });
        m_engine.translate(m_folder.filePath("fr.txt"), m_folder.filePath("en.txt"));
        QCOMPARE(warning, QString::fromUtf8("Le nombre d'éléments traduits est différent dans les 2 fichiers. extrait : 4, fr : 1, en : 1"));
        QCOMPARE(QString::fromUtf8(m_folder.readFile("translation/pages/pressure.html")).left(25),
                 QStringLiteral("<h1><t>Pression</t></h1>\n"));
    }

    void imagesOfThePages()
    {
        m_folder.writeFile("source/en/start.html", "<img  src = \"images/a.png\"><p>x</p>< img alt=\"none\">");
        QTest::ignoreMessage(QtDebugMsg, "mhelpengine::MHelpEngine::extractImages error extracting start alt=\"none\"");
        QCOMPARE(m_engine.extractImages(),
                 (QStringList{"start$$images/a.png", "pressure$$images/pen.png"}));
    }
};

QTEST_MAIN(TestHelpCatalogue)
#include "tst_helpcatalogue.moc"

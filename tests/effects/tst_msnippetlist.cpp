// Code fragments: their file, the library over the system and user folders,
// the filtering proxy, and the dialog that lists, edits and inserts them.

#include "dsnippet.h"
#include "mlogger.h"
#include "msnippet.h"
#include "msnippetlist.h"
#include "msnippetproxy.h"
#include "msnippetstream.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestmodaldriver.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
const QString kIdA = QStringLiteral("{11111111-2222-4333-8444-555555555555}");
const QString kIdB = QStringLiteral("{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}");
const QString kIdC = QStringLiteral("{12345678-1234-4234-8234-123456789ABC}");

QByteArray fragmentFile(const QString &id, const QString &description, const QString &source)
{
    QJsonObject json{{"id", id}, {"description", description}, {"source", QString::fromLatin1(source.toUtf8().toBase64())}};
    return QJsonDocument(json).toJson();
}

QStringList descriptions(const MSnippetList *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->snippetAt(row)->description();
    return texts;
}
} // namespace

class TestSnippetList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestFolder> folder;
    QString systemDir;
    QString userDir;

    // A library over fresh folders holding the files given, made the single one.
    MSnippetList *library(const QList<QPair<QString, QByteArray>> &systemFiles,
                          const QList<QPair<QString, QByteArray>> &userFiles = {})
    {
        MSnippetList::destroyInstance();
        folder.reset(new MTestFolder());
        systemDir = folder->path() + QStringLiteral("system/");
        userDir = folder->path() + QStringLiteral("user/");
        QDir().mkpath(systemDir);
        QDir().mkpath(userDir);
        for (const auto &file : systemFiles)
            folder->writeFile(QStringLiteral("system/") + file.first, file.second);
        for (const auto &file : userFiles)
            folder->writeFile(QStringLiteral("user/") + file.first, file.second);
        auto *list = new MSnippetList(systemDir, userDir);
        MSnippetList::setInstance(list);
        return list;
    }

    // A new library over the same folders, as at the next start.
    MSnippetList *reload()
    {
        MSnippetList::destroyInstance();
        auto *list = new MSnippetList(systemDir, userDir);
        MSnippetList::setInstance(list);
        return list;
    }

    QString fileName(const QString &id) { return id.toLower() + QStringLiteral(".kxn"); }

private slots:
    void cleanup() { MSnippetList::destroyInstance(); }

    void writeThenRead()
    {
        MTestFolder files;
        MSnippet written;
        written.set_description(QStringLiteral("  blur taps  "));
        written.set_source(QStringLiteral("// flou é ✓\nvec4 s = vec4(0.0);\n\tfor (int i = 0; i < 4; ++i) {}\n"));
        const QString path = files.filePath(QStringLiteral("f.kxn"));
        QVERIFY(MSnippetStream(&written).write(path));

        const QJsonObject json = QJsonDocument::fromJson(files.readFile(QStringLiteral("f.kxn"))).object();
        QCOMPARE(json.keys(), (QStringList{"description", "id", "source"}));
        QCOMPARE(json.value("description").toString(), QStringLiteral("blur taps"));
        QCOMPARE(json.value("id").toString(), written.id().toUpper());
        QVERIFY(!json.value("source").toString().contains(QLatin1Char('\n')));

        MSnippet read;
        QVERIFY(MSnippetStream(&read).read(path));
        QCOMPARE(read.id(), written.id());
        QCOMPARE(read.description(), QStringLiteral("blur taps"));
        QCOMPARE(read.source(), written.source());
        QCOMPARE(read.name(), QStringLiteral("empty snippet"));
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("this is no fragment");
        QTest::newRow("JSON array") << QByteArray("[1, 2]");
        QTest::newRow("truncated") << fragmentFile(kIdB, "b", "x").left(20);
    }
    void unreadableFiles()
    {
        // A broken file is logged and left out; the good one still loads.
        QFETCH(QByteArray, content);
        MTestLogWatch log;
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "good", "a")}, {fileName(kIdB), content}});
        QCOMPARE(descriptions(list), QStringList{"good"});
        QCOMPARE(log.count(QStringLiteral("System error: Unable to load snippet ") + systemDir + fileName(kIdB)), 1);
        QVERIFY(QFile::exists(systemDir + fileName(kIdB)));
    }

    void userFileWinsOverSystemFile()
    {
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "system", "s")},
                                      {fileName(kIdC), fragmentFile(kIdC, "other", "o")}},
                                     {{kIdA.toUpper() + QStringLiteral(".kxn"), fragmentFile(kIdA, "user", "u")}});
        QStringList shown = descriptions(list);
        shown.sort();
        QCOMPARE(shown, (QStringList{"other", "user"}));
        QCOMPARE(list->snippetAt(list->indexOf(list->findById(kIdA)))->source(), QStringLiteral("u"));
    }

    void idsAreBracedUuids()
    {
        // An id that is no braced UUID gives way to the file's.
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(QStringLiteral("../../evil"), "x", "x")}});
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->snippetAt(0)->id(), kIdA.toUpper());
        QVERIFY(MParamList::isItemId(MSnippet().id()));
    }

    void emptyFolders()
    {
        MTestLogWatch log;
        MSnippetList *list = library({});
        QCOMPARE(list->count(), 0);
        QCOMPARE(log.count(QStringLiteral("System error: Code fragments system and user directories are empty.")), 1);
        QCOMPARE(log.count(QStringLiteral("Code fragments loaded: 0 fragments")), 1);
    }

    void savedFragmentLoadsAgain()
    {
        MSnippetList *list = library({});
        auto *snippet = new MSnippet();
        snippet->set_description(QStringLiteral("mine"));
        snippet->set_source(QStringLiteral("a\nb"));
        list->append(snippet);
        QVERIFY(list->saveItem(snippet));
        QVERIFY(QFile::exists(userDir + snippet->id().toLower() + QStringLiteral(".kxn")));
        list = reload();
        QCOMPARE(descriptions(list), QStringList{"mine"});
        QCOMPARE(list->snippetAt(0)->source(), QStringLiteral("a\nb"));
    }

    void proxyFilter_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("word any case") << "*BLUR*" << QStringList{"Gaussian blur", "blur taps"};
        QTest::newRow("no match") << "*zzz*" << QStringList();
        QTest::newRow("everything") << "*" << QStringList{"Gaussian blur", "blur taps", "noise"};
        QTest::newRow("empty pattern") << "" << QStringList{"Gaussian blur", "blur taps", "noise"};
        // The source plays no part.
        QTest::newRow("source text") << "*vec4*" << QStringList();
    }
    void proxyFilter()
    {
        QFETCH(QString, pattern);
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "Gaussian blur", "vec4 a;")},
                                      {fileName(kIdB), fragmentFile(kIdB, "blur taps", "vec4 b;")},
                                      {fileName(kIdC), fragmentFile(kIdC, "noise", "vec4 c;")}});
        MSnippetProxy proxy;
        proxy.setSourceModel(list);
        proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        proxy.setFilterWildcard(pattern);
        QStringList shown;
        for (int row = 0; row < proxy.rowCount(); ++row)
            shown << list->snippetAt(proxy.mapToSource(proxy.index(row, 0)).row())->description();
        shown.sort();
        QTEST(shown, "shown");
    }

    // ---------------------------------------------------------------- the dialog

    void dialogAddsRemovesAndInserts()
    {
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "first", "vec4 a;")},
                                      {fileName(kIdB), fragmentFile(kIdB, "second", "vec4 b;")}});
        DSnippet dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        auto *editor = dialog.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"));

        bool added = false;
        MTestModalDriver::onNextDialog("QInputDialog", [](QDialog *input) {
            auto *edit = input->findChild<QLineEdit *>();
            QCOMPARE(edit->text(), QStringLiteral("new snippet"));
            MTestModalDriver::typeOver(edit, QStringLiteral("third"));
            QTest::keyClick(edit, Qt::Key_Return);
        }, &added);
        MTestModalDriver::click(dialog.findChild<QToolButton *>(QStringLiteral("addButton")));
        QVERIFY(added);
        QCOMPARE(list->count(), 3);
        MSnippet *third = list->snippetAt(2);
        QCOMPARE(third->description(), QStringLiteral("third"));
        QCOMPARE(dialog.currentSnippet(), third);
        QCOMPARE(editor->toPlainText(), QStringLiteral("// empty snippet"));
        QVERIFY(editor->isEnabled());
        const QString thirdFile = userDir + third->id().toLower() + QStringLiteral(".kxn");
        QVERIFY(QFile::exists(thirdFile));

        // Delete the new one, after saying yes.
        {
            MTestDialogScript script;
            script.answer(QMessageBox::Ok);
            MTestModalDriver::click(dialog.findChild<QToolButton *>(QStringLiteral("removeButton")));
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().at(0).text, QStringLiteral("Are you sure you want to delete the snippet third?"));
        }
        QCOMPARE(descriptions(list), (QStringList{"first", "second"}));
        QVERIFY(!QFile::exists(thirdFile));

        // Choose the second and insert it.
        view->setCurrentIndex(view->model()->index(1, list->itemMetaObject().indexOfProperty("description")));
        QCoreApplication::processEvents();
        QCOMPARE(editor->toPlainText(), QStringLiteral("vec4 b;"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("insertButton")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.text(), QStringLiteral("vec4 b;"));
    }

    void cancelledQuestionsChangeNothing()
    {
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "first", "vec4 a;")}});
        DSnippet dialog;
        dialog.show();
        MTestModalDriver::onNextDialog("QInputDialog", [](QDialog *input) { input->reject(); });
        MTestModalDriver::click(dialog.findChild<QToolButton *>(QStringLiteral("addButton")));
        MTestDialogScript script;
        script.answer(QMessageBox::Cancel);
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        view->setCurrentIndex(view->model()->index(0, 1));
        MTestModalDriver::click(dialog.findChild<QToolButton *>(QStringLiteral("removeButton")));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(descriptions(list), QStringList{"first"});
    }

    void insertWithoutSelectionKeepsTheDialogOpen()
    {
        library({{fileName(kIdA), fragmentFile(kIdA, "first", "vec4 a;")}});
        DSnippet dialog;
        dialog.show();
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        view->setCurrentIndex(QModelIndex());
        MTestDialogScript script;
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("insertButton")), Qt::LeftButton);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).text, QStringLiteral("Please select a valid snippet."));
        QVERIFY(dialog.isVisible());
    }

    void onlyEditedFragmentsAreWritten_data()
    {
        QTest::addColumn<QString>("leave"); // how the dialog is left
        QTest::newRow("close button") << "close";
        QTest::newRow("window closed") << "window";
        QTest::newRow("insert") << "insert";
    }
    void onlyEditedFragmentsAreWritten()
    {
        QFETCH(QString, leave);
        MSnippetList *shown = library({{fileName(kIdA), fragmentFile(kIdA, "first", "vec4 a;")},
                                       {fileName(kIdB), fragmentFile(kIdB, "second", "vec4 b;")},
                                       {fileName(kIdC), fragmentFile(kIdC, "third", "vec4 c;")}});
        const int second = shown->indexOf(shown->findById(kIdB));
        {
            DSnippet dialog;
            dialog.show();
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
            auto *editor = dialog.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"));
            // Look at all three, type into the second only.
            for (int row : {0, 1, 2, second}) {
                view->setCurrentIndex(view->model()->index(row, 1));
                QCoreApplication::processEvents();
            }
            QCOMPARE(editor->toPlainText(), QStringLiteral("vec4 b;"));
            editor->setFocus();
            editor->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor, QStringLiteral(" // mine"));
            view->setCurrentIndex(view->model()->index(0, 1));
            QCoreApplication::processEvents();
            if (leave == QLatin1String("close"))
                QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
            else if (leave == QLatin1String("window"))
                dialog.close();
            else
                QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("insertButton")), Qt::LeftButton);
        }
        QCOMPARE(QDir(userDir).entryList({"*.kxn"}), QStringList{fileName(kIdB)});
        MSnippetList *list = reload();
        QCOMPARE(list->snippetAt(list->indexOf(list->findById(kIdB)))->source(), QStringLiteral("vec4 b; // mine"));
    }

    void searchAndClear()
    {
        library({{fileName(kIdA), fragmentFile(kIdA, "Gaussian blur", "a")},
                 {fileName(kIdB), fragmentFile(kIdB, "noise", "b")}});
        DSnippet dialog;
        auto *search = dialog.findChild<QLineEdit *>(QStringLiteral("searchEdit"));
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        QTest::keyClicks(search, QStringLiteral("BLU"));
        QCOMPARE(view->model()->rowCount(), 1);
        search->clear();
        QCOMPARE(view->model()->rowCount(), 2);
    }

    void deletingTheLastFragment()
    {
        // A fragment only the system has comes back at the next start.
        MSnippetList *list = library({{fileName(kIdA), fragmentFile(kIdA, "only", "a")}});
        DSnippet dialog;
        dialog.show();
        auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        view->setCurrentIndex(view->model()->index(0, 1));
        QCoreApplication::processEvents();
        {
            MTestDialogScript script;
            script.answer(QMessageBox::Ok);
            MTestModalDriver::click(dialog.findChild<QToolButton *>(QStringLiteral("removeButton")));
        }
        QCOMPARE(list->count(), 0);
        QVERIFY(!dialog.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"))->isEnabled());
        QVERIFY(QFile::exists(systemDir + fileName(kIdA)));
        QCOMPARE(descriptions(reload()), QStringList{"only"});
    }
};

QTEST_MAIN(TestSnippetList)
#include "tst_msnippetlist.moc"

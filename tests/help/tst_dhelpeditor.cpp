#include "ddynadial.h"
#include "dhelpeditor.h"
#include "dhelpindexeditor.h"
#include "dtopiclink.h"
#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mintspinbox.h"
#include "mtestfolder.h"
#include "mtesthelproot.h"
#include "mtestmodaldriver.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

class TestDHelpEditor : public QObject
{
    Q_OBJECT

private:
    MTestFolder m_folder;
    MHelpEngine *m_engine = nullptr;
    DHelpEditor *m_editor = nullptr;

    QPlainTextEdit *textEdit() const { return m_editor->findChild<QPlainTextEdit *>(QStringLiteral("textEdit")); }

    void trigger(const QString &command)
    {
        auto *action = m_editor->findChild<QAction *>(QStringLiteral("action") + command);
        QVERIFY2(action, qPrintable(command));
        action->trigger();
    }

    void select(MHelpItem *item)
    {
        m_editor->findChild<QTreeView *>(QStringLiteral("treeView"))->setCurrentIndex(m_engine->indexOf(item));
    }

    MHelpItem *topic(const QString &id) const
    {
        for (MHelpItem *item : m_engine->allTopics()) {
            if (item->id() == id)
                return item;
        }
        return nullptr;
    }

    // The editor's text with a selection from start to end (no selection when equal).
    void setText(const QString &text, int start, int end)
    {
        textEdit()->setPlainText(text);
        QTextCursor cursor(textEdit()->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        textEdit()->setTextCursor(cursor);
    }

private slots:
    void init()
    {
        QVERIFY(MTestHelpRoot::copyTo(m_folder.path()));
        m_engine = new MHelpEngine;
        m_engine->setHelpRoot(m_folder.path());
        m_engine->loadIndex();
        m_editor = new DHelpEditor(m_engine);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor));
        select(topic("start"));
    }

    void cleanup()
    {
        delete m_editor;
        delete m_engine;
    }

    void textCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("result");
        const QString lines = "one\n two \n\nthree";
        QTest::newRow("list of the selected lines, empty ones kept")
            << "Insert_list" << lines << 0 << lines.size()
            << "<ul>\n\t<li><t>one</t></li>\n\t<li><t>two</t></li>\n\t<li><t></t></li>\n\t<li><t>three</t></li>\n</ul>\n";
        QTest::newRow("list without selection wraps the line") << "Insert_list" << "a\nitem\nb" << 3 << 3
                                                              << "a\n<ul>item</ul>\nb";
        QTest::newRow("heading on an empty selection wraps the current line")
            << "Header_2" << "first\nsecond line\nthird" << 9 << 9 << "first\n<h2><t>second line</t></h2>\nthird";
        QTest::newRow("paragraph of a selection") << "Normal" << "a word here" << 2 << 6 << "a <p><t>word</t></p> here";
        QTest::newRow("translatable mark") << "MakeTranslatable" << "x" << 0 << 1 << "<t>x</t>";
        QTest::newRow("list item") << "Insert_list_item" << "x" << 0 << 0 << "<li>x</li>";
        QTest::newRow("textify the whole document")
            << "Textify_selection" << "<p>a</p>\n<h1><t>b</t></h1>\n<li>c</li><p><t>d</p>\n<h3>e</t></h3><div>f</div>" << 0 << 0
            << "<p><t>a</t></p>\n<h1><t>b</t></h1>\n<li><t>c</t></li><p><t>d</t></p>\n<h3><t>e</t></h3><div>f</div>";
        QTest::newRow("textify leaves marked texts alone")
            << "Textify_selection" << "<p><t>a</t></p>" << 0 << 0 << "<p><t>a</t></p>";
        QTest::newRow("textify only the selection") << "Textify_selection" << "<p>a</p><p>b</p>" << 0 << 8
                                                    << "<p><t>a</t></p><p>b</p>";
        QTest::newRow("untextify the whole document")
            << "Untextify_selection" << "<p><t>a</t></p>\n<h1><t>b</t></h1>" << 0 << 0 << "<p>a</p>\n<h1>b</h1>";
        QTest::newRow("untextify only the selection")
            << "Untextify_selection" << "<p><t>a</t></p><p><t>b</t></p>" << 0 << 15 << "<p>a</p><p><t>b</t></p>";
        QTest::newRow("repeated blank lines") << "Delete_redondant_blank_lines" << "a\n\n\n  \nb\n\t\n\nc\n" << 0 << 0
                                              << "a\n\nb\n\t\nc\n";
        QTest::newRow("no blank lines") << "Delete_redondant_blank_lines" << "a\nb" << 1 << 1 << "a\nb";
        QTest::newRow("clear tags of the selection") << "Clear_tags" << "<p><t>a</t></p>\n<p>b</p>" << 0 << 15
                                                     << "a\n<p>b</p>";
        QTest::newRow("topic title at the cursor") << "Insert_topic_title" << "ab" << 1 << 1 << "aStartb";
    }

    void textCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, result);
        setText(text, start, end);
        trigger(command);
        QCOMPARE(textEdit()->toPlainText(), result);
        // One step of the editor's undo brings the text back.
        textEdit()->undo();
        QCOMPARE(textEdit()->toPlainText(), text);
    }

    void clipboardCommands()
    {
        const QString page = "<h1><t>Title</t></h1>\n<p>Body <b>bold</b></p>";
        setText(page, 0, page.size());
        trigger("Copy_text_only");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Title\nBody bold"));
        QGuiApplication::clipboard()->setText("first\n\n  \nsecond");
        setText("x", 1, 1);
        trigger("Paste_formatted");
        QCOMPARE(textEdit()->toPlainText(), QStringLiteral("x<p>first</p>\n<p>second</p>\n"));
    }

    void insertTable_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("result");
        QTest::newRow("two by two, as offered")
            << 0 << 0 << false << true
            << "before\n<table>\n\t<tr>\n\t\t<td></td>\n\t\t<td></td>\n\t</tr>\n\t<tr>\n\t\t<td></td>\n\t\t<td></td>\n\t</tr>\n"
               "</table>\nafter";
        QTest::newRow("compact rows") << 1 << 3 << true << true
                                      << "before\n<table>\n\t<tr><td></td><td></td><td></td></tr>\n</table>\nafter";
        QTest::newRow("cancelled") << 5 << 5 << true << false << "before\nafter";
    }

    void insertTable()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(bool, compact);
        QFETCH(bool, accept);
        QFETCH(QString, result);
        setText("before\nafter", 9, 9);
        bool done = false;
        MTestModalDriver::onNextDialog("DDynaDial", [&](QDialog *dialog) {
            auto *form = qobject_cast<DDynaDial *>(dialog);
            QTRY_VERIFY(form->editor("compact"));
            QCOMPARE(qobject_cast<MIntSpinBox *>(form->editor("rows"))->value(), 2);
            if (rows)
                qobject_cast<MIntSpinBox *>(form->editor("rows"))->set_value(rows);
            if (cols)
                qobject_cast<MIntSpinBox *>(form->editor("cols"))->set_value(cols);
            if (compact)
                MTestModalDriver::click(form->editor("compact"));
            QTest::mouseClick(dialog->findChild<QPushButton *>(accept ? "okBtn" : "cancelBtn"), Qt::LeftButton);
        }, &done);
        trigger("Insert_table");
        QVERIFY(done);
        QCOMPARE(textEdit()->toPlainText(), result);
    }

    void subTopicLinks()
    {
        select(topic("tools"));
        setText("<h1>Tools</h1>", 0, 0);
        MTestModalDriver::onNextDialog("DDynaDial", [](QDialog *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>("okBtn"), Qt::LeftButton);
        });
        trigger("Insert_topic_childs");
        QCOMPARE(textEdit()->toPlainText(),
                 QStringLiteral("<ul>\n<li><a href=\"brush-tool.html\"><t>Brush &lt;tool&gt; &amp; co</t></a></li>\n"
                                "<li><a href=\"eraser.html\"><t>Eraser</t></a></li>\n</ul>\n<h1>Tools</h1>"));
    }

    void switchingTopicSavesTheEditedOne()
    {
        select(topic("pressure"));
        QVERIFY(textEdit()->toPlainText().startsWith("<h1><t>Pressure</t></h1>"));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Edit topic Pressure"));
        setText("<p><t>Écrit à la main</t></p>", 0, 0);
        textEdit()->document()->setModified(true);
        select(topic("eraser"));
        QCOMPARE(m_folder.readFile("source/en/pressure.html"), QByteArray("<p><t>Écrit à la main</t></p>"));
        QVERIFY(m_folder.readFile("export/en/pressure.html").contains("<p><t>Écrit à la main</t></p>"));
        // A topic without a page starts from its title.
        QCOMPARE(textEdit()->toPlainText(), QStringLiteral("<h1>Eraser</h1>"));
        QVERIFY(!textEdit()->document()->isModified());
        // Unchanged, it is not written.
        select(topic("about"));
        QVERIFY(!QFile::exists(m_folder.path() + "source/en/eraser.html"));
    }

    void topicLeavingTheFolderIsNotSaved()
    {
        MHelpItem *about = topic("about");
        select(about);
        about->set_id("../../outside");
        setText("text", 0, 0);
        MTestModalDriver::onNextDialog("QMessageBox", [](QDialog *box) { box->accept(); });
        QVERIFY(!m_editor->saveTopic(about));
        QVERIFY(!QFile::exists(m_folder.path() + "outside.html"));
        QVERIFY(!QFile::exists(m_folder.path() + "source/outside.html"));
    }
    void editIndexReloadsTheTree_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }

    void editIndexReloadsTheTree()
    {
        QFETCH(bool, accept);
        select(topic("pressure"));
        const QByteArray before = m_folder.readFile("source/en/index.txt");
        const QString typed = "Première $$ first\nTools $$ tools\n\tPressure $$ pressure\n";
        MTestModalDriver::onNextDialog("DHelpIndexEditor", [&](QDialog *dialog) {
            auto *editor = qobject_cast<DHelpIndexEditor *>(dialog);
            QCOMPARE(editor->text().toUtf8(), before);
            QCOMPARE(editor->windowTitle(), QStringLiteral("Help index"));
            editor->setText(typed);
            QTest::mouseClick(dialog->findChild<QPushButton *>(accept ? "btnOk" : "btnCancel"), Qt::LeftButton);
        });
        trigger("Edit_index");
        if (!accept) {
            QCOMPARE(m_folder.readFile("source/en/index.txt"), before);
            QCOMPARE(m_engine->rowCount(), 3);
            return;
        }
        QCOMPARE(m_folder.readFile("source/en/index.txt"), typed.toUtf8());
        QCOMPARE(m_engine->rowCount(), 2);
        QCOMPARE(m_engine->rootItem()->child(0)->title(), QString("Première"));
        // The page being edited is still the one shown.
        QCOMPARE(m_editor->currentItem(), topic("pressure"));
        QVERIFY(textEdit()->toPlainText().startsWith("<h1><t>Pressure</t></h1>"));
    }

    void internalLink_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("result");
        QTest::newRow("the topic title as text") << 4 << 4 << "See <a href=\"brush-tool.html\"><t>Brush &lt;tool&gt; &amp; co</t></a> here";
        QTest::newRow("the selection as text") << 4 << 8 << "See <a href=\"brush-tool.html\"><t>here</t></a>";
    }

    void internalLink()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, result);
        setText(start == end ? "See  here" : "See here", start, end);
        MTestModalDriver::onNextDialog("DTopicLink", [this](QDialog *dialog) {
            auto *picker = qobject_cast<DTopicLink *>(dialog);
            auto *tree = dialog->findChild<QTreeView *>();
            // A cell of the id column picks its row's topic.
            tree->setCurrentIndex(tree->model()->index(0, 1, m_engine->indexOf(topic("tools"))));
            QCOMPARE(picker->selectedId(), QStringLiteral("BrushTool"));
            QCOMPARE(picker->selectedTitle(), QStringLiteral("Brush <tool> & co"));
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        trigger("Insert_internal_link");
        QCOMPARE(textEdit()->toPlainText(), result);
    }

    void findAndReplace()
    {
        setText("cat dog cat", 1, 1);
        trigger("Find");
        QCOMPARE(m_editor->findChild<QLineEdit *>("findEdit")->text(), QStringLiteral("cat"));
        QCOMPARE(textEdit()->textCursor().selectedText(), QStringLiteral("cat"));
        m_editor->findChild<QLineEdit *>("replaceEdit")->setText("cow");
        trigger("Replace_all");
        QCOMPARE(textEdit()->toPlainText(), QStringLiteral("cow dog cow"));
    }
    void imageFromTheClipboard_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("saved");
        QTest::newRow("wide image is fitted") << "shot" << QSize(1200, 600) << QSize(800, 400);
        QTest::newRow("small image kept, suffix kept") << "small.png" << QSize(300, 900) << QSize(300, 900);
    }

    void imageFromTheClipboard()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QSize, saved);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(image);
        setText("", 0, 0);
        MTestModalDriver::onNextDialog("QInputDialog", [&](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            QCOMPARE(input->textValue(), QStringLiteral("start-"));
            input->setTextValue(name);
            input->accept();
        });
        trigger("Insert_image_from_clipboard");
        const QString file = name.endsWith(".png") ? name : name + ".png";
        QCOMPARE(QImage(m_folder.path() + "source/en/images/" + file).size(), saved);
        QCOMPARE(textEdit()->toPlainText(), QStringLiteral("<img src=\"images/%1\">").arg(file));
        // Asked again for the same name, Cancel keeps the file as it was.
        QGuiApplication::clipboard()->setImage(QImage(10, 10, QImage::Format_RGB32));
        MTestModalDriver::onNextDialog("QInputDialog", [&](QDialog *dialog) {
            qobject_cast<QInputDialog *>(dialog)->setTextValue(name);
            MTestModalDriver::onNextDialog("QMessageBox", [](QDialog *box) {
                QCOMPARE(qobject_cast<QMessageBox *>(box)->text(), QStringLiteral("The file already exists. Continue?"));
                box->reject();
            });
            dialog->accept();
        });
        trigger("Insert_image_from_clipboard");
        QCOMPARE(QImage(m_folder.path() + "source/en/images/" + file).size(), saved);
    }
    void linksOutAndTopicCommands()
    {
        setText("our site", 4, 8);
        MTestModalDriver::onNextDialog("QInputDialog", [](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            QCOMPARE(input->textValue(), QStringLiteral("http://"));
            input->setTextValue("https://example.org/a?b=1&c=2");
            input->accept();
        });
        trigger("Insert_external_link");
        QCOMPARE(textEdit()->toPlainText(), QStringLiteral("our <a href=\"https://example.org/a?b=1&amp;c=2\"><t>site</t></a>"));

        select(topic("BrushTool"));
        trigger("Copy_topic_id");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("BrushTool"));

        QString message;
        MTestModalDriver::onNextDialog("QMessageBox", [&message](QDialog *box) {
            message = qobject_cast<QMessageBox *>(box)->text();
            box->accept();
        });
        trigger("Extract_texts");
        QCOMPARE(message, QStringLiteral("Traductions extraites !"));
        QVERIFY(m_folder.readFile("translation/translation-en.po").startsWith("#: start.html\nmsgid \"Start\"\n"));
    }
    // A catalogue that cannot be written (a folder holds its name) is
    // refused, and the box says why.
    void extractTextsRefusedSaysWhy()
    {
        const QString catalogue = m_folder.path() + "translation/translation-en.po";
        QFile::remove(catalogue);
        QVERIFY(QDir().mkpath(catalogue + "/inside"));
        QString message;
        MTestModalDriver::onNextDialog("QMessageBox", [&message](QDialog *box) {
            message = qobject_cast<QMessageBox *>(box)->text();
            box->accept();
        });
        trigger("Extract_texts");
        QVERIFY(QDir(catalogue).removeRecursively());
        QVERIFY2(message.startsWith(QStringLiteral("Unable to write the catalogue "))
                     && message.endsWith(QStringLiteral("translation-en.po.")),
                 qPrintable(message));
    }
};

QTEST_MAIN(TestDHelpEditor)
#include "tst_dhelpeditor.moc"

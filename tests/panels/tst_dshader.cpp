// The effect source editor window: the compile check on the GPU, saving and
// closing with their questions, read-only mode, templates and sections, code
// fragments and find.

#include "dshader.h"
#include "dtextureparam.h"
#include "meditor.h"
#include "mfolders.h"
#include "mlogger.h"
#include "msettings.h"
#include "mshader.h"
#include "msnippet.h"
#include "msnippetlist.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmodaldriver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTableView>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QOpenGLContext>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
const QString kGood = QStringLiteral("@params\n"
                                     "float amount = 0.5 \"amount\";\n"
                                     "@main\n"
                                     "vec4 c = texture(f_currentLayerTexture, v_texCoords0);\n"
                                     "f_color = vec4(c.rgb * amount, c.a);\n");
const QString kBadGlsl = QStringLiteral("@main\n"
                                        "vec4 c = texture(f_currentLayerTexture, v_texCoords0);\n"
                                        "f_color = c * undefinedThing;\n");
} // namespace

class TestShaderEditor : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<DShader> window;
    std::unique_ptr<MShader> shader;

    MEditor *editor() const { return window->findChild<MEditor *>(QStringLiteral("sourceEdit")); }
    QPlainTextEdit *console() const { return window->findChild<QPlainTextEdit *>(QStringLiteral("consoleEdit")); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    void open(const QString &source, int mode = DShader::Editable)
    {
        shader.reset(new MShader());
        shader->set_id(MParamList::newItemId());
        shader->set_description(QStringLiteral("test effect"));
        shader->set_source(source);
        window.reset(new DShader());
        window->setShader(shader.get());
        window->setMode(mode);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Types a line at the end of the source, from the keyboard.
    void typeLine(const QString &text)
    {
        editor()->setFocus();
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), text);
    }

    // Puts the editor's cursor at the start of the line holding the text.
    void cursorTo(const QString &text)
    {
        QTextCursor cursor = editor()->document()->find(text);
        QVERIFY(!cursor.isNull());
        cursor.movePosition(QTextCursor::StartOfBlock);
        editor()->setTextCursor(cursor);
    }

    bool compiles()
    {
        action("actionCompile")->trigger();
        return console()->toPlainText().endsWith(QStringLiteral("The effect was successfully compiled!"));
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        qRegisterMetaType<MShader *>();
    }
    void cleanup()
    {
        MUtility::setDialogHandler({});
        window.reset();
        shader.reset();
    }

    void compileCheck_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("good");
        QTest::newRow("good") << kGood << true;
        QTest::newRow("GLSL error") << kBadGlsl << false;
        QTest::newRow("parameter error") << "@params\nfloat = ;\n@main\nf_color = vec4(1.0);\n" << false;
    }
    void compileCheck()
    {
        QFETCH(QString, source);
        QFETCH(bool, good);
        open(source);
        action("actionCompile")->trigger();
        QVERIFY(window->findChild<QDockWidget *>(QStringLiteral("dockWidget"))->isVisible());
        const QString text = console()->toPlainText();
        QCOMPARE(text.endsWith(QStringLiteral("The effect was successfully compiled!")), good);
        QCOMPARE(text.endsWith(QStringLiteral("An error has occured during compilation.")), !good);
        // The check leaves no context current behind it.
        QVERIFY(!QOpenGLContext::currentContext());
    }

    void glslErrorShowsTheLineAndTheListing()
    {
        open(kBadGlsl);
        action("actionCompile")->trigger();
        const QStringList lines = console()->toPlainText().split(QLatin1Char('\n'));
        QVERIFY2(lines.value(0).startsWith(QStringLiteral("Error near line ")), qPrintable(lines.join('\n')));
        const int number = lines.value(0).mid(16).toInt();
        // The driver's line is that of the assembled program, shown in the listing.
        const QString listed = lines.filter(QRegularExpression(QStringLiteral("^%1: ").arg(number, 4, 10, QLatin1Char('0')))).value(0);
        QVERIFY2(listed.contains(QStringLiteral("undefinedThing")), qPrintable(listed));
        QCOMPARE(lines.value(1), QStringLiteral("f_color = c * undefinedThing;"));
        QVERIFY(lines.contains(QStringLiteral("GLSL Source code: ---------------->")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^0001: "))).size(), 1);
        // The output shows from its top.
        QCOMPARE(console()->textCursor().position(), 0);
    }

    void saveWritesAndTells_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("answer");   // to the question when the check fails; -1 none asked
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("compiled");
        QTest::newRow("good source") << kGood << -1 << true << true;
        QTest::newRow("bad source saved anyway") << kBadGlsl << 0 << true << false;
        QTest::newRow("bad source not saved") << kBadGlsl << 1 << false << false;
    }
    void saveWritesAndTells()
    {
        QFETCH(QString, source);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(bool, compiled);
        open(QStringLiteral("@main\n"));
        QSignalSpy modified(window.get(), &DShader::shaderModified);
        MTestDialogScript script;
        // Nothing changed: nothing to save.
        action("actionSave")->trigger();
        QCOMPARE(modified.count(), 0);
        QVERIFY(!QFile::exists(shader->fileName()));

        editor()->selectAll();
        editor()->insertPlainText(source);
        if (answer >= 0)
            script.answer(answer);
        action("actionSave")->trigger();
        QCOMPARE(script.requests().size(), answer >= 0 ? 1 : 0);
        if (answer >= 0)
            QCOMPARE(script.requests().at(0).text, QStringLiteral("An error occured during compilation."));
        QCOMPARE(modified.count(), saved ? 1 : 0);
        QCOMPARE(QFile::exists(shader->fileName()), saved);
        QCOMPARE(editor()->isModified(), !saved);
        QCOMPARE(shader->source(), saved ? source : QStringLiteral("@main\n"));
        if (saved) {
            QCOMPARE(modified.at(0).at(0).value<MShader *>(), shader.get());
            QCOMPARE(modified.at(0).at(1).toBool(), compiled);
            MShader read;
            QVERIFY(read.load(shader->fileName()));
            QCOMPARE(read.source(), source);
            QFile::remove(shader->fileName());
        }
    }

    void failedWriteIsNoSave()
    {
        open(QStringLiteral("@main\n"));
        shader->set_id(QStringLiteral("no/such"));
        QSignalSpy modified(window.get(), &DShader::shaderModified);
        MTestDialogScript script;
        typeLine(QStringLiteral("f_color = vec4(1.0);"));
        action("actionSave")->trigger();
        QCOMPARE(modified.count(), 0);
        QVERIFY(editor()->isModified());
        QCOMPARE(shader->source(), QStringLiteral("@main\n"));
        QCOMPARE(script.requests().size(), 1);
    }

    void closeAsks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");  // -1: no question expected
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("question");
        QTest::newRow("unmodified") << "" << -1 << true << false << "";
        QTest::newRow("save") << "f_color = vec4(1.0);" << 0 << true << true << "Save effect.";
        QTest::newRow("don't save") << "f_color = vec4(1.0);" << 1 << true << false << "Save effect.";
        QTest::newRow("cancel") << "f_color = vec4(1.0);" << 2 << false << false << "Save effect.";
        QTest::newRow("box closed") << "f_color = vec4(1.0);" << -2 << false << false << "Save effect.";
        QTest::newRow("bad source") << "f_color = nothing;" << 2 << false << false
                                    << "An error occured during compilation.";
    }
    void closeAsks()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        QFETCH(QString, question);
        open(QStringLiteral("@main\n"));
        QSignalSpy modified(window.get(), &DShader::shaderModified);
        if (!typed.isEmpty())
            typeLine(typed);
        const QString text = editor()->toPlainText();
        MTestDialogScript script;
        if (answer != -1)
            script.answer(answer == -2 ? -1 : answer);
        QCOMPARE(window->close(), closed);
        QCOMPARE(window->isVisible(), !closed);
        QCOMPARE(script.requests().size(), answer == -1 ? 0 : 1);
        if (answer != -1) {
            QCOMPARE(script.requests().at(0).text, question);
            QCOMPARE(script.requests().at(0).buttons, (QStringList{"Save", "Don't save", "Cancel"}));
        }
        QCOMPARE(modified.count(), saved ? 1 : 0);
        QCOMPARE(shader->source(), saved ? text : QStringLiteral("@main\n"));
        if (!closed)
            QCOMPARE(editor()->toPlainText(), text);
        QVERIFY(MSettings::instance()->contains(QStringLiteral("ShaderEditor/Geometry")));
        QFile::remove(shader->fileName());
    }

    void readOnlyBlocksEveryEdit()
    {
        open(QStringLiteral("@params\n@main\nf_color = vec4(1.0);\n"), DShader::ReadOnly);
        QCOMPARE(window->windowTitle(), QStringLiteral("test effect - read only"));
        const QString before = editor()->toPlainText();
        MTestDialogScript script;
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        editor()->setFocus();
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), QStringLiteral("typed"));
        QTest::keyClick(editor(), Qt::Key_Return);
        QTest::keyClick(editor(), Qt::Key_Backspace);
        editor()->selectAll();
        QTest::keyClick(editor(), Qt::Key_Tab);
        QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
        for (const char *name : {"actionPaste", "actionCut", "actionInsert_params_section",
                                 "actionInsert_functions_section", "actionInsert_options_section",
                                 "actionInsert_float_param", "actionInsert_bolean_param", "actionInsert_enum_param",
                                 "actionInsert_color_param", "actionInsert_2D_texture_param",
                                 "actionInsert_code_fragment", "actionReplace", "actionReplace_all", "actionSave"}) {
            QVERIFY2(!action(name)->isEnabled(), name);
            action(name)->trigger(); // a disabled action does nothing even when asked
        }
        // The slots refuse by themselves too, whatever reaches them.
        window->findChild<QLineEdit *>(QStringLiteral("searchEdit"))->setText(QStringLiteral("f_color"));
        window->findChild<QLineEdit *>(QStringLiteral("replaceEdit"))->setText(QStringLiteral("x"));
        for (const char *button : {"btnReplace", "btnReplaceAll"})
            QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        for (const char *slot : {"insertFloat", "insertBool", "insertEnum", "insertColor", "insertTexture",
                                 "insertParamsSection", "insertFunctionsSection", "insertCodeFragment",
                                 "on_actionInsert_options_section_triggered", "save"})
            QVERIFY(QMetaObject::invokeMethod(window.get(), slot));
        QCOMPARE(editor()->toPlainText(), before);
        QVERIFY(!editor()->isModified());
        QVERIFY(window->close());
        QCOMPARE(script.requests().size(), 0);
        QVERIFY(!QFile::exists(shader->fileName()));
    }

    void templatesCompile_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("float") << "actionInsert_float_param"
                               << "float varName = 0.0 \"description\" min = 0.0 max = 1.0 increment = 0.01;";
        QTest::newRow("bool") << "actionInsert_bolean_param" << "bool varName = false \"description\";";
        QTest::newRow("enum") << "actionInsert_enum_param" << "enum varName = 0 \"description\" enum values =";
        QTest::newRow("color") << "actionInsert_color_param" << "color varName = rgb(255, 255, 255) \"description\";";
        QTest::newRow("texture") << "actionInsert_2D_texture_param" << "texture varName \"";
    }
    void templatesCompile()
    {
        QFETCH(QString, actionName);
        QFETCH(QString, firstLine);
        MTestFolder folder;
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const QString imagePath = folder.filePath(QStringLiteral("grain.png"));
        QVERIFY(image.save(imagePath));
        open(QStringLiteral("@params\nfloat a = 1.0 \"a\";\n@main\nf_color = vec4(a);\n"));
        cursorTo(QStringLiteral("float a"));
        if (actionName.contains(QLatin1String("texture"))) {
            MTestModalDriver::onNextDialog("DTextureParam", [&](QDialog *dialog) {
                dialog->findChild<QLineEdit *>(QStringLiteral("nameEdit"))->setText(QStringLiteral("varName"));
                dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(imagePath);
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("okBtn")), Qt::LeftButton);
            });
        }
        action(actionName.toLatin1().constData())->trigger();
        const QStringList lines = editor()->toPlainText().split(QLatin1Char('\n'));
        // A line of its own above the cursor's line.
        QCOMPARE(lines.value(0), QStringLiteral("@params"));
        QVERIFY2(lines.value(1).startsWith(firstLine), qPrintable(lines.value(1)));
        QVERIFY(lines.contains(QStringLiteral("float a = 1.0 \"a\";")));
        QVERIFY2(compiles(), qPrintable(console()->toPlainText()));
        QVERIFY(!console()->toPlainText().contains(QStringLiteral("warning!")));
        QVERIFY(editor()->isModified());
    }

    void sections_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("cursorLine"); // the cursor starts at this line's start
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("selected");
        QTest::newRow("params found ahead") << "x\n@params\n@main" << "x" << "actionInsert_params_section"
                                            << "x\n@params\n@main" << "@params";
        QTest::newRow("params behind the cursor") << "@params\nx\n@main" << "x" << "actionInsert_params_section"
                                                  << "@params\n@params\nx\n@main" << "";
        QTest::newRow("options case-insensitive") << "x\n@OPTIONS" << "x" << "actionInsert_options_section"
                                                  << "x\n@OPTIONS" << "@OPTIONS";
        QTest::newRow("functions above main") << "@params\nx\n@main\ny" << "x" << "actionInsert_functions_section"
                                              << "@params\nx\n@functions\n@main\ny" << "";
        QTest::newRow("functions found") << "x\n@functions\n@main" << "x" << "actionInsert_functions_section"
                                         << "x\n@functions\n@main" << "@functions";
        QTest::newRow("functions without main") << "x\ny" << "x" << "actionInsert_functions_section" << "x\ny" << "";
    }
    void sections()
    {
        QFETCH(QString, source);
        QFETCH(QString, cursorLine);
        QFETCH(QString, actionName);
        open(source);
        cursorTo(cursorLine);
        action(actionName.toLatin1().constData())->trigger();
        QTEST(editor()->toPlainText(), "expected");
        QTEST(editor()->textCursor().selectedText(), "selected");
    }

    void fontSizeSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("increase");
        QTest::addColumn<int>("size");
        QTest::newRow("up") << 11 << true << 12;
        QTest::newRow("down") << 11 << false << 10;
        QTest::newRow("at the top") << 70 << true << 70;
        QTest::newRow("at the bottom") << 5 << false << 5;
    }
    void fontSizeSteps()
    {
        QFETCH(int, start);
        QFETCH(bool, increase);
        QFETCH(int, size);
        open(QStringLiteral("@main\n"));
        QCOMPARE(qApp->devicePixelRatio(), 1.0);
        QFont font = editor()->font();
        font.setPointSize(start);
        editor()->setFont(font);
        MSettings::instance()->set_editorFontSize(3);
        QAction *step = action(increase ? "actionIncrease_font_size" : "actionDecrease_font_size");
        step->trigger();
        QCOMPARE(editor()->font().pointSize(), size);
        QCOMPARE(MSettings::instance()->editorFontSize(), size);
        // Each step moves by one point only.
        step->trigger();
        QCOMPARE(editor()->font().pointSize(), qBound(5, size + (increase ? 1 : -1), 70));
    }

    void selectAllAndFind()
    {
        open(QStringLiteral("vec4 a;\nvec4 b;\n"));
        action("actionSelect_all")->trigger();
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("vec4 a;\u2029vec4 b;\u2029"));
        QVERIFY(action("actionCopy")->isEnabled());

        cursorTo(QStringLiteral("vec4 b"));
        action("actionFind")->trigger();
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("searchEdit"))->text(), QStringLiteral("vec4"));
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("vec4"));
        const int found = editor()->textCursor().selectionStart();
        action("actionFind_next")->trigger();
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("vec4"));
        QVERIFY(editor()->textCursor().selectionStart() != found);
    }

    void addCodeFragment_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("source");
        QTest::newRow("two lines") << 0 << 15 << "vec4 a;\nvec4 b;";
        QTest::newRow("no selection") << 3 << 3 << "";
    }
    void addCodeFragment()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        MTestFolder folder;
        MSnippetList::destroyInstance();
        MSnippetList::setInstance(new MSnippetList(folder.path() + "system", folder.path() + "user"));
        open(QStringLiteral("vec4 a;\nvec4 b;\n"), DShader::ReadOnly);
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
        MTestModalDriver::onNextDialog("QInputDialog", [](QDialog *input) {
            QTest::keyClicks(input->findChild<QLineEdit *>(), QStringLiteral("two vectors"));
            QTest::keyClick(input->findChild<QLineEdit *>(), Qt::Key_Return);
        });
        action("actionAdd_code_fragment")->trigger();
        MSnippetList *list = MSnippetList::instance();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->snippetAt(0)->description(), QStringLiteral("two vectors"));
        QTEST(list->snippetAt(0)->source(), "source");
        MSnippetList::destroyInstance();
        // Read back from its file.
        MSnippetList::setInstance(new MSnippetList(folder.path() + "system", folder.path() + "user"));
        QTEST(MSnippetList::instance()->snippetAt(0)->source(), "source");
        MSnippetList::destroyInstance();
    }

    void shippedFragmentsInsertAndCompile_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("section"); // where the fragment goes
        QTest::newRow("blur") << "3x3 box blur of the current layer" << "@main";
        QTest::newRow("hash") << "pseudo-random number from a position" << "@functions";
        QTest::newRow("hsv to rgb") << "hsv to rgb conversion" << "@functions";
        QTest::newRow("luminance") << "luminance of a colour" << "@functions";
        QTest::newRow("rgb to hsv") << "rgb to hsv conversion" << "@functions";
    }
    void shippedFragmentsInsertAndCompile()
    {
        QFETCH(QString, description);
        QFETCH(QString, section);
        MSnippetList::destroyInstance();
        QCOMPARE(MSnippetList::instance()->count(), 5);
        open(QStringLiteral("@functions\n@main\nf_color = texture(f_currentLayerTexture, v_texCoords0);\n"));
        cursorTo(section == QLatin1String("@main") ? QStringLiteral("f_color") : QStringLiteral("@main"));
        QString inserted;
        bool chosen = false;
        MTestModalDriver::onNextDialog("DSnippet", [&](QDialog *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("searchEdit")), description);
            auto *view = dialog->findChild<QTableView *>(QStringLiteral("tableView"));
            QCOMPARE(view->model()->rowCount(), 1);
            view->setCurrentIndex(view->model()->index(0, 1));
            QCoreApplication::processEvents();
            inserted = dialog->findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"))->toPlainText();
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("insertButton")), Qt::LeftButton);
        }, &chosen);
        // Asked for from the editor's keyboard.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        editor()->setFocus();
        QTest::keyClick(editor(), Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(chosen);
        QVERIFY(!inserted.isEmpty());
        QVERIFY2(editor()->toPlainText().contains(inserted + QLatin1Char('\n')), qPrintable(editor()->toPlainText()));
        QVERIFY2(compiles(), qPrintable(console()->toPlainText()));
        // Only looked at: the shipped file is not copied to the user folder.
        QVERIFY(QDir(MFolders::snippetsDirectory(MFolders::UserPath)).entryList({"*.kxn"}).isEmpty());
        MSnippetList::destroyInstance();
    }

    void copyFormattedPutsHtml()
    {
        open(QStringLiteral("vec4 a; // note\n"));
        action("actionCopyFormatted")->trigger();
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasHtml());
        QVERIFY(data->html().contains(QStringLiteral("// note")));
        QVERIFY(data->html().contains(QStringLiteral("#008000")));
    }
};

QTEST_MAIN(TestShaderEditor)
#include "tst_dshader.moc"

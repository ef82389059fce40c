// The effect and brush-engine commands of the real window, on libraries of
// temporary system and user folders: engines set, reset and deleted (with
// the brushes that use them rewritten), the in-use check before an effect is
// edited or removed, system effects opened read-only, effect files imported.

#include "dshader.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettingswidget.h"
#include "mcanvas.h"
#include "mfieldpanel.h"
#include "mmainwindow.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestdialogscript.h"
#include "mtesteffectlist.h"
#include "mtestfilesizelimit.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {
QString newId()
{
    return MParamList::newItemId();
}

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray effectJson(const QString &id, int type, const QString &description,
                      const QByteArray &source = QByteArray("@main\nf_color = vec4(1.0);\n"))
{
    return QJsonDocument(QJsonObject{{"id", id},
                                     {"group", "tests"},
                                     {"description", description},
                                     {"source", QString::fromLatin1(source.toBase64())},
                                     {"type", type}})
        .toJson();
}

// Picks the row showing the description in the brush engine chooser and
// presses Ok, once the command opens it.
void chooseEngineWhenAsked(const QString &description)
{
    MTestModalDriver::onNextDialog("DBrushEngine", [description](QDialog *dialog) {
        auto *view = dialog->findChild<QTableView *>(QStringLiteral("tableView"));
        view->setCurrentIndex(MTestEffectList::cellOf(view, description));
        dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    });
}
} // namespace

class TestEffectCommands : public QObject
{
    Q_OBJECT

private:
    MTestFolder root;
    std::unique_ptr<MMainWindow> window;
    QString systemEngineId = newId();
    QString systemEffectId = newId();

    QString folder(const char *kind, const char *location) const
    {
        return root.filePath(QStringLiteral("%1/%2").arg(QLatin1String(kind), QLatin1String(location)));
    }
    MShaderList *effects() const { return MShaderList::instance(); }
    MBrushList *brushes() const { return MBrushList::instance(); }
    MCanvas *canvas() const { return window->view()->canvas(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    // A user effect or engine, saved and in the library.
    MShader *addShader(int type, const QString &description)
    {
        auto *shader = new MShader();
        shader->reset();
        shader->set_type(type);
        shader->set_group(QStringLiteral("tests"));
        shader->set_description(description);
        shader->set_source(QStringLiteral("@params\nfloat amount = 0.5 'Amount' min = 0 max = 1;\n"
                                          "@main\nf_color = vec4(amount);\n"));
        shader->save();
        effects()->append(shader);
        return shader;
    }

    MBrush *addBrush(const QString &description, const QString &engineId)
    {
        MBrush *brush = brushes()->createBrushNamed(QStringLiteral("tests"), description);
        brush->set_shaderId(engineId);
        brush->save();
        return brush;
    }

    void chooseEffect(MShader *shader)
    {
        effects()->setCurrentRow(effects()->rowOfId(shader->id()));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        for (const char *kind : {"shaders", "brushes"})
            for (const char *location : {"system", "user"})
                QDir().mkpath(folder(kind, location));
        root.writeFile(QStringLiteral("shaders/system/") + systemEngineId.toLower() + ".kxs",
                       effectJson(systemEngineId, MShader::BrushShader, "system engine"));
        root.writeFile(QStringLiteral("shaders/system/") + systemEffectId.toLower() + ".kxs",
                       effectJson(systemEffectId, MShader::EffectShader, "system effect"));
        QVERIFY(MTestMainWindow::prepare(QSize(200, 100)));
        MShaderList::destroyInstance();
        MShaderList::setInstance(new MShaderList(folder("shaders", "system"), folder("shaders", "user")));
        MBrushList::destroyInstance();
        MBrushList::setInstance(new MBrushList(folder("brushes", "system"), folder("brushes", "user")));
        window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(window.get(), QSize(900, 600)));
    }

    void cleanupTestCase()
    {
        window.reset();
        MShaderList::destroyInstance();
        MBrushList::destroyInstance();
    }

    void commandsAreReachable()
    {
        for (const char *name :
             {"actionEdit_layer_effect_settings", "actionPreviewShader", "actionShowHideShaderPreview",
              "actionRemoveShaderPreview", "actionRasterizeShader", "actionRename_effect", "actionImport_effect",
              "actionNewShader", "actionDuplicateShader", "actionEditShader", "actionRemoveShader",
              "actionSet_effect_thumbnail", "actionNew_brush_engine", "actionEdit_brush_engine",
              "actionDuplicate_brush_engine", "actionSet_brush_engine", "actionReset_brush_engine",
              "actionDelete_brush_engine", "actionRename_brush_engine"})
            QVERIFY2(!MMainWindow::pendingCommands().contains(QLatin1String(name)), name);
    }

    void engineCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("systemEngine");
        QTest::addColumn<int>("users");      // brushes using the engine before
        QTest::addColumn<bool>("fullDisk");  // brush files cannot be written
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("engineKept");
        QTest::addColumn<bool>("brushesUseIt"); // afterwards, in memory and on disk
        QTest::newRow("set") << "actionSet_brush_engine" << false << 0 << false << QString()
                             << "Brush engine engine set assigned to brush." << true << true;
        QTest::newRow("reset") << "actionReset_brush_engine" << false << 1 << false << QString()
                               << "Brush engine reset." << true << false;
        QTest::newRow("delete, unused") << "actionDelete_brush_engine" << false << 0 << false
                                        << "Are you sure you want to delete the brush engine?"
                                        << "Brush engine deleted." << false << false;
        QTest::newRow("delete rewrites its brushes")
            << "actionDelete_brush_engine" << false << 2 << false
            << "Are you sure you want to delete the brush engine (2 brush(es) using this engine)?"
            << "Brush engine deleted." << false << false;
        QTest::newRow("delete, a brush cannot be saved")
            << "actionDelete_brush_engine" << false << 1 << true
            << "Are you sure you want to delete the brush engine (1 brush(es) using this engine)?"
            << "Brush engine deleted." << false << false;
        QTest::newRow("a system engine is kept") << "actionDelete_brush_engine" << true << 1 << false << QString()
                                                 << "You can't delete a system brush engine." << true << true;
    }
    void engineCommands()
    {
        QFETCH(QString, command);
        QFETCH(bool, systemEngine);
        QFETCH(int, users);
        QFETCH(bool, fullDisk);
        QFETCH(QString, question);
        QFETCH(QString, message);
        QFETCH(bool, engineKept);
        QFETCH(bool, brushesUseIt);
        const QString engineName = QStringLiteral("engine %1").arg(QLatin1String(QTest::currentDataTag()));
        MShader *engine = systemEngine ? effects()->find(systemEngineId) : addShader(MShader::BrushShader, engineName);
        QVERIFY(engine);
        const QString engineId = engine->id();
        const QString engineFile = engine->fileName();
        QList<MBrush *> subjects;
        for (int i = 0; i < qMax(users, 1); ++i)
            subjects << addBrush(QStringLiteral("%1 brush %2").arg(QLatin1String(QTest::currentDataTag())).arg(i),
                                 i < users ? engineId : QString());
        brushes()->setCurrentRow(brushes()->indexOfBrushId(subjects.first()->id()));
        if (command != QLatin1String("actionReset_brush_engine"))
            chooseEngineWhenAsked(systemEngine ? QStringLiteral("system engine") : engineName);

        MTestDialogScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        {
            std::unique_ptr<MTestFileSizeLimit> limit;
            if (fullDisk) {
                limit.reset(new MTestFileSizeLimit(64));
                QVERIFY(limit->isActive());
            }
            action(command.toLatin1().constData())->trigger();
        }
        QStringList texts;
        for (const auto &request : script.requests())
            texts << request.text;
        const QStringList expected = question.isEmpty() ? QStringList{message} : QStringList{question, message};
        QCOMPARE(texts, expected);
        if (fullDisk)
            QVERIFY(script.requests().last().informativeText.contains(subjects.first()->description()));

        QCOMPARE(bool(effects()->find(engineId)), engineKept);
        if (!systemEngine)
            QCOMPARE(QFileInfo::exists(engineFile), engineKept);
        for (MBrush *brush : subjects) {
            if (!users && command != QLatin1String("actionSet_brush_engine"))
                continue;
            QCOMPARE(brush->shaderId(), brushesUseIt ? engineId : QString());
            if (!fullDisk && !systemEngine)
                QCOMPARE(readJson(brush->userFilePath()).value("shaderId").toString(),
                         brushesUseIt ? engineId : QString());
        }
        // The brush menu and the settings dock follow the current brush.
        MBrush *current = brushes()->currentBrush();
        QCOMPARE(action("actionReset_brush_engine")->isEnabled(), !current->shaderId().isEmpty());
        MFieldPanel *dock = window->brushSettingsWidget()->fieldPanel();
        if (current->shaderId().isEmpty())
            QCOMPARE(dock->object(), current);
        else if (!systemEngine) // the engine's own parameters come first
            QVERIFY(dock->editor("amount"));
        if (fullDisk) {
            // The file that could not be rewritten still names the engine,
            // and still loads, without it.
            QCOMPARE(readJson(subjects.first()->userFilePath()).value("shaderId").toString(), engineId);
            MBrushList reread(folder("brushes", "system"), folder("brushes", "user"));
            const int row = reread.indexOfBrushId(subjects.first()->id());
            QVERIFY(row >= 0);
            QCOMPARE(reread.brush(row)->shaderId(), QString());
        }
    }

    // Setting or resetting an engine that cannot be written says so, not that it worked.
    void engineChangeNotSaved_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("set") << "actionSet_brush_engine";
        QTest::newRow("reset") << "actionReset_brush_engine";
    }
    void engineChangeNotSaved()
    {
        QFETCH(QString, command);
        const QString engineName = QStringLiteral("unsaved %1").arg(QLatin1String(QTest::currentDataTag()));
        MShader *engine = addShader(MShader::BrushShader, engineName);
        const QString engineId = engine->id();
        const QString description = engineName + QStringLiteral(" brush");
        MBrush *brush = addBrush(description, command == QLatin1String("actionReset_brush_engine") ? engineId : QString());
        const QString before = readJson(brush->userFilePath()).value("shaderId").toString();
        brushes()->setCurrentRow(brushes()->indexOfBrushId(brush->id()));
        if (command == QLatin1String("actionSet_brush_engine"))
            chooseEngineWhenAsked(engineName);
        MTestDialogScript script;
        script.answer(QMessageBox::Ok);
        {
            MTestFileSizeLimit limit(64);
            QVERIFY(limit.isActive());
            action(command.toLatin1().constData())->trigger();
        }
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QCOMPARE(script.requests().first().text,
                 QStringLiteral("Unable to save the brush %1/%2.").arg(QStringLiteral("tests"), description));
        QCOMPARE(readJson(brush->userFilePath()).value("shaderId").toString(), before);
    }

    void inUseCheck_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer"); // 0 Remove, 1 Cancel
        QTest::addColumn<bool>("layersCleared");
        QTest::newRow("edit, remove it first") << "actionEditShader" << 0 << true;
        QTest::newRow("edit, cancelled") << "actionEditShader" << 1 << false;
        QTest::newRow("remove, remove it first") << "actionRemoveShader" << 0 << true;
        QTest::newRow("remove, cancelled") << "actionRemoveShader" << 1 << false;
    }
    void inUseCheck()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(bool, layersCleared);
        MShader *effect = addShader(MShader::EffectShader, QStringLiteral("in use %1").arg(QTest::currentDataTag()));
        const QString id = effect->id();
        canvas()->appendLayer();
        canvas()->appendLayer();
        const int count = canvas()->count();
        for (int row : {count - 1, count - 3})
            canvas()->at(row)->set_shaderId(id);
        chooseEffect(effect);

        MTestDialogScript script;
        script.answer(answer).answer(1); // then confirms the removal
        action(command.toLatin1().constData())->trigger();
        QCOMPARE(script.requests().value(0).text,
                 QStringLiteral("The effect is in use in the canvas. You can't delete or edit an active effect."));
        for (int row : {count - 1, count - 3})
            QCOMPARE(canvas()->at(row)->shaderId(), layersCleared ? QString() : id);
        DShader *editor = window->shaderEditor();
        if (command == QLatin1String("actionEditShader")) {
            QCOMPARE(editor && editor->isVisible(), layersCleared);
            if (layersCleared) {
                QCOMPARE(editor->shader(), effect);
                QCOMPARE(editor->mode(), int(DShader::Editable));
                editor->close();
            }
        } else {
            QCOMPARE(bool(effects()->find(id)), !layersCleared);
        }
    }

    void systemEffectOpensReadOnly_data()
    {
        QTest::addColumn<bool>("system");
        QTest::addColumn<int>("answer"); // 0 View, 1 Cancel
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("mode");
        QTest::newRow("system, view") << true << 0 << true << int(DShader::ReadOnly);
        QTest::newRow("system, cancel") << true << 1 << false << 0;
        QTest::newRow("user effect: no question") << false << -1 << true << int(DShader::Editable);
    }
    void systemEffectOpensReadOnly()
    {
        QFETCH(bool, system);
        QFETCH(int, answer);
        QFETCH(bool, shown);
        QFETCH(int, mode);
        if (window->shaderEditor())
            window->shaderEditor()->close();
        chooseEffect(system ? effects()->find(systemEffectId) : addShader(MShader::EffectShader, "editable"));
        MTestDialogScript script;
        if (answer >= 0)
            script.answer(answer);
        action("actionEditShader")->trigger();
        QCOMPARE(script.requests().size(), system ? 1 : 0);
        if (system)
            QCOMPARE(script.requests().at(0).text, QStringLiteral("You can't edit a system effect. Duplicate the "
                                                                  "effect first and edit the duplicated version."));
        DShader *editor = window->shaderEditor();
        QCOMPARE(editor && editor->isVisible(), shown);
        if (shown) {
            QCOMPARE(editor->mode(), mode);
            editor->close();
        }
    }

    // The commands that name an effect: what the library holds afterwards.
    void namingCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("subject");  // the chosen effect: "user", "system" or none
        QTest::addColumn<bool>("saveInEditor"); // the editor opens; save in it, else close it
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("named");     // "group/description" found afterwards; empty: none
        QTest::addColumn<QString>("message");   // a refusal; empty: none
        QTest::newRow("new, saved in the editor") << "actionNewShader" << QString() << true << 1
                                                  << "fresh/new one" << QString();
        QTest::newRow("new, closed unsaved") << "actionNewShader" << QString() << false << 0 << QString() << QString();
        QTest::newRow("duplicate") << "actionDuplicateShader" << "system" << false << 1 << "fresh/new one"
                                   << QString();
        QTest::newRow("rename") << "actionRename_effect" << "user" << false << 0 << "fresh/new one" << QString();
        QTest::newRow("rename, system refused") << "actionRename_effect" << "system" << false << 0 << QString()
                                                << "You can't rename a system effect.";
    }
    void namingCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, subject);
        QFETCH(bool, saveInEditor);
        QFETCH(int, added);
        QFETCH(QString, named);
        QFETCH(QString, message);
        if (window->shaderEditor())
            window->shaderEditor()->close();
        // Names left by earlier rows are taken out of the way.
        for (int row = 0; row < effects()->count(); ++row)
            if (effects()->shaderAt(row)->description() == QLatin1String("new one"))
                effects()->shaderAt(row)->set_description(QStringLiteral("older one"));
        MShader *chosen = subject == QLatin1String("system") ? effects()->find(systemEffectId)
                          : subject == QLatin1String("user")   ? addShader(MShader::EffectShader, "to rename")
                                                               : nullptr;
        if (chosen)
            chooseEffect(chosen);
        const int before = effects()->count();
        MTestModalDriver::onNextDialog("DShaderName", [](QDialog *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("editGroup"))->setCurrentText(QStringLiteral(" Fresh"));
            dialog->findChild<QLineEdit *>(QStringLiteral("editDescription"))->setText(QStringLiteral("New One"));
            dialog->findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
        });
        MTestDialogScript script;
        action(command.toLatin1().constData())->trigger();
        QCOMPARE(script.requests().value(0).text, message);
        DShader *editor = window->shaderEditor();
        if (saveInEditor) {
            QVERIFY(editor && editor->isVisible());
            editor->findChild<QPlainTextEdit *>(QStringLiteral("sourceEdit"))->insertPlainText(QStringLiteral("\n"));
            editor->findChild<QAction *>(QStringLiteral("actionSave"))->trigger();
        }
        if (editor)
            editor->close();
        QCOMPARE(effects()->count(), before + added);
        MShader *found = nullptr;
        for (int row = 0; row < effects()->count(); ++row)
            if (effects()->shaderAt(row)->group() + '/' + effects()->shaderAt(row)->description() == named)
                found = effects()->shaderAt(row);
        QCOMPARE(bool(found), !named.isEmpty());
        if (!found)
            return;
        // Named entries are on disk under their new names.
        const QJsonObject file = readJson(found->fileName());
        QCOMPARE(file.value("group").toString() + '/' + file.value("description").toString(), named);
        if (command == QLatin1String("actionDuplicateShader"))
            QCOMPARE(found->source(), chosen->source());
        if (command == QLatin1String("actionRename_effect"))
            QCOMPARE(found, chosen);
    }

    void importEffect_data()
    {
        QTest::addColumn<QString>("file"); // "effect", "taken id", "engine", "garbage"
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("added");
        QTest::addColumn<bool>("keepsId");
        QTest::newRow("an effect keeps its id") << "effect" << "Effect tests/imported loaded." << true << true;
        QTest::newRow("a taken id is renewed") << "taken id" << "Effect tests/imported loaded." << true << false;
        QTest::newRow("a system id is renewed") << "system id" << "Effect tests/imported loaded." << true << false;
        QTest::newRow("an engine is refused") << "engine" << "This file does not contain an effect." << false << false;
        QTest::newRow("not an effect file") << "garbage" << "Error: unable to load file." << false << false;
    }
    void importEffect()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, added);
        QFETCH(bool, keepsId);
        QString id = newId();
        if (file == QLatin1String("taken id"))
            id = addShader(MShader::EffectShader, QStringLiteral("taken"))->id();
        if (file == QLatin1String("system id"))
            id = systemEffectId;
        MTestFolder outside;
        const QString path = outside.writeFile(
            QStringLiteral("imported.kxs"),
            file == QLatin1String("garbage")
                ? QByteArray("not json")
                : effectJson(id, file == QLatin1String("engine") ? MShader::BrushShader : MShader::EffectShader,
                             QStringLiteral("imported")));
        QStringList before;
        for (int row = 0; row < effects()->count(); ++row)
            before << effects()->shaderAt(row)->id();
        MTestDialogScript script;
        script.answerFile(path).answer(1); // "do not edit"
        action("actionImport_effect")->trigger();
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().at(1).text, message);
        QCOMPARE(effects()->count(), before.size() + (added ? 1 : 0));
        if (!added)
            return;
        MShader *imported = nullptr;
        for (int row = 0; row < effects()->count(); ++row)
            if (!before.contains(effects()->shaderAt(row)->id()))
                imported = effects()->shaderAt(row);
        QVERIFY(imported);
        QCOMPARE(imported->description(), QStringLiteral("imported"));
        QCOMPARE(imported->id() == id, keepsId);
        QVERIFY(QFileInfo::exists(imported->fileName()));
        // The effect that had the id is still there, unchanged.
        if (!keepsId)
            QVERIFY(effects()->find(id) && effects()->find(id) != imported);
    }
};

QTEST_MAIN(TestEffectCommands)
#include "tst_effectcommands.moc"

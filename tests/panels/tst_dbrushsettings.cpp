#include "dbrushsettings.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "menum.h"
#include "mfieldpanel.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "msliderspinbox.h"
#include "mtestlibraries.h"
#include "mtestdialogscript.h"
#include "mtesteffect.h"
#include "mtestbrushlibrary.h"
#include "mtestfolder.h"
#include "mtestpng.h"
#include "mtestglcontext.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QPainter>
#include <QTest>
#include <QToolButton>

namespace {
// An image of the size with a black block in its middle on the background.
QString writeImage(const MTestFolder &folder, const QString &name, const QSize &size, const QColor &background)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), size / 2).translated(size.width() / 4, size.height() / 4), Qt::black);
    painter.end();
    const QString path = folder.filePath(name);
    image.save(path);
    return path;
}

QList<MUtility::DialogRequest> messages(const MTestDialogScript &script)
{
    QList<MUtility::DialogRequest> list;
    for (const MUtility::DialogRequest &request : script.requests())
        if (request.kind != MUtility::FileDialog)
            list.append(request);
    return list;
}

// The radius editor of the dialog's first page, the preferred settings.
MSliderSpinbox *radiusEditor(DBrushSettings &dialog)
{
    return qobject_cast<MSliderSpinbox *>(dialog.findChild<MFieldPanel *>("fieldPanel")->editor("radius"));
}

double savedRadius(const QString &path)
{
    MBrush brush;
    return brush.loadFromFile(path) ? brush.radius() : -1.0;
}

const QString kEngineId = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000B1}");
} // namespace

// The brush settings dialog: textures as they are loaded, the engine's page,
// and the question that decides what happens to the changes at closing.
class TestDBrushSettings : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void cleanup()
    {
        MBrushList::destroyInstance();
        MShaderList::destroyInstance();
    }

    void loadTexture_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QSize>("textureSize");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("preserveColor");
        QTest::addColumn<int>("topLeftAlpha");

        const QColor clear(Qt::transparent);
        QTest::newRow("tall is turned") << QSize(300, 800) << clear << -1 << QSize(800, 300) << 90.0 << 400.0
                                        << 0.375 << 0 << 0;
        QTest::newRow("wide is scaled") << QSize(2000, 500) << clear << -1 << QSize(1000, 250) << 0.0 << 500.0 << 0.25
                                        << 0 << 0;
        QTest::newRow("opaque made clear") << QSize(100, 50) << QColor(Qt::white) << int(QMessageBox::Yes)
                                           << QSize(100, 50) << 0.0 << 50.0 << 0.5 << 0 << 0;
        QTest::newRow("opaque kept") << QSize(100, 50) << QColor(Qt::white) << int(QMessageBox::No) << QSize(100, 50)
                                     << 0.0 << 50.0 << 0.5 << 1 << 255;
    }

    void loadTexture()
    {
        QFETCH(QSize, size);
        QFETCH(QColor, background);
        QFETCH(int, answer);
        QFETCH(QSize, textureSize);
        QFETCH(double, angle);
        QFETCH(double, radius);
        QFETCH(double, ratio);
        QFETCH(int, preserveColor);
        QFETCH(int, topLeftAlpha);

        MTestFolder folder;
        const QString path = writeImage(folder, QStringLiteral("texture.png"), size, background);
        MTestDialogScript script;
        script.answerFile(path);
        if (answer >= 0)
            script.answer(answer);
        MBrush brush;
        brush.setAngle(45);
        QVERIFY(DBrushSettings::loadBrushTextureFile(&brush));

        QCOMPARE(brush.texture().size(), textureSize);
        QCOMPARE(brush.angle(), angle);
        QCOMPARE(brush.radius(), radius);
        QCOMPARE(brush.ratio(), ratio);
        QCOMPARE(brush.preserveTextureColor(), preserveColor);
        QCOMPARE(qAlpha(brush.texture().pixel(0, 0)), topLeftAlpha);
        // The black middle stays whatever happens to the background.
        QCOMPARE(brush.texture().pixelColor(textureSize.width() / 2, textureSize.height() / 2), QColor(Qt::black));
        const QList<MUtility::DialogRequest> asked = messages(script);
        QCOMPARE(asked.size(), answer >= 0 ? 1 : 0);
        if (answer >= 0)
            QVERIFY(asked.first().text.startsWith("The image background seems to be opaque."));
        QCOMPARE(MSettings::instance()->lastFilesDir(), QDir(folder.path()).absolutePath());
    }

    void loadTextureRefusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QString>("message");

        QTest::newRow("cancelled") << QByteArray() << false << QString();
        QTest::newRow("not an image") << QByteArray("no picture here") << true
                                      << QStringLiteral("An error occurred while loading the file.");
        QTest::newRow("larger than a brush texture can be")
            << MTestPng::claiming(16384, 16384) << true
            << QStringLiteral("The image has 16384 x 16384 pixels: a brush texture has at most 4096 x 4096.");
    }

    void loadTextureRefusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, choose);
        QFETCH(QString, message);

        MTestFolder folder;
        MTestDialogScript script;
        if (choose)
            script.answerFile(folder.writeFile(QStringLiteral("broken.png"), content));
        MBrush brush;
        brush.setRadius(7);
        QVERIFY(!DBrushSettings::loadBrushTextureFile(&brush));
        QVERIFY(!DBrushSettings::loadBrushTextureFile(nullptr));
        QVERIFY(brush.texture().isNull());
        QCOMPARE(brush.radius(), 7.0);
        const QList<MUtility::DialogRequest> asked = messages(script);
        QCOMPARE(asked.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(asked.first().icon, QMessageBox::Critical);
            QCOMPARE(asked.first().title, QStringLiteral("Brush texture"));
            QCOMPARE(asked.first().text, message);
        }
    }

    // A texture loaded in the dialog shows with its size, and can be removed.
    void textureInfo()
    {
        MTestFolder folder;
        MTestBrushLibrary brushes({"u:g/one"});
        MBrush *library = MBrushList::instance()->brush(0);
        DBrushSettings dialog;
        dialog.setBrush(library);
        QCOMPARE(dialog.findChild<QLabel *>("descriptionLabel")->text(), QStringLiteral("no texture"));
        QVERIFY(!dialog.resetTextureAction()->isEnabled());
        QVERIFY(!dialog.exportTextureAction()->isEnabled());

        MTestDialogScript script;
        script.answerFile(writeImage(folder, QStringLiteral("t.png"), QSize(40, 20), Qt::transparent));
        dialog.loadTextureAction()->trigger();
        QCOMPARE(dialog.findChild<QLabel *>("descriptionLabel")->text(), QStringLiteral("width: 40 - height: 20"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        MTestScreenshot::keep(dialog.grab(), QStringLiteral("brushsettingsdialog.png"));
        QVERIFY(dialog.resetTextureAction()->isEnabled());
        QVERIFY(dialog.isModified());
        QVERIFY(library->texture().isNull());

        script.answer(QMessageBox::Ok);
        dialog.resetTextureAction()->trigger();
        QVERIFY(dialog.workingBrush()->texture().isNull());
        QCOMPARE(dialog.findChild<QLabel *>("descriptionLabel")->text(), QStringLiteral("no texture"));
    }

    void enginePage_data()
    {
        QTest::addColumn<bool>("engine");
        QTest::addColumn<QStringList>("editors");
        QTest::addColumn<QString>("info");

        QTest::newRow("no engine") << false << QStringList{} << QStringLiteral("no texture");
        QTest::newRow("engine") << true << QStringList{"steps", "strength"}
                                << QStringLiteral("no texture - engine: test effect");
    }

    // The last page shows the brush engine's parameters, bound to the
    // brush's own values; a brush without an engine gets an empty page.
    void enginePage()
    {
        QFETCH(bool, engine);
        QFETCH(QStringList, editors);
        QFETCH(QString, info);

        MTestFolder folder;
        MShaderList *effects = MTestLibraries::makeEffects(folder);
        auto *shader = new MTestEffect(kEngineId);
        shader->set_type(MShader::BrushShader);
        shader->addParam("strength", 0.5);
        shader->addParam("steps", 3);
        effects->append(shader);
        MTestBrushLibrary brushes({"u:g/one"});
        MBrush *library = MBrushList::instance()->brush(0);
        if (engine)
            library->set_shaderId(kEngineId);

        DBrushSettings dialog;
        dialog.setBrush(library);
        QCOMPARE(dialog.findChild<QLabel *>("descriptionLabel")->text(), info);
        QComboBox *pages = dialog.findChild<QComboBox *>("categoryComboBox");
        QCOMPARE(pages->itemText(0), QStringLiteral("Preferred settings"));
        QVERIFY(radiusEditor(dialog));
        pages->setCurrentIndex(pages->count() - 1);
        QCOMPARE(pages->currentText(), QStringLiteral("Engine parameters"));
        QCOMPARE(MSettings::instance()->intValue(QStringLiteral("brushSettingsCategory"), -1), pages->count() - 1);
        MFieldPanel *panel = dialog.findChild<MFieldPanel *>("fieldPanel");
        QVERIFY(!panel->editor("radius"));
        QStringList shown;
        for (const QByteArray &name : {QByteArray("steps"), QByteArray("strength")})
            if (panel->editor(name))
                shown << QString::fromLatin1(name);
        QCOMPARE(shown, editors);
        if (engine) {
            QCOMPARE(panel->object(), dialog.workingBrush()->shaderValues());
            qobject_cast<MSliderSpinbox *>(panel->editor("strength"))->set_value(0.75);
            QCOMPARE(dialog.workingBrush()->shaderValues()->value("strength").toDouble(), 0.75);
            QVERIFY(dialog.isModified());
        }
    }

    void closing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<double>("libraryRadius");
        QTest::addColumn<double>("fileRadius");
        QTest::addColumn<QString>("report");

        QTest::newRow("save") << 0 << false << true << 12.0 << 12.0 << "";
        QTest::newRow("keep changes") << 1 << false << true << 12.0 << 4.0 << "";
        QTest::newRow("discard") << 2 << false << true << 4.0 << 4.0 << "";
        QTest::newRow("don't close") << 3 << false << false << 4.0 << 4.0 << "";
        QTest::newRow("question closed keeps") << -1 << false << true << 12.0 << 4.0 << "";
        QTest::newRow("failing save") << 0 << true << false << 12.0 << -1.0
                                      << "An error occurred while saving the file.";
    }

    void closing()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, closed);
        QFETCH(double, libraryRadius);
        QFETCH(double, fileRadius);
        QFETCH(QString, report);

        MTestFolder folder;
        MTestBrushLibrary brushes({"u:g/one"});
        MBrush *library = MBrushList::instance()->brush(0);
        const QString file = library->userFilePath();
        QCOMPARE(savedRadius(file), 4.0);
        if (saveFails) {
            // A folder where the brush file should be: no file can be written there.
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir().mkpath(file));
        }

        DBrushSettings dialog;
        dialog.setBrush(library);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("g/one"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.isModified());
        radiusEditor(dialog)->set_value(12);
        QVERIFY(dialog.isModified());
        QCOMPARE(dialog.workingBrush()->radius(), 12.0);
        QCOMPARE(library->radius(), 4.0);

        MTestDialogScript script;
        script.answer(answer);
        dialog.close();
        QCOMPARE(dialog.isVisible(), !closed);
        QCOMPARE(library->radius(), libraryRadius);
        QCOMPARE(savedRadius(file), fileRadius);
        const QList<MUtility::DialogRequest> asked = script.requests();
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked.first().text, QStringLiteral("The brush has been modified."));
        QCOMPARE(asked.first().buttons, (QStringList{"Save", "Keep changes but do not save", "Discard and close",
                                                     "Don't close"}));
        if (saveFails) {
            QCOMPARE(asked.size(), 2);
            QCOMPARE(asked.at(1).icon, QMessageBox::Critical);
            QCOMPARE(asked.at(1).text, report);
            QVERIFY(dialog.isModified());
        } else {
            QCOMPARE(asked.size(), 1);
        }
        // Unchanged, the dialog closes without a word.
        if (!closed) {
            QDir(file).removeRecursively();
            script.answer(2);
            dialog.close();
            QVERIFY(!dialog.isVisible());
        }
    }

    void curveButton_data()
    {
        QTest::addColumn<bool>("addCurve");
        QTest::newRow("curve added") << true;
        QTest::newRow("nothing changed") << false;
    }

    // A setting's curve button opens the curve editor on the dialog's copy;
    // what the editor keeps marks the dialog changed, not the library brush.
    void curveButton()
    {
        QFETCH(bool, addCurve);

        MTestFolder folder;
        MTestBrushLibrary brushes({"u:g/one"});
        MBrush *library = MBrushList::instance()->brush(0);
        DBrushSettings dialog;
        dialog.setBrush(library);
        QToolButton *radiusCurves = nullptr;
        for (QToolButton *button : dialog.findChild<MFieldPanel *>("fieldPanel")->findChildren<QToolButton *>())
            if (button->property(MFieldPanel::settingProperty).toInt() == MEnum::bsRadius)
                radiusCurves = button;
        QVERIFY(radiusCurves);
        const QImage plus = radiusCurves->icon().pixmap(16, 16).toImage();

        bool done = false;
        MTestModalDriver::onNextDialog(
            "DCurveEditor",
            [addCurve](QDialog *editor) {
                editor->findChild<QListWidget *>("listWidget")->setCurrentRow(MEnum::biPressure);
                if (addCurve)
                    editor->findChild<QPushButton *>("addCurveBtn")->click();
                editor->findChild<QPushButton *>("okBtn")->click();
            },
            &done);
        radiusCurves->click();
        QVERIFY(done);
        QCOMPARE(dialog.isModified(), addCurve);
        QCOMPARE(dialog.workingBrush()->hasCurve(MEnum::bsRadius, MEnum::biPressure), addCurve);
        QVERIFY(!library->hasCurve(MEnum::bsRadius, MEnum::biPressure));
        QCOMPARE(radiusCurves->icon().pixmap(16, 16).toImage() == plus, !addCurve);
    }

    void saveButton_data()
    {
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved") << false << "File saved.";
        QTest::newRow("failing") << true << "An error occurred while saving the file.";
    }

    void saveButton()
    {
        QFETCH(bool, saveFails);
        QFETCH(QString, message);

        MTestFolder folder;
        MTestBrushLibrary brushes({"u:g/one"});
        MBrush *library = MBrushList::instance()->brush(0);
        const QString file = library->userFilePath();
        if (saveFails) {
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir().mkpath(file));
        }
        DBrushSettings dialog;
        dialog.setBrush(library);
        radiusEditor(dialog)->set_value(9);
        MTestDialogScript script;
        dialog.findChild<QToolButton *>("saveButton")->click();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, message);
        QCOMPARE(library->radius(), 9.0);
        QCOMPARE(dialog.isModified(), saveFails);
        if (!saveFails)
            QCOMPARE(savedRadius(file), 9.0);
    }
};

QTEST_MAIN(TestDBrushSettings)
#include "tst_dbrushsettings.moc"

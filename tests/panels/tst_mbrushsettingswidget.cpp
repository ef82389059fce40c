#include "mbrushsettingswidget.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushslider.h"
#include "menum.h"
#include "mfieldpanel.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "msliderspinbox.h"
#include "mtestlibraries.h"
#include "mtestdialogscript.h"
#include "mtesteffect.h"
#include "mtestbrushlibrary.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmodaldriver.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
QStringList pageTexts(const QComboBox *pages)
{
    QStringList texts;
    for (int i = 0; i < pages->count(); ++i)
        texts << pages->itemText(i);
    return texts;
}

const QString kWithParams = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000C1}");
const QString kWithout = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000C2}");
const QStringList kCategories{"Size", "Opacity", "Shape", "Color", "Composition"};
} // namespace

// The brush settings dock: its pages for the current brush, edits that reach
// the library brush at once, reloading the last saved file, and the slider
// that maps a setting onto slider positions.
class TestMBrushSettingsWidget : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void init()
    {
        MShaderList *effects = MTestLibraries::makeEffects(m_folder);
        auto *engine = new MTestEffect(kWithParams);
        engine->set_type(MShader::BrushShader);
        engine->addParam("strength", 0.5);
        effects->append(engine);
        auto *bare = new MTestEffect(kWithout);
        bare->set_type(MShader::BrushShader);
        effects->append(bare);
        m_brushes.reset(new MTestBrushLibrary({"u:g/plain", "u:g/engine", "u:g/bare engine"}));
        MBrushList::instance()->brush(1)->set_shaderId(kWithParams);
        MBrushList::instance()->brush(2)->set_shaderId(kWithout);
    }

    void cleanup()
    {
        m_brushes.reset();
        MShaderList::destroyInstance();
    }

    void pages_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("firstPage");
        QTest::addColumn<QStringList>("editors");

        QTest::newRow("no engine") << 0 << "Preferred settings"
                                   << QStringList{"radius", "hardness", "flow", "opacity"};
        QTest::newRow("engine with parameters") << 1 << "Engine parameters" << QStringList{"strength"};
        QTest::newRow("engine without parameters") << 2 << "Preferred settings"
                                                   << QStringList{"radius", "hardness", "flow", "opacity"};
    }

    // The engine's page comes first, and only for an engine with parameters.
    void pages()
    {
        QFETCH(int, row);
        QFETCH(QString, firstPage);
        QFETCH(QStringList, editors);

        MBrushList *library = MBrushList::instance();
        MBrushSettingsWidget panel;
        QStringList expected = QStringList{"Preferred settings"} + kCategories;
        QCOMPARE(pageTexts(panel.findChild<QComboBox *>("quickSettingsComboBox")), expected);

        library->setCurrentRow(row);
        panel.setBrush(library->brush(row));
        if (firstPage == "Engine parameters")
            expected.prepend(firstPage);
        QCOMPARE(pageTexts(panel.findChild<QComboBox *>("quickSettingsComboBox")), expected);
        QCOMPARE(panel.findChild<QComboBox *>("quickSettingsComboBox")->currentIndex(), 0);
        QStringList shown;
        for (const char *name : {"radius", "hardness", "flow", "opacity", "strength"})
            if (panel.fieldPanel()->editor(name))
                shown << name;
        std::sort(shown.begin(), shown.end());
        std::sort(editors.begin(), editors.end());
        QCOMPARE(shown, editors);
        QCOMPARE(panel.fieldPanel()->object(),
                 row == 1 ? static_cast<QObject *>(library->brush(row)->shaderValues()) : library->brush(row));
    }

    // A new current brush rebuilds the page, but the page list stays that
    // of the brush last given until the panel is given the new one.
    void currentBrushChangeRebuildsThePage()
    {
        MBrushList *library = MBrushList::instance();
        library->setCurrentRow(1);
        MBrushSettingsWidget panel;
        panel.setBrush(library->brush(1));
        library->setCurrentRow(0);
        QCOMPARE(panel.findChild<QComboBox *>("quickSettingsComboBox")->itemText(0), QStringLiteral("Engine parameters"));
        // The engine page of a brush without an engine is empty.
        QCOMPARE(panel.fieldPanel()->object(), static_cast<QObject *>(nullptr));
        QVERIFY(!panel.fieldPanel()->editor("strength"));
        panel.findChild<QComboBox *>("quickSettingsComboBox")->setCurrentIndex(1);
        QCOMPARE(panel.fieldPanel()->object(), library->brush(0));
    }

    // Edits reach the library brush at once; Reset brings back the file.
    void editAndReset()
    {
        MBrushList *library = MBrushList::instance();
        library->setCurrentRow(0);
        MBrush *brush = library->brush(0);
        MBrushSettingsWidget panel;
        panel.setBrush(brush);
        auto *radius = qobject_cast<MSliderSpinbox *>(panel.fieldPanel()->editor("radius"));
        QVERIFY(radius);
        QCOMPARE(radius->value(), 4.0);
        radius->set_value(50);
        QCOMPARE(brush->radius(), 50.0);

        panel.resetAction()->trigger();
        QCOMPARE(brush->radius(), 4.0);
        radius = qobject_cast<MSliderSpinbox *>(panel.fieldPanel()->editor("radius"));
        QCOMPARE(radius->value(), 4.0);

        // Saved, the new value is what a reset comes back to.
        radius->set_value(20);
        MTestDialogScript script;
        panel.saveAction()->trigger();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("File saved."));
        brush->setRadius(33);
        panel.resetBrushSettings();
        QCOMPARE(brush->radius(), 20.0);
    }

    // "More settings" runs the full dialog on the current brush; what it
    // saves shows in the panel at once.
    void moreSettings()
    {
        MBrushList *library = MBrushList::instance();
        library->setCurrentRow(0);
        MBrushSettingsWidget panel;
        panel.setBrush(library->brush(0));
        bool done = false;
        MTestDialogScript script;
        script.answer(0); // save at closing
        MTestModalDriver::onNextDialog(
            "DBrushSettings",
            [](QDialog *dialog) {
                auto *radius = qobject_cast<MSliderSpinbox *>(
                    dialog->findChild<MFieldPanel *>("fieldPanel")->editor("radius"));
                radius->set_value(15);
                dialog->close();
            },
            &done);
        panel.moreSettingsAction()->trigger();
        QVERIFY(done);
        QCOMPARE(library->brush(0)->radius(), 15.0);
        QCOMPARE(qobject_cast<MSliderSpinbox *>(panel.fieldPanel()->editor("radius"))->value(), 15.0);
        library->brush(0)->setRadius(1);
        panel.onReset();
        QCOMPARE(library->brush(0)->radius(), 15.0);
    }

    void slider_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("movedTo");
        QTest::addColumn<double>("movedValue");

        QTest::newRow("percentage") << int(MEnum::bsFlow) << 0 << 100 << 0.5 << 50 << 0.5 << 25 << 0.25;
        QTest::newRow("logarithmic at its minimum") << int(MEnum::bsRadius) << 0 << 100 << 0.1 << 0 << 0.1 << 100
                                                    << 1000.0;
        QTest::newRow("logarithmic beyond its maximum") << int(MEnum::bsRadius) << 0 << 100 << 5000.0 << 100
                                                        << 1000.0 << 50 << (1e5 - 1) / (1e10 - 1) * 999.9 + 0.1;
        QTest::newRow("plain") << int(MEnum::bsAngle) << -180 << 180 << 45.0 << 45 << 45.0 << -90 << -90.0;
    }

    void slider()
    {
        QFETCH(int, setting);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(double, value);
        QFETCH(int, position);
        QFETCH(double, stored);
        QFETCH(int, movedTo);
        QFETCH(double, movedValue);

        MBrushSlider slider;
        QSignalSpy settingChanges(&slider, &MBrushSlider::brushSettingChanged);
        QSignalSpy valueChanges(&slider, &MBrushSlider::brushValueChanged);
        slider.setBrushSetting(setting);
        slider.setBrushSetting(setting);
        QCOMPARE(settingChanges.count(), 1);
        QCOMPARE(slider.minimum(), minimum);
        QCOMPARE(slider.maximum(), maximum);

        slider.setBrushValue(value);
        QCOMPARE(slider.value(), position);
        QCOMPARE(slider.brushValue(), stored);
        QCOMPARE(valueChanges.count(), 0);

        slider.setValue(movedTo);
        QCOMPARE(valueChanges.count(), 1);
        QVERIFY(qAbs(valueChanges.first().first().toDouble() - movedValue) < 1e-9);
        QVERIFY(qAbs(slider.brushValue() - movedValue) < 1e-9);
    }

private:
    MTestFolder m_folder;
    std::unique_ptr<MTestBrushLibrary> m_brushes;
};

QTEST_MAIN(TestMBrushSettingsWidget)
#include "tst_mbrushsettingswidget.moc"

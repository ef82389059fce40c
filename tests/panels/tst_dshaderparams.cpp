// The effect settings dialog: edits reach the layer one signal each, the
// buttons keep, apply or remove the effect, and leaving by Escape or the
// window's close control puts the layer back as it was.

#include "dshaderparams.h"
#include "mfieldpanel.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderobject.h"
#include "mtestfolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSlider>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString tintId = QStringLiteral("{00000000-0000-4000-8000-000000000001}");
const QString blurId = QStringLiteral("{00000000-0000-4000-8000-000000000002}");
const QString brokenId = QStringLiteral("{00000000-0000-4000-8000-000000000003}");

// A library of three effects: two that share the parameter "strength" with
// different defaults, and one whose parameters do not compile.
struct Library
{
    MTestFolder root;

    Library()
    {
        QDir().mkpath(root.filePath(QStringLiteral("system")));
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        write(tintId, "@params\n"
                      "float strength = 0.5 'Strength' min = 0 max = 1 increment = 0.1;\n"
                      "bool warm = false 'Warm';\n"
                      "enum mode = 0 'Mode' enum values = 0 'Soft' 1 'Hard';\n"
                      "@main\nf_color = vec4(strength);\n");
        write(blurId, "@params\nfloat strength = 0.2 'Strength' min = 0 max = 1 increment = 0.1;\n"
                      "@main\nf_color = vec4(strength);\n");
        write(brokenId, "@params\nfloat = 'no name';\n@main\nf_color = vec4(1.0);\n");
        MShaderList::destroyInstance();
        MShaderList::setInstance(
            new MShaderList(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user"))));
    }
    ~Library() { MShaderList::destroyInstance(); }

    void write(const QString &id, const QByteArray &source)
    {
        const QJsonObject json{{"id", id},
                               {"group", "test"},
                               {"description", id},
                               {"source", QString::fromLatin1(source.toBase64())},
                               {"type", 0}};
        root.writeFile(QStringLiteral("system/") + id.toLower() + ".kxs", QJsonDocument(json).toJson());
    }
    static MShader *shader(const QString &id) { return MShaderList::instance()->find(id); }
};

MFieldPanel *panel(const DShaderParams &dialog)
{
    return dialog.findChild<MFieldPanel *>(QStringLiteral("panelWidget"));
}

QPushButton *button(const DShaderParams &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}
} // namespace

class TestDShaderParams : public QObject
{
    Q_OBJECT

private slots:
    void oneEditGivesOneSignal_data()
    {
        QTest::addColumn<QByteArray>("param");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("slider step") << QByteArray("strength") << QVariant(0.6);
        QTest::newRow("check box") << QByteArray("warm") << QVariant(true);
        QTest::newRow("pick list") << QByteArray("mode") << QVariant(1);
    }
    void oneEditGivesOneSignal()
    {
        QFETCH(QByteArray, param);
        QFETCH(QVariant, value);
        Library library;
        MShaderObject layer;
        DShaderParams dialog(Library::shader(tintId), &layer);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy changed(&dialog, &DShaderParams::shaderValuesChanged);
        QWidget *editor = panel(dialog)->editor(param);
        QVERIFY(editor);
        if (auto *check = qobject_cast<QCheckBox *>(editor)) {
            check->click();
        } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            combo->setCurrentIndex(1);
        } else {
            // A page of the slider's hundred steps.
            auto *slider = editor->findChild<QSlider *>();
            QVERIFY(slider);
            QTest::keyClick(slider, Qt::Key_PageUp);
        }
        QCOMPARE(changed.count(), 1);
        QCOMPARE(layer.shaderValues()->value(param).toDouble(), value.toDouble());
    }

    // The values the dialog opens with, by the effect the layer had.
    void valuesOnOpening_data()
    {
        QTest::addColumn<QString>("layerEffect"); // empty: none
        QTest::addColumn<double>("strength");
        QTest::newRow("same effect keeps its values") << tintId << 0.9;
        QTest::newRow("another effect: defaults") << blurId << 0.5;
        QTest::newRow("no effect: defaults") << QString() << 0.5;
    }
    void valuesOnOpening()
    {
        QFETCH(QString, layerEffect);
        QFETCH(double, strength);
        Library library;
        MShaderObject layer;
        if (!layerEffect.isEmpty()) {
            layer.set_shaderId(layerEffect);
            layer.shaderValues()->setValue("strength", 0.9);
        }
        DShaderParams dialog(Library::shader(tintId), &layer);
        QCOMPARE(layer.shaderId(), tintId);
        QCOMPARE(layer.shaderValues()->value("strength").toDouble(), strength);
        QVERIFY(panel(dialog)->editor("strength"));
    }

    // Every way out, after one edit, from a layer that had another effect.
    void leavingTheDialog_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("effect"); // the layer's effect afterwards
        QTest::addColumn<double>("strength");
        QTest::addColumn<int>("applySignals");
        QTest::newRow("Preview keeps the edit") << "previewButton" << int(QDialog::Accepted) << tintId << 0.6 << 0;
        QTest::newRow("Apply asks to render") << "applyButton" << int(QDialog::Accepted) << tintId << 0.6 << 1;
        QTest::newRow("Remove takes the effect off") << "removeButton" << int(QDialog::Accepted) << QString() << 0.0
                                                     << 0;
        QTest::newRow("Escape restores") << "escape" << int(QDialog::Rejected) << blurId << 0.9 << 0;
        QTest::newRow("closing restores") << "close" << int(QDialog::Rejected) << blurId << 0.9 << 0;
    }
    void leavingTheDialog()
    {
        QFETCH(QString, way);
        QFETCH(int, result);
        QFETCH(QString, effect);
        QFETCH(double, strength);
        QFETCH(int, applySignals);
        Library library;
        MShaderObject layer;
        layer.set_shaderId(blurId);
        layer.shaderValues()->setValue("strength", 0.9);
        DShaderParams dialog(Library::shader(tintId), &layer);
        QSignalSpy changed(&dialog, &DShaderParams::shaderValuesChanged);
        QSignalSpy apply(&dialog, &DShaderParams::applyShader);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        layer.shaderValues()->setValue("strength", 0.6);
        if (way == QLatin1String("escape"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (way == QLatin1String("close"))
            dialog.close();
        else
            QTest::mouseClick(button(dialog, way.toLatin1().constData()), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QCOMPARE(layer.shaderId(), effect);
        QCOMPARE(layer.shaderValues()->value("strength").toDouble(), strength);
        QCOMPARE(apply.count(), applySignals);
        // The canvas is told of every change the way out made.
        QCOMPARE(changed.count(), applySignals ? 0 : 1);
    }

    void brokenEffectGivesAnEmptyPanelAndWorkingButtons_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Preview") << "previewButton" << brokenId;
        QTest::newRow("Remove") << "removeButton" << QString();
    }
    void brokenEffectGivesAnEmptyPanelAndWorkingButtons()
    {
        QFETCH(QString, way);
        QFETCH(QString, effect);
        Library library;
        MShaderObject layer;
        DShaderParams dialog(Library::shader(brokenId), &layer);
        QVERIFY(panel(dialog)->fields().isEmpty());
        QVERIFY(panel(dialog)->findChildren<QWidget *>().isEmpty());
        dialog.show();
        QTest::mouseClick(button(dialog, way.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(layer.shaderId(), effect);
    }
};

QTEST_MAIN(TestDShaderParams)
#include "tst_dshaderparams.moc"

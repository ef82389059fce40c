#include "dlayeredit.h"
#include "mcanvas.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <QWindow>

#include <memory>

using namespace MTestModalDriver;

namespace {
QVariantMap propertiesOf(const QObject *object)
{
    QVariantMap values;
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (qstrcmp(property.name(), "thumbnail") != 0)
            values.insert(QString::fromLatin1(property.name()), property.read(object));
    }
    return values;
}

template<typename T>
T *child(QDialog *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s in the dialog", name);
    return widget;
}


// Plays the steps, separated by ';': "name TEXT", "opacity PERCENT",
// "visible", "locked", "mask TEXT" (as the painter reads it), "ok", "cancel", "escape", "close".
void play(QDialog *dialog, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString word = step.trimmed().section(QLatin1Char(' '), 0, 0);
        const QString argument = step.trimmed().section(QLatin1Char(' '), 1);
        if (word == QLatin1String("name")) {
            typeOver(child<QLineEdit>(dialog, "nameEdit"), argument);
        } else if (word == QLatin1String("opacity")) {
            typeOver(child<QWidget>(dialog, "opacityEdit")->findChild<QDoubleSpinBox *>(), argument);
        } else if (word == QLatin1String("visible")) {
            click(child<QCheckBox>(dialog, "visibleCheckBox"));
        } else if (word == QLatin1String("locked")) {
            click(child<QCheckBox>(dialog, "lockedCheckBox"));
        } else if (word == QLatin1String("mask")) {
            auto *combo = child<QWidget>(dialog, "cbMask")->findChild<QComboBox *>();
            combo->setCurrentIndex(combo->findText(argument));
        } else if (word == QLatin1String("ok")) {
            click(child<QPushButton>(dialog, "btnOk"));
        } else if (word == QLatin1String("cancel")) {
            click(child<QPushButton>(dialog, "btnCancel"));
        } else if (word == QLatin1String("escape")) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        } else if (word == QLatin1String("close")) {
            // As the window's close button does: through the window system.
            dialog->windowHandle()->close();
        } else {
            qWarning("unknown step %s", qPrintable(word));
        }
    }
}
} // namespace

class TestDLayerEdit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(200, 100));
        QVERIFY(canvas);
    }

    void cleanupTestCase() { canvas.reset(); }

    void init()
    {
        canvas->reset();
        canvas->appendLayer();
        canvas->undoStack()->clear();
        MTextureLayer *layer = canvas->at(0);
        layer->setName(QStringLiteral("Ground"));
        layer->setOpacity(0.8);
        // Off, so that turning it on shows.
        layer->set_isShaderActive(false);
        canvas->setCurrentRow(1);
    }

    void form()
    {
        DLayerEdit dialog(canvas->layers(), canvas->layerEdits(), 0);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Layer properties"));
        QCOMPARE(dialog.findChild<QLineEdit *>("nameEdit")->text(), QStringLiteral("Ground"));
        QCOMPARE(dialog.findChild<QWidget *>("opacityEdit")->property("value").toDouble(), 0.8);
        QVERIFY(dialog.findChild<QWidget *>("opacityEdit")->property("isPercentage").toBool());
        QVERIFY(dialog.findChild<QCheckBox *>("visibleCheckBox")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox *>("lockedCheckBox")->isChecked());
        auto *masks = dialog.findChild<QWidget *>("cbMask")->findChild<QComboBox *>();
        QCOMPARE(masks->count(), 3);
        QCOMPARE(masks->currentText(), QStringLiteral("None"));
        QVERIFY(!dialog.isChanged());
    }

    void paintersWay_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QVariantMap>("after");
        const QVariantMap none;
        QTest::newRow("opacity, Ok") << "opacity 40; ok" << true << QVariantMap{{"opacity", 0.4}};
        QTest::newRow("every field, Ok")
            << "name Sky; opacity 25; visible; locked; mask Alpha; ok" << true
            << QVariantMap{{"name", "Sky"}, {"opacity", 0.25}, {"visible", false}, {"locked", true}, {"mask", 1}};
        QTest::newRow("a box ticked twice, Ok") << "locked; locked; ok" << true << none;
        QTest::newRow("Ok untouched") << "ok" << false << none;
        QTest::newRow("name, Cancel") << "name Sky; cancel" << false << none;
        QTest::newRow("visibility, Escape") << "visible; escape" << false << none;
        QTest::newRow("name and lock, close button") << "name Sky; locked; close" << false << none;
        QTest::newRow("mask and opacity, Escape") << "mask Inverted alpha; opacity 10; escape" << false << none;
    }

    // Ok records the edit as one step that undo and redo replay; every other
    // way out leaves the layer exactly as it was and the history untouched.
    void paintersWay()
    {
        QFETCH(QString, steps);
        QFETCH(bool, recorded);
        QFETCH(QVariantMap, after);
        MTextureLayer *layer = canvas->at(0);
        const QVariantMap before = propertiesOf(layer);
        QSignalSpy names(layer, &MLayer::nameChanged);
        bool played = false;
        onNextDialog("DLayerEdit", [&](QDialog *dialog) { play(dialog, steps); }, &played);
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), 0);
        QVERIFY(played);
        QCOMPARE(canvas->undoStack()->count(), recorded ? 1 : 0);

        QVariantMap expected = before;
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            expected.insert(it.key(), it.value());
        if (recorded)
            expected.insert(QStringLiteral("isShaderActive"), true);
        QCOMPARE(propertiesOf(layer), expected);
        // The layer list hears the name it shows.
        if (!names.isEmpty())
            QCOMPARE(names.last().at(0).toString(), layer->name());
        if (!recorded)
            return;

        QCOMPARE(canvas->undoStack()->text(0), QStringLiteral("Layer property change"));
        // The step holds all five values, also those the painter left alone.
        layer->setName(QStringLiteral("renamed elsewhere"));
        canvas->undoStack()->undo();
        QVariantMap undone = before;
        undone.insert(QStringLiteral("isShaderActive"), true);
        QCOMPARE(propertiesOf(layer), undone);
        canvas->undoStack()->redo();
        QCOMPARE(propertiesOf(layer), expected);
    }

    // The canvas follows the edit while the dialog is still open.
    void liveWhileOpen()
    {
        MTextureLayer *layer = canvas->at(0);
        QSignalSpy refreshed(canvas.get(), QOverload<>::of(&MCanvas::refreshNow));
        QSignalSpy throttled(canvas.get(), QOverload<bool, const QRectF &>::of(&MCanvas::refresh));
        bool seen = false;
        onNextDialog("DLayerEdit", [&](QDialog *dialog) {
            const int before = refreshed.count() + throttled.count();
            play(dialog, QStringLiteral("visible"));
            seen = !layer->visible() && refreshed.count() + throttled.count() > before;
            play(dialog, QStringLiteral("cancel"));
        });
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), 0);
        QVERIFY(seen);
        QVERIFY(layer->visible());
    }

    // The current row is edited; without layers nothing opens.
    void currentRowAndNoLayer()
    {
        canvas->setCurrentRow(1);
        QString edited;
        onNextDialog("DLayerEdit", [&](QDialog *dialog) {
            edited = dialog->findChild<QLineEdit *>("nameEdit")->text();
            play(dialog, QStringLiteral("cancel"));
        });
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), canvas->currentRow());
        QCOMPARE(edited, canvas->at(1)->name());
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), 7);
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), -1);
        QCOMPARE(canvas->undoStack()->count(), 0);
    }

    void screenshot()
    {
        onNextDialog("DLayerEdit", [&](QDialog *dialog) {
            QTest::qWait(100);
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("kalmidraw-layer-properties.png"));
            play(dialog, QStringLiteral("cancel"));
        });
        DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), 0);
    }
};

QTEST_MAIN(TestDLayerEdit)
#include "tst_dlayeredit.moc"

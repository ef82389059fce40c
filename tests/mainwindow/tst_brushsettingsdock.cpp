#include "dbrushsettings.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushsettingswidget.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mfieldpanel.h"
#include "mlistpanel.h"
#include "mmainwindow.h"
#include "mshaderlist.h"
#include "msliderspinbox.h"
#include "mtestlibraries.h"
#include "mtestdialogscript.h"
#include "mtestbrushlibrary.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QPainter>
#include <QTest>
#include <QUndoStack>

#include <memory>

// The brush settings dock and the brush commands of the real window, on
// brush libraries of the test's own: the current brush shown and tuned in
// the dock, the radius steps, eraser mode, the settings dialog, reset,
// restore and texture loading, and a stroke as wide as the dock says.
namespace {
constexpr int W = 400;
constexpr int H = 300;
} // namespace

class TestBrushSettingsDock : public QObject
{
    Q_OBJECT

private:
    MTestFolder m_folder;
    std::unique_ptr<MTestBrushLibrary> m_brushes;
    std::unique_ptr<MMainWindow> m_window;

    MBrush *current() const { return MBrushList::instance()->currentBrush(); }
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(name); }
    MSliderSpinbox *dockRadius() const
    {
        return qobject_cast<MSliderSpinbox *>(m_window->brushSettingsWidget()->fieldPanel()->editor("radius"));
    }
    // The brush of that name made current, as the brush list does.
    MBrush *select(const QString &description)
    {
        MBrushList *library = MBrushList::instance();
        for (int row = 0; row < library->rowCount(); ++row)
            if (library->brush(row)->description() == description)
                library->setCurrentRow(row);
        return current();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestMainWindow::prepare(QSize(W, H)));
        MTestLibraries::makeEffects(m_folder);
        m_brushes.reset(new MTestBrushLibrary({"u:pens/round", "u:pens/eraser", "s:shipped/system pen"}));
        MBrushList::instance()->brush(1)->setEraser(true);
        m_window.reset(new MMainWindow());
        QVERIFY(MTestMainWindow::show(m_window.get(), QSize(1400, 900)));
    }

    void cleanupTestCase()
    {
        if (m_window)
            m_window->view()->canvas()->undoStack()->setClean();
        m_window.reset();
        m_brushes.reset();
        MShaderList::destroyInstance();
    }

    void commandsAreBuilt()
    {
        for (const char *name : {"actionIncrease_brush_radius", "actionDecrease_brush_radius", "actionEraserMode",
                                 "actionLockBrushControlPoints", "actionEdit_brush_settings",
                                 "actionResetBrushSettings", "actionLoad_brush_texture", "actionRestore_brush"}) {
            QVERIFY2(!MMainWindow::pendingCommands().contains(name), name);
            // Restore applies to system brushes only; the brush menu enables it for them.
            if (qstrcmp(name, "actionRestore_brush") != 0)
                QVERIFY2(action(name)->isEnabled(), name);
        }
        auto *dock = m_window->findChild<QDockWidget *>("brushSettingsDockWidget");
        QCOMPARE(dock->widget()->findChild<MBrushSettingsWidget *>(), m_window->brushSettingsWidget());
    }

    // Choosing a brush names it on the brush dock, takes the brush tool,
    // sets the eraser command and shows the brush in the settings dock.
    void selectingABrush()
    {
        MTools::instance()->activate(MTool::GridTool, true);
        MBrush *eraser = select("eraser");
        auto *brushDock = m_window->findChild<QDockWidget *>("brushDockWidget");
        QCOMPARE(brushDock->windowTitle(), QStringLiteral("Brush - eraser"));
        QVERIFY(action("actionEraserMode")->isChecked());
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::BrushTool));
        QCOMPARE(m_window->brushSettingsWidget()->fieldPanel()->object(), eraser);

        MBrush *round = select("round");
        QCOMPARE(brushDock->windowTitle(), QStringLiteral("Brush - round"));
        QVERIFY(!action("actionEraserMode")->isChecked());
        QCOMPARE(m_window->brushSettingsWidget()->fieldPanel()->object(), round);
        action("actionEraserMode")->trigger();
        QVERIFY(round->eraser());
        action("actionEraserMode")->trigger();
        QVERIFY(!round->eraser());
        QVERIFY(eraser->eraser());
    }

    void lockControlPoints()
    {
        const QList<int> tools{MTool::GridTool, MTool::SymmetryTool, MTool::PerspectiveTool};
        for (bool on : {true, false}) {
            action("actionLockBrushControlPoints")->setChecked(on);
            for (int id : tools)
                QCOMPARE(MTools::instance()->tool(id)->locked(), on);
        }
    }

    void radiusSteps_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<bool>("increase");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("message");

        QTest::newRow("smaller") << 10.0 << false << 8.0 << "Brush radius: 8.00 px.";
        QTest::newRow("never below one pixel") << 1.1 << false << 1.0 << "Brush radius: 1.00 px.";
        QTest::newRow("bigger") << 10.0 << true << 12.0 << "Brush radius: 12.00 px.";
        QTest::newRow("up to the maximum") << 900.0 << true << 1000.0 << "Brush radius: 1000.00 px.";
        QTest::newRow("at the maximum") << 1000.0 << true << 1000.0 << "Brush radius: 1000.00 px.";
    }

    void radiusSteps()
    {
        QFETCH(double, radius);
        QFETCH(bool, increase);
        QFETCH(double, expected);
        QFETCH(QString, message);

        MBrush *brush = select("round");
        brush->setRadius(radius);
        action(increase ? "actionIncrease_brush_radius" : "actionDecrease_brush_radius")->trigger();
        QVERIFY(qAbs(brush->radius() - expected) < 1e-9);
        QCOMPARE(m_window->view()->text(), message);
        QVERIFY(qAbs(dockRadius()->value() - expected) < 1e-9);
        brush->setRadius(4);
    }

    // The settings command and a double click in the brush list open the
    // dialog on the current brush; what it saves shows in the dock.
    void editSettings()
    {
        MBrush *brush = select("round");
        bool done = false;
        MTestDialogScript script;
        script.answer(0); // save at closing
        MTestModalDriver::onNextDialog(
            "DBrushSettings",
            [brush](QDialog *dialog) {
                auto *settings = qobject_cast<DBrushSettings *>(dialog);
                QCOMPARE(settings->libraryBrush(), brush);
                settings->workingBrush()->setRadius(6);
                settings->onBrushValueChanged("radius", 6);
                dialog->close();
            },
            &done);
        action("actionEdit_brush_settings")->trigger();
        QVERIFY(done);
        QCOMPARE(brush->radius(), 6.0);
        QCOMPARE(dockRadius()->value(), 6.0);

        done = false;
        MTestModalDriver::onNextDialog("DBrushSettings", [](QDialog *) {}, &done);
        MListPanel *list = m_window->brushWidget()->brushListWidget()->panel();
        QTRY_VERIFY(list->isVisible());
        QTest::mouseDClick(list, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QVERIFY(done);
        QCOMPARE(MBrushList::instance()->currentRow(), 0);

        // Reset brings back what was saved.
        brush->setRadius(30);
        action("actionResetBrushSettings")->trigger();
        QCOMPARE(brush->radius(), 6.0);
        QCOMPARE(dockRadius()->value(), 6.0);
        brush->setRadius(4);
        brush->save();
    }

    void restore()
    {
        MTestDialogScript script;
        MBrush *user = select("round");
        user->setRadius(9);
        action("actionRestore_brush")->trigger();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("Only system brushes can be reset to system default."));
        QCOMPARE(user->radius(), 9.0);
        user->setRadius(4);

        MBrush *system = select("system pen");
        system->setRadius(44);
        QVERIFY(system->save());
        action("actionRestore_brush")->trigger();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(system->radius(), 4.0);
        QCOMPARE(dockRadius()->value(), 4.0);
        MBrush saved;
        QVERIFY(saved.loadFromFile(system->userFilePath()));
        QCOMPARE(saved.radius(), 4.0);
    }

    void loadTexture()
    {
        MBrush *brush = select("eraser");
        QImage image(60, 20, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).fillRect(10, 5, 40, 10, Qt::black);
        const QString path = m_folder.filePath("texture.png");
        QVERIFY(image.save(path));
        MTestDialogScript script;
        script.answerFile(path);
        action("actionLoad_brush_texture")->trigger();
        QCOMPARE(brush->texture().size(), QSize(60, 20));
        QCOMPARE(brush->radius(), 30.0);
        QCOMPARE(dockRadius()->value(), 30.0);
    }

    // The radius set in the dock is the width of the next stroke.
    void strokeIsAsWideAsTheDockSays()
    {
        MBrush *brush = select("round");
        brush->setHardness(1.0);
        brush->setOpacity(1.0);
        brush->setFlow(1.0);
        MWidget *view = m_window->view();
        MCanvas *canvas = view->canvas();
        auto *dock = m_window->findChild<QDockWidget *>("brushSettingsDockWidget");
        QVERIFY(dock->isVisible());
        QCOMPARE(dockRadius()->value(), 4.0);

        QVERIFY(MTestMainWindow::drag(view, QPointF(-120, -60), QPointF(120, -60)));
        dockRadius()->set_value(12);
        QCOMPARE(brush->radius(), 12.0);
        QVERIFY(MTestMainWindow::drag(view, QPointF(-120, 60), QPointF(120, 60)));
        QCOMPARE(canvas->undoStack()->count(), 2);

        const QImage pixels = MTestMainWindow::layerPixels(canvas, canvas->currentRow());
        const QPoint corner = canvas->paintedRect().topLeft().toPoint();
        const QImage thin = pixels.copy(QRect(QPoint(-150, -100) - corner, QSize(300, 80)));
        const QImage wide = pixels.copy(QRect(QPoint(-150, 20) - corner, QSize(300, 80)));
        for (int x : {-60, 0, 60}) {
            const int column = x + 150;
            const int thinHeight = MTestMainWindow::paintedRows(thin, column);
            const int wideHeight = MTestMainWindow::paintedRows(wide, column);
            QVERIFY2(qAbs(thinHeight - 8) <= 2, qPrintable(QString("thin %1 at %2").arg(thinHeight).arg(x)));
            QVERIFY2(qAbs(wideHeight - 24) <= 2, qPrintable(QString("wide %1 at %2").arg(wideHeight).arg(x)));
        }
        m_window->showPanel(dock);
        QTest::qWait(300);
        MTestScreenshot::keep(m_window->grab(), QStringLiteral("brushsettingsdock.png"));
    }

    // Each page of the dock after the preferred settings is a category of the
    // setting table, with its settings in the category's order; a setting
    // changed on its page paints at once.
    void categoryPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("size") << "Size"
                              << QStringList{"radius",  "spacing", "spacingType", "minDistance", "accumulatorDistance",
                                             "offsetX", "offsetY"};
        QTest::newRow("opacity") << "Opacity"
                                 << QStringList{"flow", "opacity", "hardness", "density", "antialiasing", "eraser"};
        QTest::newRow("shape") << "Shape" << QStringList{"shape", "ratio", "angle", "angleType"};
        QTest::newRow("color") << "Color"
                               << QStringList{"colorAbsorbtionRate", "colorFlowingRate", "preserveTextureColor",
                                              "useBorderColor",      "brushColorHue",    "brushColorSaturation",
                                              "brushColorValue",     "borderColorHue",   "borderColorSaturation",
                                              "borderColorValue"};
        QTest::newRow("composition") << "Composition"
                                     << QStringList{"compositionMode",         "inheritAlphaCurrent",
                                                    "inheritAlphaUnder",       "sourceRgbBlendMode",
                                                    "sourceAlphaBlendMode",    "destinationRgbBlendMode",
                                                    "destinationAlphaBlendMode", "rgbBlendEquation",
                                                    "alphaBlendEquation",      "factor"};
    }

    void categoryPages()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, settings);
        MBrush *brush = select("round");
        MBrushSettingsWidget *widget = m_window->brushSettingsWidget();
        auto *pages = widget->findChild<QComboBox *>(QStringLiteral("quickSettingsComboBox"));
        QCOMPARE(pages->count(), 6);
        const int index = pages->findText(page);
        QVERIFY(index > 0);
        pages->setCurrentIndex(index);
        QStringList shown;
        for (const MField *field : widget->fieldPanel()->fields())
            shown << QString::fromLatin1(field->name());
        QCOMPARE(shown, settings);
        if (page == QLatin1String("Size")) {
            // The radius of this page paints: a 16 pixel wide stroke.
            brush->setHardness(1.0);
            brush->setOpacity(1.0);
            brush->setFlow(1.0);
            auto *radius = qobject_cast<MSliderSpinbox *>(widget->fieldPanel()->editor("radius"));
            QVERIFY(radius);
            radius->set_value(8);
            QCOMPARE(brush->radius(), 8.0);
            MWidget *view = m_window->view();
            MCanvas *canvas = view->canvas();
            QVERIFY(MTestMainWindow::drag(view, QPointF(-120, 115), QPointF(120, 115)));
            const QImage pixels = MTestMainWindow::layerPixels(canvas, canvas->currentRow());
            const QPoint corner = canvas->paintedRect().topLeft().toPoint();
            const QImage band = pixels.copy(QRect(QPoint(-150, 95) - corner, QSize(300, 45)));
            const int height = MTestMainWindow::paintedRows(band, 150);
            QVERIFY2(qAbs(height - 16) <= 2, qPrintable(QString::number(height)));
            m_window->showPanel(m_window->findChild<QDockWidget *>("brushSettingsDockWidget"));
            QTest::qWait(300);
            MTestScreenshot::keep(m_window->grab(), QStringLiteral("brushsettingsdock-size.png"));
        }
        pages->setCurrentIndex(0);
    }
};

QTEST_MAIN(TestBrushSettingsDock)
#include "tst_brushsettingsdock.moc"

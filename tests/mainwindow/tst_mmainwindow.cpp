#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushsettingswidget.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mcolorpalettewidget.h"
#include "mcolorwidget.h"
#include "mgradientpalette.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "mpaintstatuswidget.h"
#include "mshaderwidget.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtool.h"
#include "mtools.h"
#include "mtestfolder.h"
#include "mtexturelayer.h"
#include "mthumbnailwidget.h"
#include "mwidget.h"

#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoCommand>
#include <QUndoView>
#include <QUuid>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>

namespace {

// The window's form read straight from its Designer file, so that the checks
// below cover every command of it without a second copy of the table.
struct FormAction
{
    QString text, toolTip, key, icon;
    bool checkable = false;
};

struct FormContainer
{
    QString title, toolTip, area, contents, allowedAreas;
    bool toolBarBreak = false;
    int maximumWidth = 0;
    QStringList entries;
};

struct Form
{
    QStringList actionOrder;
    QHash<QString, FormAction> actions;
    QStringList menuBar;
    QMap<QString, FormContainer> menus, toolBars, docks;
};

QString formPath()
{
    return QStringLiteral(KALMI_TEST_DATA_DIR "/../../src/mainwindow/mmainwindow.ui");
}

const Form &form()
{
    static Form f;
    if (!f.actionOrder.isEmpty())
        return f;
    QFile file(formPath());
    if (!file.open(QIODevice::ReadOnly))
        return f;
    QXmlStreamReader xml(&file);
    // The chain of open widget and action elements: (class, name).
    QVector<QPair<QString, QString>> open;
    QString property;
    auto container = [](const QPair<QString, QString> &owner) -> FormContainer * {
        if (owner.first == QLatin1String("QMenu"))
            return &f.menus[owner.second];
        if (owner.first == QLatin1String("QToolBar"))
            return &f.toolBars[owner.second];
        if (owner.first == QLatin1String("QDockWidget"))
            return &f.docks[owner.second];
        return nullptr;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString tag = xml.name().toString();
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (tag == QLatin1String("widget")) {
                if (!open.isEmpty() && open.last().first == QLatin1String("QDockWidget"))
                    f.docks[open.last().second].contents = a.value("name").toString();
                open.append({a.value("class").toString(), a.value("name").toString()});
            } else if (tag == QLatin1String("action")) {
                open.append({QStringLiteral("action"), a.value("name").toString()});
                f.actionOrder.append(a.value("name").toString());
            } else if (tag == QLatin1String("layout")) {
                open.append({QStringLiteral("layout"), a.value("name").toString()});
            } else if (tag == QLatin1String("property") || tag == QLatin1String("attribute")) {
                property = a.value("name").toString();
            } else if (tag == QLatin1String("addaction") && !open.isEmpty()) {
                const QString name = a.value("name").toString();
                if (open.last().first == QLatin1String("QMenuBar"))
                    f.menuBar.append(name);
                else if (FormContainer *c = container(open.last()))
                    c->entries.append(name);
            } else if (!open.isEmpty() && !property.isEmpty()) {
                const QPair<QString, QString> owner = open.last();
                if (tag == QLatin1String("width") && property == QLatin1String("maximumSize")) {
                    if (FormContainer *c = container(owner))
                        c->maximumWidth = xml.readElementText().toInt();
                    continue;
                }
                if (tag != QLatin1String("string") && tag != QLatin1String("bool") && tag != QLatin1String("enum")
                    && tag != QLatin1String("set") && tag != QLatin1String("number") && tag != QLatin1String("normaloff"))
                    continue;
                const QString value = xml.readElementText();
                if (owner.first == QLatin1String("action")) {
                    FormAction &action = f.actions[owner.second];
                    if (property == QLatin1String("text"))
                        action.text = value;
                    else if (property == QLatin1String("toolTip"))
                        action.toolTip = value;
                    else if (property == QLatin1String("shortcut"))
                        action.key = value;
                    else if (property == QLatin1String("checkable"))
                        action.checkable = value == QLatin1String("true");
                    else if (property == QLatin1String("icon"))
                        action.icon = value;
                } else if (FormContainer *c = container(owner)) {
                    if (property == QLatin1String("title") || property == QLatin1String("windowTitle"))
                        c->title = value;
                    else if (property == QLatin1String("toolTip"))
                        c->toolTip = value;
                    else if (property == QLatin1String("toolBarArea") || property == QLatin1String("dockWidgetArea"))
                        c->area = value;
                    else if (property == QLatin1String("toolBarBreak"))
                        c->toolBarBreak = value == QLatin1String("true");
                    else if (property == QLatin1String("allowedAreas"))
                        c->allowedAreas = value;
                }
            }
        } else if (xml.isEndElement()) {
            if (tag == QLatin1String("widget") || tag == QLatin1String("action") || tag == QLatin1String("layout"))
                open.removeLast();
            else if (tag == QLatin1String("property") || tag == QLatin1String("attribute"))
                property.clear();
        }
    }
    return f;
}

// What the window shows for the entries of a menu or tool bar: object names,
// sub-menus by their menu's name, "separator"; entries the window adds at run
// time (brush shortcuts, captions, tool options) have no name and are skipped.
QStringList entriesOf(const QList<QAction *> &actions)
{
    QStringList names;
    for (QAction *action : actions) {
        if (action->isSeparator())
            names.append(QStringLiteral("separator"));
        else if (action->menu())
            names.append(action->menu()->objectName());
        else if (!action->objectName().isEmpty())
            names.append(action->objectName());
    }
    return names;
}

QStringList visibleDocks(QMainWindow *window)
{
    QStringList names;
    for (QDockWidget *dock : window->findChildren<QDockWidget *>()) {
        if (!dock->isHidden())
            names.append(dock->objectName());
    }
    names.sort();
    return names;
}

QStringList visibleToolBars(QMainWindow *window)
{
    QStringList names;
    for (QToolBar *bar : window->findChildren<QToolBar *>()) {
        if (!bar->isHidden())
            names.append(bar->objectName());
    }
    names.sort();
    return names;
}

class UndoStep : public QUndoCommand
{
public:
    UndoStep() : QUndoCommand(QStringLiteral("step")) {}
};

} // namespace

class TestMMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    // One window for the checks that only read the form; the tests that
    // change a window build their own.
    std::unique_ptr<MMainWindow> formWindow;

    MMainWindow *readOnlyWindow()
    {
        if (!formWindow)
            formWindow.reset(new MMainWindow());
        return formWindow.get();
    }

    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    void makeWindow(bool show = false)
    {
        window.reset(new MMainWindow());
        if (show) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
    }

    // Closes the window as the user would, the document left unmodified.
    void closeWindow()
    {
        QVERIFY(window->close());
        window.reset();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        QVERIFY2(!form().actionOrder.isEmpty(), qPrintable(formPath()));
    }

    void init()
    {
        static const QStringList readers{"formRowsMatchTheTable", "everyActionAsInTheForm", "pendingCommandsNameActions",
                                         "keysAreUnique", "menusAsInTheForm", "menuBarAndSubMenus",
                                         "toolBarsAsInTheForm", "docksAsInTheForm"};
        if (readers.contains(QTest::currentTestFunction()))
            return;
        formWindow.reset();
        MSettings::instance()->clear();
        MSettings::instance()->set_textDuration(0);
    }

    void cleanup() { window.reset(); }
    void cleanupTestCase() { formWindow.reset(); }

    // ------------------------------------------------------------ the command table

    void formHoldsTheWholeTable()
    {
        const Form &f = form();
        QCOMPARE(f.actions.size(), 130);
        QCOMPARE(f.menus.size(), 17);
        QCOMPARE(f.toolBars.size(), 17);
        QCOMPARE(f.docks.size(), 8);
        QCOMPARE(f.menuBar, QStringList({"menuFile", "menuEdit", "menuSelection", "menuLayers", "menuEffects", "menuBrush",
                                         "menuTools", "menuWindow", "menuHelp"}));
        int keys = 0;
        for (const FormAction &action : f.actions)
            keys += action.key.isEmpty() ? 0 : 1;
        // 61 keys of the table and the one chosen here for the settings command.
        QCOMPARE(keys, 62);
        // A few placements written out by hand.
        QCOMPARE(f.menus.value("menuFile").entries,
                 QStringList({"actionFileNew", "actionFileOpen", "actionFileSave", "actionFileSaveAs", "separator",
                              "actionImport_image_file", "actionExportAsImage", "actionPrint", "actionProperties",
                              "separator", "menuRecentFiles", "separator", "actionFileExit"}));
        QCOMPARE(f.menus.value("menuEffects").entries,
                 QStringList({"actionPreviewShader", "actionShowHideShaderPreview", "actionRemoveShaderPreview",
                              "actionRasterizeShader", "separator", "menuEffects_development", "actionRename_effect",
                              "actionImport_effect", "menuThumbnail"}));
        QCOMPARE(f.toolBars.value("toolsToolBar").entries,
                 QStringList({"actionPanTool", "actionBrushTool", "actionSelectionTool", "actionLineTool",
                              "actionShapeTool", "actionFillTool", "actionFillSelectionTool", "actionTextTool",
                              "actionGradientTool", "actionImageTool", "actionColorPickerTool", "actionRotateTool",
                              "actionZoomTool", "separator", "actionSymmetryTool", "actionGridTool",
                              "actionPerspectiveTool", "actionComicStripTool", "actionRullerTool"}));
        QCOMPARE(f.toolBars.value("brushToolBar").entries,
                 QStringList({"actionEraserMode", "actionFillSelection", "actionStrokeSelection", "separator",
                              "actionResetBrushSettings"}));
        // Only the fill bar starts a second row.
        for (auto bar = f.toolBars.cbegin(); bar != f.toolBars.cend(); ++bar) {
            QCOMPARE(bar->toolBarBreak, bar.key() == "fillToolBar");
            QCOMPARE(bar->area, QString(bar.key() == "toolsToolBar" ? "LeftToolBarArea" : "TopToolBarArea"));
        }
    }

    // A few rows of the table written out by hand, so a slip in the form shows.
    void formRowsMatchTheTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("checkable");
        QTest::newRow("open") << "actionFileOpen" << "Open file..." << "Ctrl+O" << ":/icons/file-open.ico" << "Open a file" << false;
        QTest::newRow("save as") << "actionFileSaveAs" << "Save file as..." << "Ctrl+Shift+S" << "" << "Save file as" << false;
        QTest::newRow("paper bigger") << "actionIncreasePaperSize" << "Increase paper size" << "Alt++" << "" << "Increase paper size" << false;
        QTest::newRow("paper auto") << "actionPaper_auto_extension" << "Paper auto extension" << "" << "" << "Paper auto extension" << true;
        QTest::newRow("show layer") << "actionShowLayer" << "Show/Hide layer" << "Ctrl+Space" << ":/icons/visible.ico" << "Show/Hide selected layer" << false;
        QTest::newRow("lock layer") << "actionLockLayer" << "Lock/Unlock layer" << "Ctrl+Return" << ":/icons/lock-on.ico" << "Lock selected layer" << false;
        QTest::newRow("delete effect") << "actionRemoveShader" << "Delete effect" << "Shift+E" << ":/icons/minus.ico"
                                       << "Delete and remove current selected effect from list" << false;
        QTest::newRow("brush tool") << "actionBrushTool" << "Brush" << "B" << ":/icons/tools/brush-tool.ico" << "Brush tool" << true;
        QTest::newRow("magic wand") << "actionFillSelectionTool" << "Magic wand" << "W" << ":/icons/tools/fillselection-tool.ico"
                                    << "Magic wand selection tool" << true;
        QTest::newRow("ruler") << "actionRullerTool" << "Ruler" << "J" << ":/icons/tools/ruller-tool.ico" << "Ruler tool" << true;
        QTest::newRow("color converter") << "actionColor_converter" << "Color converter" << "" << "" << "Color converter" << false;
        QTest::newRow("more opaque") << "actionIncreaseWindowTransparency" << "Increase window transparency" << "Ctrl++" << ""
                                     << "Increase window transparency" << false;
        QTest::newRow("full screen") << "actionFullScreen" << "Full screen" << "F12" << "" << "Full screen" << true;
        QTest::newRow("eraser") << "actionEraserMode" << "Eraser mode" << "E" << ":/icons/tools/eraser-tool.ico"
                                << "Set current brush eraser mode" << true;
        QTest::newRow("lock points") << "actionLockBrushControlPoints" << "Lock brush control points" << "" << ":/icons/lock-on.ico"
                                     << "Lock brush control points" << true;
        QTest::newRow("help") << "actionHelp_index" << "Help index" << "F1" << ":/icons/help-index.ico" << "Help index" << false;
    }

    void formRowsMatchTheTable()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, icon);
        QFETCH(QString, toolTip);
        QFETCH(bool, checkable);
        MMainWindow *window = readOnlyWindow();
        auto *action = window->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), key);
        QCOMPARE(action->toolTip(), toolTip);
        QCOMPARE(action->isCheckable(), checkable);
        QCOMPARE(form().actions.value(name).icon, icon);
    }

    void everyActionAsInTheForm_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : form().actionOrder)
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyActionAsInTheForm()
    {
        QFETCH(QString, name);
        const FormAction expected = form().actions.value(name);
        MMainWindow *window = readOnlyWindow();
        auto *action = window->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->parent(), window);
        QCOMPARE(action->text(), expected.text);
        QString tip = expected.toolTip;
        if (tip.isEmpty())
            tip = expected.text.endsWith("...") ? expected.text.chopped(3) : expected.text;
        QCOMPARE(action->toolTip(), tip);
        const QString key = name == "actionFullScreen" ? QString("F12") : expected.key;
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), key);
        QCOMPARE(action->isCheckable(), expected.checkable);
        // The brush tool is the current tool once the window is built.
        QCOMPARE(action->isChecked(), name == "actionBrushTool");
        if (expected.icon.isEmpty()) {
            QVERIFY(action->icon().isNull());
        } else {
            // The action shows the built-in picture of that name, a real icon
            // file holding it at 16 and 32 pixels.
            QImageReader reader(expected.icon);
            QCOMPARE(reader.format(), QFileInfo(expected.icon).suffix().toLatin1());
            QCOMPARE(reader.imageCount(), 2);
            const QImage picture(expected.icon);
            QVERIFY2(!picture.isNull(), qPrintable(expected.icon));
            QCOMPARE(picture.size(), QSize(16, 16));
            QCOMPARE(action->icon().availableSizes(), QList<QSize>({QSize(16, 16), QSize(32, 32)}));
            QCOMPARE(action->icon().pixmap(picture.size()).toImage().convertToFormat(QImage::Format_ARGB32),
                     picture.convertToFormat(QImage::Format_ARGB32));
        }
        const bool hidden = name == "actionGenerate_help" || name == "actionImageToPath" || name == "actionDraw_tiles"
                            || name == "actionCopy_brush_to_system_directory"
                            || name == "actionRemove_brush_from_system_directory";
        QCOMPARE(action->isVisible(), !hidden);
        // A tool's command is usable once the registry has that tool.
        const QVariant toolId = action->property("VAN_TOOLID");
        // The layer's effect commands wait for an effect on the layer, Preview
        // for an effect chosen in the effect list.
        const bool waitsForEffect = name == "actionEdit_layer_effect_settings" || name == "actionShowHideShaderPreview"
                                    || name == "actionRemoveShaderPreview" || name == "actionRasterizeShader"
                                    || name == "actionPreviewShader";
        // Undo and Redo wait for a step to take; moving and merging the one
        // layer of a new document, for another layer.
        const bool waitsForDocument = name == "actionUndo" || name == "actionRedo" || name == "actionMoveLayerUp"
                                      || name == "actionMoveLayerDown" || name == "actionMergeLayerWithUpper"
                                      || name == "actionMergeLayerWithLower";
        if (toolId.isValid())
            QCOMPARE(action->isEnabled(), MTools::instance()->tool(toolId.toInt()) != nullptr);
        else if (name == "actionDelete_brush")
            QCOMPARE(action->isEnabled(), !MBrushList::instance()->currentBrush()->systemFileExists());
        else if (name == "actionRestore_brush")
            QCOMPARE(action->isEnabled(), MBrushList::instance()->currentBrush()->systemFileExists());
        else if (name == "actionReset_brush_engine")
            QCOMPARE(action->isEnabled(), !MBrushList::instance()->currentBrush()->shaderId().isEmpty());
        else
            QCOMPARE(action->isEnabled(), !hidden && !waitsForEffect && !waitsForDocument
                                               && !MMainWindow::pendingCommands().contains(name));
    }

    void pendingCommandsNameActions()
    {
        MMainWindow *window = readOnlyWindow();
        for (const QString &name : MMainWindow::pendingCommands())
            QVERIFY2(window->findChild<QAction *>(name), qPrintable(name));
        // What the window does itself stays usable.
        for (const char *name : {"actionFileExit", "actionUndo", "actionRedo", "actionWindowTransparency",
                                 "actionIncreaseWindowTransparency", "actionDecreaseWindowTransparency", "actionFullScreen",
                                 "actionRestartApplication", "actionRestoreDefaultLayout"})
            QVERIFY2(!MMainWindow::pendingCommands().contains(name), name);
    }

    void keysAreUnique()
    {
        MMainWindow *window = readOnlyWindow();
        QHash<QString, QString> owners;
        for (QAction *action : window->findChildren<QAction *>()) {
            const QString key = action->shortcut().toString(QKeySequence::PortableText);
            if (key.isEmpty())
                continue;
            QVERIFY2(!owners.contains(key), qPrintable(key + " of " + owners.value(key) + " and " + action->text()));
            owners.insert(key, action->text());
        }
        // The table's keys, F12 and one Ctrl+digit per brush up to ten.
        QCOMPARE(owners.size(), 62 + 1 + qMin(10, MBrushList::instance()->rowCount()));
        // Single keys act without a modifier.
        for (const char *key : {"B", "S", "L", "A", "F", "W", "T", "H", "I", "P", "Y", "G", "K", "C", "J", "X", "R", "Z", "E", "+", "-"})
            QVERIFY2(QKeySequence::fromString(key)[0] == int(QKeySequence::fromString(key)[0] & ~Qt::KeyboardModifierMask), key);
    }

    void menusAsInTheForm_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : form().menus.keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void menusAsInTheForm()
    {
        QFETCH(QString, name);
        const FormContainer expected = form().menus.value(name);
        MMainWindow *window = readOnlyWindow();
        auto *menu = window->findChild<QMenu *>(name);
        QVERIFY(menu);
        QCOMPARE(menu->title(), expected.title);
        QCOMPARE(menu->toolTip(), expected.toolTip);
        QCOMPARE(entriesOf(menu->actions()), expected.entries);
    }

    void menuBarAndSubMenus()
    {
        MMainWindow *window = readOnlyWindow();
        QCOMPARE(entriesOf(window->menuBar()->actions()), form().menuBar);
        QCOMPARE(window->menuBar()->objectName(), QString("menuBar"));
        // The menus the form leaves empty exist with their titles.
        const QList<QPair<const char *, const char *>> empty{{"menuRecentFiles", "Recent files"},
                                                              {"menuSelectBrush", "Select brush"},
                                                              {"menuToolBars", "Tool bars"},
                                                              {"menuPanels", "Panels"}};
        for (const auto &menu : empty) {
            QVERIFY(window->findChild<QMenu *>(menu.first));
            QCOMPARE(window->findChild<QMenu *>(menu.first)->title(), QString(menu.second));
        }
        QCOMPARE(window->findChild<QAction *>("actionFileExit")->menuRole(), QAction::QuitRole);
        QCOMPARE(window->findChild<QAction *>("actionEditSettings")->menuRole(), QAction::PreferencesRole);
        QCOMPARE(window->findChild<QAction *>("actionAbout_Kalmi")->menuRole(), QAction::AboutRole);
    }

    void toolBarsAsInTheForm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const QList<QPair<QString, QString>> captions{
            {"mainToolBar", "FILE:"}, {"toolsToolBar", "TOOL:"}, {"brushToolBar", "BRUSH:"},
            {"selectionToolBar", "SELECTION:"}, {"shapeToolBar", "SHAPE:"}, {"gridToolBar", "GRID:"},
            {"symmetryToolBar", "SYMMETRY:"}, {"textToolBar", "TEXT:"}, {"lineToolBar", "LINE:"},
            {"imageToolBar", "IMAGE:"}, {"perspectiveToolBar", "PERSPECTIVE:"}, {"fillToolBar", "FILL:"},
            {"fillSelectionToolBar", "MAGIC WAND:"}, {"layerToolBar", "LAYERS:"}, {"gradientToolBar", "GRADIENT:"},
            {"comicStripToolBar", "COMIC STRIP:"}, {"rullerToolBar", "RULER:"}};
        QCOMPARE(captions.size(), form().toolBars.size());
        for (const auto &row : captions)
            QTest::newRow(qPrintable(row.first)) << row.first << row.second;
    }

    void toolBarsAsInTheForm()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QVERIFY(form().toolBars.contains(name));
        const FormContainer expected = form().toolBars.value(name);
        MMainWindow *window = readOnlyWindow();
        auto *bar = window->findChild<QToolBar *>(name);
        QVERIFY(bar);
        QCOMPARE(bar->windowTitle(), expected.title);
        QCOMPARE(bar->iconSize(), QSize(18, 18));
        QCOMPARE(bar->styleSheet(), QString("QToolBar { spacing: 6px; }"));
        QCOMPARE(window->toolBarArea(bar), name == "toolsToolBar" ? Qt::LeftToolBarArea : Qt::TopToolBarArea);
        // The form's commands come first, in order, after the caption.
        const QStringList shown = entriesOf(bar->actions());
        QCOMPARE(shown.mid(0, expected.entries.size()), expected.entries);
        QStringList named = shown.filter(QRegularExpression("^action"));
        QCOMPARE(named, QStringList(expected.entries).filter(QRegularExpression("^action")));
        auto *title = qobject_cast<QLabel *>(bar->widgetForAction(bar->actions().first()));
        QVERIFY(title);
        QCOMPARE(title->text(), caption);
    }

    void docksAsInTheForm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("contents");
        QTest::addColumn<int>("maximumWidth");
        QTest::addColumn<bool>("sidesOnly");
        QTest::addColumn<int>("formArea");
        // A dock's largest size.
        const int unbounded = 524287;
        // Written out by hand: the dock table (form area 1 left, 2 right).
        QTest::newRow("colors") << "colorDockWidget" << "colorDockWidgetContents" << 300 << true << 2;
        QTest::newRow("effects") << "shaderDockWidget" << "shaderDockWidgetContents" << 300 << true << 2;
        QTest::newRow("brushes") << "brushDockWidget" << "dockWidgetContents" << 300 << true << 1;
        QTest::newRow("brush settings") << "brushSettingsDockWidget" << "dockWidgetContents_2" << 300 << true << 1;
        QTest::newRow("palettes") << "colorPaletteDockWidget" << "dockWidgetContents_3" << unbounded << true << 2;
        QTest::newRow("undo") << "undoDockWidget" << "dockWidgetContents_4" << unbounded << true << 2;
        QTest::newRow("layer") << "thumbnailDockWidget" << "dockWidgetContents_6" << unbounded << false << 1;
        QTest::newRow("gradient") << "gradientDockWidget" << "dockWidgetContents_5" << unbounded << false << 2;
    }

    void docksAsInTheForm()
    {
        QFETCH(QString, name);
        QFETCH(QString, contents);
        QFETCH(int, maximumWidth);
        QFETCH(bool, sidesOnly);
        QFETCH(int, formArea);
        const int unbounded = 524287;
        const FormContainer expected = form().docks.value(name);
        MMainWindow *window = readOnlyWindow();
        auto *dock = window->findChild<QDockWidget *>(name);
        QVERIFY(dock);
        // The thumbnail's dock is named after the current layer.
        QCOMPARE(dock->windowTitle(), name == "thumbnailDockWidget"
                                          ? QStringLiteral("Thumbnail: %1").arg(window->view()->canvas()->current()->name())
                                          : expected.title);
        QCOMPARE(dock->toolTip(), expected.toolTip);
        if (maximumWidth == unbounded)
            QVERIFY(dock->maximumWidth() >= unbounded);
        else
            QCOMPARE(dock->maximumWidth(), maximumWidth);
        QVERIFY(dock->maximumHeight() >= unbounded);
        QCOMPARE(dock->allowedAreas(), sidesOnly ? Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea : Qt::AllDockWidgetAreas);
        QCOMPARE(dock->features(), QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                                       | QDockWidget::DockWidgetFloatable);
        QCOMPARE(dock->widget()->objectName(), contents);
        QCOMPARE(expected.contents, contents);
        QCOMPARE(expected.area.toInt(), formArea);
        if (name == "undoDockWidget") {
            auto *view = dock->widget()->findChild<QUndoView *>();
            QVERIFY(view);
            QCOMPARE(view->stack(), window->view()->canvas()->undoStack());
        } else if (name == "brushDockWidget") {
            QCOMPARE(dock->widget()->findChild<MBrushWidget *>(), window->brushWidget());
            QCOMPARE(window->brushWidget()->brushListWidget()->duplicateBrushAction(),
                     window->findChild<QAction *>("actionDuplicate_brush"));
            QCOMPARE(window->brushWidget()->brushListWidget()->loadBrushTextureAction(),
                     window->findChild<QAction *>("actionLoad_brush_texture"));
        } else if (name == "shaderDockWidget") {
            QCOMPARE(dock->widget()->findChild<MShaderWidget *>(), window->shaderWidget());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
            MShaderWidget *list = window->shaderWidget();
            QCOMPARE(list->editShaderAction(), window->findChild<QAction *>("actionEditShader"));
            QCOMPARE(list->newShaderAction(), window->findChild<QAction *>("actionNewShader"));
            QCOMPARE(list->removeShaderAction(), window->findChild<QAction *>("actionRemoveShader"));
            QCOMPARE(list->duplicateShaderAction(), window->findChild<QAction *>("actionDuplicateShader"));
            QCOMPARE(list->applyShaderAction(), window->findChild<QAction *>("actionPreviewShader"));
        } else if (name == "colorDockWidget") {
            QCOMPARE(dock->widget()->findChild<MColorWidget *>(), window->colorWidget());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
        } else if (name == "gradientDockWidget") {
            QCOMPARE(dock->widget()->findChild<MGradientPalette *>(), window->gradientPalette());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
        } else if (name == "colorPaletteDockWidget") {
            QVERIFY(window->colorPaletteWidget());
            QCOMPARE(dock->widget()->findChild<MColorPaletteWidget *>(), window->colorPaletteWidget());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
        } else if (name == "brushSettingsDockWidget") {
            QVERIFY(window->brushSettingsWidget());
            QCOMPARE(dock->widget()->findChild<MBrushSettingsWidget *>(), window->brushSettingsWidget());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
        } else if (name == "thumbnailDockWidget") {
            QVERIFY(window->thumbnailWidget());
            QCOMPARE(dock->widget()->findChild<MThumbnailWidget *>(), window->thumbnailWidget());
            QCOMPARE(window->thumbnailWidget()->widget(), window->view());
            QVERIFY(!dock->widget()->findChild<QLabel *>(name + "Placeholder"));
        } else {
            QFAIL(qPrintable("a dock of the form without its panel: " + name));
        }
    }

    void panelAndToolBarMenus()
    {
        makeWindow(true);
        auto *panels = child<QMenu>("menuPanels");
        QMetaObject::invokeMethod(panels, "aboutToShow");
        QStringList titles;
        for (QAction *action : panels->actions()) {
            QVERIFY(action->isCheckable());
            auto *dock = action->data().value<QDockWidget *>();
            QVERIFY(dock);
            QCOMPARE(action->text(), dock->windowTitle());
            QCOMPARE(action->isChecked(), dock->isVisible());
            titles.append(action->text());
        }
        titles.sort();
        QStringList expectedTitles{"Brush settings", "Brushes", "Colors", "Effects", "Gradient", "Palettes", "Undo",
                                   "Thumbnail: " + window->view()->canvas()->current()->name()};
        expectedTitles.sort();
        QCOMPARE(titles, expectedTitles);
        // Checking a hidden panel shows it; unchecking hides it again.
        QAction *undo = nullptr;
        for (QAction *action : panels->actions()) {
            if (action->text() == "Undo")
                undo = action;
        }
        QVERIFY(undo);
        undo->setChecked(true);
        QVERIFY(child<QDockWidget>("undoDockWidget")->isVisible());
        undo->setChecked(false);
        QVERIFY(!child<QDockWidget>("undoDockWidget")->isVisible());
        // Filling twice does not pile up entries.
        QMetaObject::invokeMethod(panels, "aboutToShow");
        QCOMPARE(panels->actions().size(), 8);

        auto *bars = child<QMenu>("menuToolBars");
        QMetaObject::invokeMethod(bars, "aboutToShow");
        QMetaObject::invokeMethod(bars, "aboutToShow");
        QCOMPARE(bars->actions().size(), 17);
        auto *grid = child<QToolBar>("gridToolBar");
        QVERIFY(!grid->isVisible());
        for (QAction *action : bars->actions()) {
            if (action->text() == "Grid toolbar")
                action->trigger();
        }
        QVERIFY(grid->isVisible());
    }

    void showPanelBringsATabbedDockToTheFront()
    {
        makeWindow(true);
        auto *shader = child<QDockWidget>("shaderDockWidget");
        auto *palette = child<QDockWidget>("colorPaletteDockWidget");
        QVERIFY(window->tabifiedDockWidgets(palette).contains(shader));
        window->showPanel(palette);
        QTest::qWait(20);
        QVERIFY(!palette->visibleRegion().isEmpty());
        window->showPanel(shader);
        QTest::qWait(20);
        QVERIFY(!shader->visibleRegion().isEmpty());
        QVERIFY(palette->visibleRegion().isEmpty());
        window->showPanel(nullptr);
    }


    void toolRegistryLivesWithTheWindow_data()
    {
        QTest::addColumn<bool>("showGrid");
        QTest::newRow("grid hidden") << false;
        QTest::newRow("grid shown") << true;
    }

    void toolRegistryLivesWithTheWindow()
    {
        QFETCH(bool, showGrid);
        MSettings::instance()->setShowGrid(showGrid);
        makeWindow();
        MTools *tools = MTools::instance();
        QCOMPARE(MTools::widget(), window->view());
        QCOMPARE(tools->currentToolId(), int(MTool::BrushTool));
        QCOMPARE(child<QAction>("actionGridTool")->isChecked(), showGrid);
        QVERIFY(!child<QToolBar>("brushToolBar")->isHidden());
        // A tool's dock shown by the registry is brought forward.
        auto *palettes = child<QDockWidget>("colorPaletteDockWidget");
        palettes->hide();
        emit tools->showPanel(palettes);
        QVERIFY(!palettes->isHidden());
        window.reset();
        QVERIFY(!MTools::existingInstance());
    }

    // The focus leaves a child of the window while the window is going.
    void closingWithAFocusedChild()
    {
        makeWindow();
        class FocusedChild : public QWidget
        {
        public:
            using QWidget::QWidget;
            ~FocusedChild() override { emit qApp->focusChanged(this, nullptr); }
        };
        new FocusedChild(child<QDockWidget>("brushDockWidget")->widget());
        window.reset();
        QVERIFY(!MTools::existingInstance());
    }

    // The system description is logged once per window: after its first
    // frame, without the window waiting for it, or when the window goes
    // first.
    void systemDescribedOncePerWindow_data()
    {
        QTest::addColumn<bool>("waitForIt");
        QTest::newRow("window stays") << true;
        QTest::newRow("window goes at its first frame") << false;
    }
    void systemDescribedOncePerWindow()
    {
        QFETCH(bool, waitForIt);
        const auto described = [](int from) {
            return MTestLogWatch::fileMessages().mid(from).count("Dump OpenGl card config");
        };
        const int from = MTestLogWatch::fileMessages().size();
        makeWindow();
        MWidget *view = window->view();
        QSignalSpy frames(view, &QOpenGLWidget::frameSwapped);
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() > 0, 30000);
        if (waitForIt) {
            QTRY_COMPARE_WITH_TIMEOUT(described(from), 1, 60000);
        }
        window.reset();
        QCoreApplication::processEvents();
        QCOMPARE(described(from), 1);
        QCOMPARE(MTestLogWatch::fileMessages().mid(from).filter(QRegularExpression("^OpenGL renderer: ")).size(), 2);
    }

    // ------------------------------------------------------------ layout

    void firstRunUsesTheDefaultLayout()
    {
        QVERIFY(MSettings::instance()->firstUse());
        makeWindow();
        QVERIFY(!MSettings::instance()->firstUse());
        QCOMPARE(visibleDocks(window.get()), QStringList({"brushDockWidget", "brushSettingsDockWidget", "colorDockWidget",
                                                          "colorPaletteDockWidget", "shaderDockWidget"}));
        for (const char *name : {"colorDockWidget", "colorPaletteDockWidget", "brushDockWidget", "brushSettingsDockWidget",
                                 "shaderDockWidget"})
            QCOMPARE(window->dockWidgetArea(child<QDockWidget>(name)), Qt::RightDockWidgetArea);
        for (const char *name : {"undoDockWidget", "thumbnailDockWidget", "gradientDockWidget"})
            QCOMPARE(window->dockWidgetArea(child<QDockWidget>(name)), Qt::LeftDockWidgetArea);
        QCOMPARE(visibleToolBars(window.get()), QStringList({"brushToolBar", "layerToolBar", "mainToolBar", "toolsToolBar"}));
        QScreen *screen = window->screen();
        QCOMPARE(window->geometry(), screen->availableGeometry().adjusted(50, 50, -50, -50));
    }

    void nextRunRestoresTheStoredLayout_data()
    {
        QTest::addColumn<bool>("saveLayout");
        QTest::newRow("layout saved") << true;
        QTest::newRow("layout not saved") << false;
    }

    void nextRunRestoresTheStoredLayout()
    {
        QFETCH(bool, saveLayout);
        makeWindow(true);
        const QRect defaultGeometry = window->geometry();
        const QRect moved(70, 60, 900, 640);
        window->setGeometry(moved);
        child<QDockWidget>("undoDockWidget")->show();
        child<QDockWidget>("shaderDockWidget")->hide();
        window->addToolBar(Qt::BottomToolBarArea, child<QToolBar>("gridToolBar"));
        child<QToolBar>("gridToolBar")->show();
        window->addToolBar(Qt::RightToolBarArea, child<QToolBar>("toolsToolBar"));
        QTRY_COMPARE(window->geometry(), moved);
        closeWindow();
        QVERIFY(!MSettings::instance()->value("geometry").toByteArray().isEmpty());
        QVERIFY(!MSettings::instance()->value("windowState").toByteArray().isEmpty());

        MSettings::instance()->set_saveLayout(saveLayout);
        makeWindow(true);
        QCOMPARE(window->geometry(), saveLayout ? moved : defaultGeometry);
        QCOMPARE(child<QDockWidget>("undoDockWidget")->isVisible(), saveLayout);
        QCOMPARE(child<QDockWidget>("shaderDockWidget")->isVisible(), !saveLayout);
        // Option bars go back to the top, hidden, at every start; the tools
        // bar keeps its stored place.
        QCOMPARE(window->toolBarArea(child<QToolBar>("gridToolBar")), Qt::TopToolBarArea);
        QVERIFY(!child<QToolBar>("gridToolBar")->isVisible());
        QCOMPARE(window->toolBarArea(child<QToolBar>("toolsToolBar")), saveLayout ? Qt::RightToolBarArea : Qt::LeftToolBarArea);
    }

    void restoreDefaultLayoutCommand()
    {
        makeWindow(true);
        auto *brushes = child<QDockWidget>("brushDockWidget");
        brushes->setFloating(true);
        child<QDockWidget>("colorDockWidget")->hide();
        child<QDockWidget>("gradientDockWidget")->show();
        window->addDockWidget(Qt::LeftDockWidgetArea, child<QDockWidget>("colorPaletteDockWidget"));
        child<QAction>("actionRestoreDefaultLayout")->trigger();
        QVERIFY(!brushes->isFloating());
        QCOMPARE(window->dockWidgetArea(child<QDockWidget>("colorPaletteDockWidget")), Qt::RightDockWidgetArea);
        // Only the five default panels come back.
        QCOMPARE(visibleDocks(window.get()), QStringList({"brushDockWidget", "brushSettingsDockWidget", "colorDockWidget",
                                                          "colorPaletteDockWidget", "shaderDockWidget"}));
    }

    // ------------------------------------------------------------ window title

    void windowTitle_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("title");
        QTest::newRow("new") << "" << false << "KalmiDraw - new-document";
        QTest::newRow("new, modified") << "" << true << "KalmiDraw - new-document - Modified";
        QTest::newRow("stored") << "/pictures/sketch.kxd" << false << "KalmiDraw - sketch";
        QTest::newRow("stored, modified") << "/pictures/sketch.kxd" << true << "KalmiDraw - sketch - Modified";
        QTest::newRow("dots in the name") << "/pictures/my.sketch.kxd" << false << "KalmiDraw - my.sketch";
        QTest::newRow("image") << "/pictures/photo.PNG" << true << "KalmiDraw - photo - Modified";
    }

    void windowTitle()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, modified);
        QFETCH(QString, title);
        makeWindow();
        // From the start the title names the document.
        QVERIFY2(window->windowTitle().startsWith(QString("KalmiDraw - new document ")), qPrintable(window->windowTitle()));
        MCanvas *canvas = window->view()->canvas();
        canvas->setFileName(fileName);
        if (modified)
            canvas->undoStack()->push(new UndoStep);
        window->updateWindowTitle();
        QCOMPARE(window->windowTitle(), title);
        canvas->undoStack()->clear();
    }

    // ------------------------------------------------------------ transparency

    void transparency_data()
    {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("opacity");
        // i: more opaque, d: more transparent, t: on/off.
        QTest::newRow("nothing") << "" << 0.8 << 1.0;
        QTest::newRow("on") << "t" << 0.8 << 0.8;
        QTest::newRow("on and off") << "tt" << 0.8 << 1.0;
        QTest::newRow("increase five times") << "iiiii" << 1.0 << 1.0;
        QTest::newRow("decrease ten times") << "dddddddddd" << 0.2 << 0.2;
        QTest::newRow("decrease, then off") << "dt" << 0.7 << 1.0;
        QTest::newRow("decrease, off, on") << "dtt" << 0.7 << 0.7;
        QTest::newRow("floor, then up") << "ddddddddi" << 0.3 << 0.3;
    }

    void transparency()
    {
        QFETCH(QString, presses);
        QFETCH(double, stored);
        QFETCH(double, opacity);
        makeWindow();
        const QHash<QChar, QAction *> actions{{'i', child<QAction>("actionIncreaseWindowTransparency")},
                                              {'d', child<QAction>("actionDecreaseWindowTransparency")},
                                              {'t', child<QAction>("actionWindowTransparency")}};
        for (QChar press : presses)
            actions.value(press)->trigger();
        QVERIFY(qAbs(window->windowOpacityValue() - stored) < 1e-9);
        // The window keeps its opacity in 1/255 steps.
        QVERIFY2(qAbs(window->windowOpacity() - opacity) <= 1.0 / 255.0, qPrintable(QString::number(window->windowOpacity())));
    }

    // ------------------------------------------------------------ full screen

    void fullScreenHidesAndRestores()
    {
        makeWindow(true);
        child<QDockWidget>("undoDockWidget")->show();
        const QStringList docks = visibleDocks(window.get());
        const QStringList bars = visibleToolBars(window.get());
        auto *action = child<QAction>("actionFullScreen");

        // Escape outside full screen changes nothing.
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!action->isChecked());
        QCOMPARE(visibleDocks(window.get()), docks);

        action->setChecked(true);
        QVERIFY(visibleDocks(window.get()).isEmpty());
        QVERIFY(visibleToolBars(window.get()).isEmpty());
        QVERIFY(window->menuBar()->isVisible());
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window->isFullScreen());

        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!action->isChecked());
        QVERIFY(!window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!window->isFullScreen());
        QCOMPARE(visibleDocks(window.get()), docks);
        QCOMPARE(visibleToolBars(window.get()), bars);
        QVERIFY(child<QToolBar>("mainToolBar")->isVisible());
    }

    void layoutArrangedAfterFullScreenIsKept()
    {
        makeWindow(true);
        auto *action = child<QAction>("actionFullScreen");
        action->setChecked(true);
        action->setChecked(false);
        // Arranged after leaving full screen: closing must not bring back
        // the layout saved when full screen was entered.
        child<QDockWidget>("undoDockWidget")->show();
        child<QDockWidget>("colorDockWidget")->hide();
        closeWindow();
        makeWindow();
        QVERIFY(!child<QDockWidget>("undoDockWidget")->isHidden());
        QVERIFY(child<QDockWidget>("colorDockWidget")->isHidden());
    }

    // ------------------------------------------------------------ start-up file

    void startupFileOpenedOnce()
    {
        MTestFolder folder;
        const QString first = folder.filePath("first.png");
        const QString second = folder.filePath("second.png");
        QVERIFY(QImage(37, 23, QImage::Format_ARGB32).save(first));
        QVERIFY(QImage(50, 40, QImage::Format_ARGB32).save(second));
        MSettings::instance()->set_startupFile(first);
        makeWindow(true);
        QTRY_VERIFY(MSettings::instance()->startupFile().isEmpty());
        MCanvas *canvas = window->view()->canvas();
        QCOMPARE(canvas->paintedRect().size(), QSizeF(37, 23));

        // Later resizes open nothing and leave the setting alone.
        MSettings::instance()->set_startupFile(second);
        window->resize(window->size() - QSize(40, 30));
        QTest::qWait(50);
        QCOMPARE(canvas->paintedRect().size(), QSizeF(37, 23));
        QCOMPARE(MSettings::instance()->startupFile(), second);
    }

    void missingStartupFileIsSkipped()
    {
        MTestDialogScript script;
        MSettings::instance()->set_startupFile("/no/such/picture.png");
        makeWindow(true);
        QTRY_VERIFY(MSettings::instance()->startupFile().isEmpty());
        QTest::qWait(20);
        QVERIFY(script.requests().isEmpty());
        QVERIFY(window->view()->canvas()->isNew());
    }


    void openedFilesGoToRecentFiles()
    {
        MTestFolder folder;
        const QString first = folder.filePath("first.png");
        const QString second = folder.filePath("second.png");
        QVERIFY(QImage(37, 23, QImage::Format_ARGB32).save(first));
        QVERIFY(QImage(50, 40, QImage::Format_ARGB32).save(second));
        makeWindow(true);
        MCanvas *canvas = window->view()->canvas();
        QVERIFY(window->openFile(first));
        QVERIFY(window->openFile(second));
        QCOMPARE(canvas->paintedRect().size(), QSizeF(50, 40));
        // The recent-files menu opens the first picture again.
        QAction *entry = nullptr;
        for (QAction *action : child<QMenu>("menuRecentFiles")->actions()) {
            if (action->text().contains("first.png"))
                entry = action;
        }
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(canvas->paintedRect().size(), QSizeF(37, 23));

        // A file that is gone is refused with a message; nothing changes.
        MTestDialogScript script;
        QVERIFY(!window->openFile(folder.filePath("gone.png")));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QCOMPARE(script.requests().first().title, QString("Open file"));
        QCOMPARE(script.requests().first().text, QString("Cannot open file %1.").arg(folder.filePath("gone.png")));
        QCOMPARE(canvas->paintedRect().size(), QSizeF(37, 23));

        // A recent file spoilt since is refused from the menu with the reason.
        QFile spoilt(second);
        QVERIFY(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
        spoilt.write("no longer a picture");
        spoilt.close();
        entry = nullptr;
        for (QAction *action : child<QMenu>("menuRecentFiles")->actions()) {
            if (action->text().contains("second.png"))
                entry = action;
        }
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(script.requests().last().text, QString("Cannot open file %1.").arg(second));
        QVERIFY(script.requests().last().informativeText.startsWith("System error: Unable to read " + second));
        QCOMPARE(canvas->paintedRect().size(), QSizeF(37, 23));
    }

    // ------------------------------------------------------------ closing and restart

    void closeAsksForAModifiedDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("cancel") << 2 << false;
        QTest::newRow("don't save") << 1 << true;
    }

    void closeAsksForAModifiedDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        makeWindow(true);
        window->view()->canvas()->undoStack()->push(new UndoStep);
        MSettings::instance()->set_lastFile("elsewhere.kxd");
        MTestDialogScript script;
        script.answer(answer);
        QCOMPARE(window->close(), closed);
        QCOMPARE(script.requests().size(), 1);
        const MUtility::DialogRequest request = script.requests().first();
        QCOMPARE(request.text, QString("Close"));
        QCOMPARE(request.informativeText, QString("Do you want to save modifications?"));
        QCOMPARE(request.buttons, QStringList({"Save", "Don't save", "Cancel"}));
        QCOMPARE(window->isVisible(), !closed);
        MSettings *settings = MSettings::instance();
        for (const char *key : {"geometry", "windowState"})
            QCOMPARE(settings->contains(key), closed);
        QCOMPARE(settings->lastFile(), QString(closed ? "" : "elsewhere.kxd"));
        if (!closed)
            window->view()->canvas()->undoStack()->clear();
    }

    void restartEndsTheLoopWithItsCode_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("restart") << false << -123456789;
        QTest::newRow("cancelled at the question") << true << 7;
    }

    void restartEndsTheLoopWithItsCode()
    {
        QFETCH(bool, modified);
        QFETCH(int, exitCode);
        makeWindow(true);
        if (modified)
            window->view()->canvas()->undoStack()->push(new UndoStep);
        MTestDialogScript script;
        script.answer(2);
        QTimer::singleShot(0, window.get(), [this]() {
            child<QAction>("actionRestartApplication")->trigger();
            QTimer::singleShot(0, []() { QCoreApplication::exit(7); });
        });
        QCOMPARE(QCoreApplication::exec(), exitCode);
        QCOMPARE(script.requests().size(), modified ? 1 : 0);
        QCOMPARE(MSettings::instance()->contains("windowState"), !modified);
        window->view()->canvas()->undoStack()->clear();
    }

    void askRestart_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("restart") << 0 << -123456789;
        QTest::newRow("don't restart") << 1 << 7;
    }

    void askRestart()
    {
        QFETCH(int, answer);
        QFETCH(int, exitCode);
        makeWindow(true);
        MTestDialogScript script;
        script.answer(answer);
        QTimer::singleShot(0, window.get(), [this]() {
            window->askRestart("You must restart the application to apply these changes.");
            QTimer::singleShot(0, []() { QCoreApplication::exit(7); });
        });
        QCOMPARE(QCoreApplication::exec(), exitCode);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QString("You must restart the application to apply these changes."));
        QCOMPARE(script.requests().first().informativeText, QString("Do you want to restart?"));
        QCOMPARE(script.requests().first().buttons, QStringList({"Restart", "Don't restart"}));
    }

    // ------------------------------------------------------------ status bar, brushes, undo

    void statusBar()
    {
        makeWindow(true);
        QVERIFY(window->progressBar()->isHidden());
        QCOMPARE(window->messageLabel()->maximumWidth(), 500);
        QScrollBar *zoom = window->zoomBar();
        QCOMPARE(zoom->minimum(), 1);
        QCOMPARE(zoom->maximum(), 800);
        QCOMPARE(zoom->minimumWidth(), 150);
        zoom->setValue(250);
        QCOMPARE(window->view()->scale(), 2.5);
        zoom->setValue(100);
        QCOMPARE(window->view()->scale(), 1.0);
    }

    void brushShortcuts_data()
    {
        QTest::addColumn<int>("brushes");
        QTest::newRow("three") << 3;
        QTest::newRow("twelve") << 12;
    }

    void brushShortcuts()
    {
        QFETCH(int, brushes);
        // A library of copies of the shipped brush files, each under an id of its own.
        MTestFolder system, user;
        const QDir shipped(QStringLiteral(KALMI_BIN_DIR "/datas/brushes"));
        const QStringList files = shipped.entryList({"*.kxb"}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (int i = 0; i < brushes; ++i) {
            const QString id = QUuid::createUuid().toString().toLower();
            QVERIFY(QFile::copy(shipped.filePath(files.at(i % files.size())), system.filePath(id + ".kxb")));
        }
        MBrushList::destroyInstance();
        auto *library = new MBrushList(system.path(), user.path());
        MBrushList::setInstance(library);
        QCOMPARE(library->rowCount(), brushes);
        for (int i = 0; i < brushes; ++i)
            library->brush(i)->setEraser(i == 2);

        makeWindow();
        QList<QAction *> shortcuts;
        for (QAction *action : child<QMenu>("menuSelectBrush")->actions())
            shortcuts.append(action);
        QCOMPARE(shortcuts.size(), qMin(10, brushes));
        for (int i = 0; i < shortcuts.size(); ++i) {
            QCOMPARE(shortcuts[i]->text(), library->brush(i)->description());
            QCOMPARE(shortcuts[i]->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_0 + i));
        }
        auto *eraser = child<QAction>("actionEraserMode");
        shortcuts[2]->trigger();
        QCOMPARE(library->currentRow(), 2);
        QVERIFY(eraser->isChecked());
        shortcuts[1]->trigger();
        QCOMPARE(library->currentRow(), 1);
        QVERIFY(!eraser->isChecked());

        window.reset();
        MBrushList::destroyInstance();
    }

    void undoAndRedoCommands()
    {
        makeWindow();
        QUndoStack *stack = window->view()->canvas()->undoStack();
        stack->clear();
        stack->push(new UndoStep);
        stack->push(new UndoStep);
        child<QAction>("actionUndo")->trigger();
        QCOMPARE(stack->index(), 1);
        child<QAction>("actionUndo")->trigger();
        child<QAction>("actionRedo")->trigger();
        QCOMPARE(stack->index(), 1);
        stack->clear();
    }

    void paintStatusWidget_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << QRectF(0, 0, 1920, 1080) << "1920 - 1080";
        QTest::newRow("fraction") << QRectF(3, 4, 12.5, 0.25) << "12.5 - 0.25";
        QTest::newRow("six digits") << QRectF(0, 0, 1234567, 1.0 / 3.0) << "1.23457e+06 - 0.333333";
        QTest::newRow("empty") << QRectF() << "0 - 0";
    }

    void paintStatusWidget()
    {
        QFETCH(QRectF, rect);
        QFETCH(QString, text);
        MPaintStatusWidget widget;
        widget.setCanvasRect(rect);
        QCOMPARE(widget.text(), text);
    }
    // ------------------------------------------------------------ how it looks

    // Leaves mainwindow.png in the build folder: the window with a painting.
    void screenshotOfAPaintedDocument()
    {
        MSettings *settings = MSettings::instance();
        settings->set_defaultWidth(1400);
        settings->set_defaultHeight(900);
        makeWindow();
        window->resize(1280, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        MCanvas *canvas = window->view()->canvas();
        QTRY_VERIFY(canvas->isGlReady() && canvas->current());

        MBrushList *brushes = MBrushList::instance();
        auto stroke = [&](int row, double radius, const QColor &color, const QPainterPath &path) {
            brushes->setCurrentRow(row);
            brushes->currentBrush()->setRadius(radius);
            MColorList::instance()->setColor(color);
            QCOMPARE(canvas->brushStroke(path, false, MTool::currentPaint()), 1);
        };
        auto wave = [](double y, double amplitude, double phase) {
            QPainterPath path;
            // The document is centred on the origin.
            path.moveTo(-740, y - 450);
            for (int x = -40; x <= 1440; x += 20)
                path.lineTo(x - 700, y - 450 + amplitude * std::sin(x / 140.0 + phase));
            return path;
        };
        // Sky in soft bands, sun, two hills, grass and a few pencil lines.
        const QColor sky[] = {QColor(0x2b, 0x4c, 0x8c), QColor(0x4a, 0x78, 0xb8), QColor(0x7f, 0xa8, 0xd8),
                              QColor(0xf2, 0xb8, 0x8a), QColor(0xf7, 0xd2, 0x9a), QColor(0xfa, 0xe6, 0xb8)};
        for (int band = 0; band < 6; ++band)
            stroke(0, 60, sky[band], wave(40 + band * 90, 12, band));
        QPainterPath sun;
        sun.addEllipse(QPointF(280, -120), 40, 40);
        stroke(0, 45, QColor(0xf5, 0x8a, 0x2a), sun);
        QPainterPath core;
        core.addEllipse(QPointF(280, -120), 12, 12);
        stroke(0, 30, QColor(0xfc, 0xe0, 0x6a), core);
        for (int i = 0; i < 4; ++i)
            stroke(0, 60, QColor(0x3e, 0x6b, 0x4a), wave(560 + i * 45, 50, 1.5));
        for (int i = 0; i < 5; ++i)
            stroke(4, 40, QColor(0x6f, 0xa0, 0x45), wave(700 + i * 40, 25, 4.0 + i));
        for (int i = 0; i < 6; ++i) {
            QPainterPath blade;
            blade.moveTo(-500 + i * 170, 430);
            blade.quadTo(QPointF(-485 + i * 170, 350), QPointF(-510 + i * 170, 270));
            stroke(2, 3, QColor(0x24, 0x3a, 0x22), blade);
        }
        window->view()->fitToView();
        window->showPanel(child<QDockWidget>("brushDockWidget"));
        QTest::qWait(700);

        // The window's picture with the view's own frame laid in.
        QImage shot = window->grab().toImage();
        {
            QPainter painter(&shot);
            const QImage frame = window->view()->grabFramebuffer();
            painter.drawImage(QRect(window->view()->mapTo(window.get(), QPoint()), window->view()->size()), frame);
        }
        const QString path = QStringLiteral(KALMI_BIN_DIR "/../mainwindow.png");
        QVERIFY(shot.save(path));
        // The painting shows in the middle of the window: sun orange and hill green.
        const QRect centre(window->view()->mapTo(window.get(), QPoint()), window->view()->size());
        int orange = 0, green = 0;
        for (int y = centre.top(); y < centre.bottom(); y += 2) {
            for (int x = centre.left(); x < centre.right(); x += 2) {
                const QColor c = shot.pixelColor(x, y);
                orange += (c.red() > 200 && c.green() > 100 && c.green() < 170 && c.blue() < 90) ? 1 : 0;
                green += (c.green() > c.red() + 20 && c.green() > c.blue() + 20) ? 1 : 0;
            }
        }
        QVERIFY2(orange > 50, qPrintable(QString::number(orange)));
        QVERIFY2(green > 2000, qPrintable(QString::number(green)));
    }
};

QTEST_MAIN(TestMMainWindow)
#include "tst_mmainwindow.moc"

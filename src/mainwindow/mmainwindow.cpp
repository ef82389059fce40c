#include "mmainwindow.h"
#include "mlogcategory.h"
#include "ui_mmainwindow.h"

#include "dabout.h"
#include "dbrushsettings.h"
#include "dexport.h"
#include "dnewdocument.h"
#include "dpaper.h"
#include "dproperties.h"
#include "dtimeline.h"
#include "dgrabwidget.h"
#include "dscreenshot.h"
#include "dsettings.h"
#include "dshowlogs.h"
#include "dtexturegenerator.h"
#include "dsortlist.h"
#include "dbrushname.h"
#include "dquicksettings.h"
#include "dselectiontobrush.h"
#include "dbrushengine.h"
#include "dshader.h"
#include "dshadername.h"
#include "dshaderparams.h"
#include "dcontext.h"
#include "dlayeredit.h"
#include "mapplication.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mbrushsettingswidget.h"
#include "mbrushlistwidget.h"
#include "mbrushwidget.h"
#include "mdocumentdescription.h"
#include "mlistpanel.h"
#include "mcanvas.h"
#include "mcomicstriptool.h"
#include "mdocumentfile.h"
#include "mloadinggate.h"
#include "mfield.h"
#include "mfieldpanel.h"
#include "dcolorutility.h"
#include "mcolorlist.h"
#include "mcolorpickertool.h"
#include "mcommandstates.h"
#include "mimagetool.h"
#include "mcolorpalettewidget.h"
#include "mcolorwidget.h"
#include "mthumbnailwidget.h"
#include "mfileopendialog.h"
#include "mfilesavedialog.h"
#include "mgeometry.h"
#include "mgradientpalette.h"
#include "mhttprequest.h"
#include "mlayerlistmodel.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msystemconfigdump.h"
#include "mrecentfiles.h"
#include "mregularfile.h"
#include "msavefile.h"
#include "msettings.h"
#include "mtexturetransfert.h"
#include "mtool.h"
#include "mselectiontool.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mshaderwidget.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mtransform.h"
#include "mutility.h"
#include "mcolorlistwidget.h"
#include "mversioninfo.h"
#include "mwidget.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QUndoView>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {
// The window geometry and state when full screen was last entered.
QByteArray &fullScreenGeometry()
{
    static QByteArray geometry;
    return geometry;
}

QByteArray &fullScreenState()
{
    static QByteArray state;
    return state;
}

const QString kDocumentSuffix = QStringLiteral("kxd");

// Long enough for the start's first frames and strokes to be drawn.
constexpr int kSystemConfigDelayMs = 2000;
} // namespace

MMainWindow::MMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui_MMainWindow)
{
    m_progressBar = new QProgressBar(this);
    m_messageLabel = new QLabel(this);

    m_view = new MWidget(this);
    m_shaderWidget = new MShaderWidget(this);
    m_brushWidget = new MBrushWidget(this);
    m_brushSettingsWidget = new MBrushSettingsWidget(this);
    m_colorWidget = new MColorWidget(this);
    m_gradientPalette = new MGradientPalette(this);
    m_undoView = new QUndoView(m_view->canvas()->undoStack(), this);
    // Made once and never shown here: the help editor's grab command runs its own.
    m_grabWidget = new DGrabWidget(this);

    ui->setupUi(this);
    ui->actionFullScreen->setShortcut(QKeySequence(Qt::Key_F12));
    m_shaderWidget->set_editShaderAction(ui->actionEditShader);
    m_shaderWidget->set_newShaderAction(ui->actionNewShader);
    m_shaderWidget->set_removeShaderAction(ui->actionRemoveShader);
    m_shaderWidget->set_duplicateShaderAction(ui->actionDuplicateShader);
    m_shaderWidget->set_applyShaderAction(ui->actionPreviewShader);

    m_recentFiles = new MRecentFiles(ui->menuRecentFiles, 10, this);

    ui->verticalLayout->addWidget(m_view);
    // Closing, quitting and opening or starting another document end a load
    // at once, even while a command waits for it.
    m_loadingGate = new MLoadingGate(m_view->canvas()->storage(), this);
    for (QAction *command : {ui->actionFileExit, ui->actionFileOpen, ui->actionFileNew})
        m_loadingGate->letThrough(command);

    m_messageLabel->setMaximumWidth(500);
    statusBar()->addWidget(m_messageLabel);
    statusBar()->addWidget(m_progressBar);
    m_progressBar->hide();

    updateWindowTitle();
    setupPanels();
    setupToolBarTitles();
    MTools *tools = MTools::instance();
    tools->init(this);

    MSettings::instance()->loadShortcuts(this);
    setupBrushShortcuts();
    tools->activate(MTool::GridTool, MSettings::instance()->showGrid());
    tools->set_widget(m_view);

    m_zoomBar = new QScrollBar(Qt::Horizontal, this);
    m_zoomBar->setRange(1, 800);
    m_zoomBar->setMinimumWidth(150);
    connect(m_zoomBar, &QScrollBar::valueChanged, this, &MMainWindow::setScale);
    statusBar()->addWidget(m_zoomBar);

    for (const QString &name : pendingCommands()) {
        if (QAction *action = findChild<QAction *>(name))
            action->setEnabled(false);
    }
    setupConnections();
    setupDocumentCommands();
    setupBrushCommands();
    validateShaderActions();
    m_view->setFocus();

    ui->actionGenerate_help->setVisible(false);
    ui->actionImageToPath->setVisible(false);
    ui->actionDraw_tiles->setVisible(false);

    // It makes two contexts of its own, on a thread of its own. Asked for a
    // while after the first frame: at once, it would slow the driver's first
    // frames and strokes, whose programs it compiles at the same time. Logged
    // at the latest when the window goes.
    m_systemConfigDump = new MSystemConfigDump(this);
    auto firstFrame = std::make_shared<QMetaObject::Connection>();
    *firstFrame = connect(m_view, &QOpenGLWidget::frameSwapped, m_systemConfigDump, [dump = m_systemConfigDump, firstFrame]() {
        disconnect(*firstFrame);
        QTimer::singleShot(kSystemConfigDelayMs, dump, &MSystemConfigDump::start);
    });
    restoreLayout();
    restoreDefaultToolBars();
    tools->activate(MTool::BrushTool, true);
    ui->brushToolBar->show();
}

MMainWindow::~MMainWindow()
{
    m_systemConfigDump->finish();
    // Deleting the children moves the focus and may change the selection: the
    // slots those signals reach read ui, which goes first.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    disconnect(m_view->canvas(), nullptr, this, nullptr);
    if (MShaderList *library = MShaderList::existingInstance())
        disconnect(library, nullptr, this, nullptr);
    if (m_shaderEditor)
        m_shaderEditor->removeEventFilter(this);
    delete m_pendingShader;
    delete ui;
    // The registry's tools and bindings belong to this window.
    MTools::destroyInstance();
    // A top-level window of its own: it must not outlive the application.
    MColorPickerTool::destroyInstance();
}

const QStringList &MMainWindow::pendingCommands()
{
    static const QStringList names;
    return names;
}

void MMainWindow::emitShown(int delayMs)
{
    // The splash screen processes events while it waits for this window: wait
    // for the application's own event loop, or an exit() would be lost. The
    // retry is not immediate, so the splash screen's wait is not kept busy.
    QTimer::singleShot(delayMs, this, [this]() {
        if (QThread::currentThread()->loopLevel() == 0)
            emitShown(5);
        else
            emit shown();
    });
}

// ---------------------------------------------------------------- building

void MMainWindow::setupPanels()
{
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    for (QDockWidget *dock : docks) {
        QWidget *contents = dock->widget();
        if (!contents->layout()) {
            auto *layout = new QVBoxLayout(contents);
            layout->setContentsMargins(2, 2, 2, 2);
        }
        if (dock == ui->undoDockWidget) {
            contents->layout()->addWidget(m_undoView);
            continue;
        }
        if (dock == ui->colorDockWidget || dock == ui->gradientDockWidget) {
            contents->layout()->addWidget(dock == ui->colorDockWidget ? static_cast<QWidget *>(m_colorWidget)
                                                                      : m_gradientPalette);
            continue;
        }
        if (dock == ui->thumbnailDockWidget) {
            setupThumbnail(contents);
            continue;
        }
        if (dock == ui->colorPaletteDockWidget) {
            m_colorPaletteWidget = new MColorPaletteWidget(contents);
            contents->layout()->addWidget(m_colorPaletteWidget);
            continue;
        }
        if (dock == ui->shaderDockWidget) {
            contents->layout()->addWidget(m_shaderWidget);
            continue;
        }
        if (dock == ui->brushDockWidget) {
            contents->layout()->addWidget(m_brushWidget);
            m_brushWidget->brushListWidget()->set_duplicateBrushAction(ui->actionDuplicate_brush);
            m_brushWidget->brushListWidget()->set_loadBrushTextureAction(ui->actionLoad_brush_texture);
            continue;
        }
        if (dock == ui->brushSettingsDockWidget)
            contents->layout()->addWidget(m_brushSettingsWidget);
    }
}

void MMainWindow::setupThumbnail(QWidget *contents)
{
    m_thumbnailWidget = new MThumbnailWidget(contents);
    contents->layout()->addWidget(m_thumbnailWidget);
    m_thumbnailWidget->setWidget(m_view);
    MCanvas *canvas = m_view->canvas();
    connect(canvas, &MCanvas::currentRowChanged, m_thumbnailWidget, &MThumbnailWidget::setLayerIndex);
    connect(canvas, &MCanvas::updateThumbnail, m_thumbnailWidget, QOverload<>::of(&QWidget::update));
    connect(canvas->undoStack(), &QUndoStack::indexChanged, m_thumbnailWidget, QOverload<>::of(&QWidget::update));
}

void MMainWindow::setupBrushShortcuts()
{
    MBrushList *brushes = MBrushList::instance();
    for (int i = 0; i < 10 && i < brushes->rowCount(); ++i) {
        auto *action = new QAction(brushes->brush(i)->description(), this);
        action->setShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_0) + i));
        action->setData(i);
        ui->menuSelectBrush->addAction(action);
        connect(action, &QAction::triggered, this, &MMainWindow::selectBrushByShortcut);
    }
}

void MMainWindow::setupConnections()
{
    connect(m_recentFiles, &MRecentFiles::openRecentFile, this, &MMainWindow::openFile);
    connect(ui->menuToolBars, &QMenu::aboutToShow, this, &MMainWindow::onMenuToolBarsAboutToShow);
    connect(ui->menuPanels, &QMenu::aboutToShow, this, &MMainWindow::onMenuPanelsAboutToShow);
    connect(MTools::instance(), &MTools::showPanel, this, qOverload<QDockWidget *>(&MMainWindow::showPanel));
    connect(MBrushList::instance(), &MBrushList::currentRowChanged, this, &MMainWindow::selectBrush);
    connect(m_brushWidget, &MBrushWidget::brushValuesChanged, m_brushSettingsWidget, &MBrushSettingsWidget::createPanel);
    connect(m_brushWidget, &MBrushWidget::doubleClick, this, &MMainWindow::on_actionEdit_brush_settings_triggered);
    connect(m_brushWidget, &MBrushWidget::sortList, this, &MMainWindow::on_actionSortBrushes_triggered);
    connect(ui->actionFileExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actionWindowTransparency, &QAction::triggered, this, &MMainWindow::windowTransparency);
    connect(ui->actionDecreaseWindowTransparency, &QAction::triggered, this, &MMainWindow::decreaseWindowTransparency);
    connect(ui->actionIncreaseWindowTransparency, &QAction::triggered, this, &MMainWindow::increaseWindowTransparency);
    connect(ui->actionUndo, &QAction::triggered, this, &MMainWindow::undo);
    connect(ui->actionRedo, &QAction::triggered, this, &MMainWindow::redo);
    new MCommandStates(m_view->canvas(),
                       {ui->actionUndo, ui->actionRedo, ui->actionMoveLayerUp, ui->actionMoveLayerDown,
                        ui->actionMergeLayerWithUpper, ui->actionMergeLayerWithLower},
                       this);
    connect(ui->actionRestartApplication, &QAction::triggered, this, &MMainWindow::applicationReboot);
    // Effect actions follow the current layer, its effect and the chosen effect.
    MCanvas *canvas = m_view->canvas();
    connect(canvas, &MCanvas::currentRowChanged, this, &MMainWindow::validateShaderActions);
    connect(canvas->layerModel(), &QAbstractItemModel::dataChanged, this, &MMainWindow::validateShaderActions);
    connect(ui->menuEffects, &QMenu::aboutToShow, this, &MMainWindow::validateShaderActions);
    connect(MShaderList::instance(), &MShaderList::currentRowChanged, this, &MMainWindow::validateShaderActions);
    connect(m_view, &MWidget::editShaderParams, this, &MMainWindow::editLayerShaderParams);
    connect(m_view, &MWidget::editLayer, this,
            [this, canvas](int row) { DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), row); });
    connect(m_view, &MWidget::contextPanelRequested, this, [this, canvas](const QPointF &viewPosition) {
        DContext panel(m_view, canvas->layers(), canvas->layerEdits());
        panel.place(viewPosition);
        panel.exec();
    });
    connect(canvas, &MCanvas::strokeStarted, MColorList::instance(), &MColorList::updateColorList);
}

void MMainWindow::setupToolBarTitles()
{
    ui->brushToolBar->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    ui->selectionToolBar->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    const QList<QPair<QToolBar *, QString>> titles{
        {ui->brushToolBar, tr("BRUSH:")},
        {ui->lineToolBar, tr("LINE:")},
        {ui->selectionToolBar, tr("SELECTION:")},
        {ui->shapeToolBar, tr("SHAPE:")},
        {ui->gridToolBar, tr("GRID:")},
        {ui->perspectiveToolBar, tr("PERSPECTIVE:")},
        {ui->symmetryToolBar, tr("SYMMETRY:")},
        {ui->textToolBar, tr("TEXT:")},
        {ui->imageToolBar, tr("IMAGE:")},
        {ui->toolsToolBar, tr("TOOL:")},
        {ui->layerToolBar, tr("LAYERS:")},
        {ui->mainToolBar, tr("FILE:")},
        {ui->fillToolBar, tr("FILL:")},
        {ui->fillSelectionToolBar, tr("MAGIC WAND:")},
        {ui->gradientToolBar, tr("GRADIENT:")},
        {ui->comicStripToolBar, tr("COMIC STRIP:")},
        {ui->rullerToolBar, tr("RULER:")},
    };
    for (const auto &title : titles)
        addToolBarTitle(title.first, title.second);
    for (QToolBar *bar : {ui->mainToolBar, ui->layerToolBar, ui->toolsToolBar, ui->brushToolBar, ui->selectionToolBar,
                          ui->lineToolBar, ui->shapeToolBar, ui->textToolBar, ui->fillToolBar, ui->fillSelectionToolBar,
                          ui->gradientToolBar, ui->imageToolBar, ui->symmetryToolBar, ui->gridToolBar,
                          ui->perspectiveToolBar, ui->comicStripToolBar, ui->rullerToolBar})
        styleToolBar(bar);
}

void MMainWindow::addToolBarTitle(QToolBar *toolBar, const QString &text)
{
    auto *label = new QLabel(text, this);
    if (toolBar->actions().isEmpty())
        toolBar->addWidget(label);
    else
        toolBar->insertWidget(toolBar->actions().first(), label);
    MTools::addLabel(this, toolBar);
}

void MMainWindow::styleToolBar(QToolBar *toolBar)
{
    static const QString sheet = QStringLiteral("QToolBar { spacing: 6px; }");
    toolBar->setStyleSheet(sheet);
    toolBar->setIconSize(QSize(18, 18));
    toolBar->adjustSize();
}

// ---------------------------------------------------------------- layout

void MMainWindow::restoreLayout()
{
    MSettings *settings = MSettings::instance();
    const bool useDefault = settings->firstUse() || !settings->saveLayout();
    settings->set_firstUse(false);
    if (useDefault) {
        QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen)
            setGeometry(screen->availableGeometry().adjusted(50, 50, -50, -50));
        on_actionRestoreDefaultLayout_triggered();
        return;
    }
    restoreGeometry(settings->value(QStringLiteral("geometry")).toByteArray());
    restoreState(settings->value(QStringLiteral("windowState")).toByteArray());
}

void MMainWindow::on_actionRestoreDefaultLayout_triggered()
{
    MTools::instance()->hideToolWidgets();
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    const QList<QDockWidget *> rightDocks{ui->colorDockWidget, ui->colorPaletteDockWidget, ui->brushDockWidget,
                                          ui->brushSettingsDockWidget};
    for (QDockWidget *dock : docks) {
        if (dock->isFloating())
            dock->setFloating(false);
        removeDockWidget(dock);
        addDockWidget(rightDocks.contains(dock) ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea, dock);
    }
    splitDockWidget(ui->brushDockWidget, ui->brushSettingsDockWidget, Qt::Vertical);
    tabifyDockWidget(ui->colorDockWidget, ui->brushDockWidget);
    tabifyDockWidget(ui->colorDockWidget, ui->colorPaletteDockWidget);
    tabifyDockWidget(ui->colorDockWidget, ui->shaderDockWidget);
    for (QDockWidget *dock : {ui->brushDockWidget, ui->colorDockWidget, ui->colorPaletteDockWidget, ui->shaderDockWidget,
                              ui->brushSettingsDockWidget})
        dock->show();
    ui->mainToolBar->show();
    ui->toolsToolBar->show();
    ui->brushToolBar->show();
    placeDefaultToolBars();
    MTools::instance()->activate(MTool::BrushTool, true);
}

void MMainWindow::placeDefaultToolBars()
{
    addToolBar(Qt::LeftToolBarArea, ui->toolsToolBar);
    for (QToolBar *bar : {ui->mainToolBar, ui->layerToolBar, ui->brushToolBar, ui->selectionToolBar, ui->shapeToolBar,
                          ui->gridToolBar, ui->symmetryToolBar, ui->textToolBar, ui->lineToolBar, ui->imageToolBar,
                          ui->perspectiveToolBar, ui->fillToolBar, ui->fillSelectionToolBar, ui->gradientToolBar})
        addToolBar(Qt::TopToolBarArea, bar);
}

void MMainWindow::restoreDefaultToolBars()
{
    const QList<QToolBar *> bars{ui->mainToolBar, ui->layerToolBar, ui->brushToolBar, ui->selectionToolBar,
                                 ui->lineToolBar, ui->shapeToolBar, ui->textToolBar, ui->fillToolBar,
                                 ui->fillSelectionToolBar, ui->gradientToolBar, ui->imageToolBar,
                                 ui->symmetryToolBar, ui->gridToolBar, ui->perspectiveToolBar,
                                 ui->comicStripToolBar, ui->rullerToolBar};
    for (QToolBar *bar : bars) {
        removeToolBar(bar);
        addToolBar(Qt::TopToolBarArea, bar);
    }
    for (QToolBar *bar : bars)
        bar->setVisible(bar == ui->mainToolBar || bar == ui->layerToolBar);
}

// ---------------------------------------------------------------- panels

void MMainWindow::onMenuPanelsAboutToShow()
{
    ui->menuPanels->clear();
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    for (QDockWidget *dock : docks) {
        QAction *action = ui->menuPanels->addAction(dock->windowTitle());
        action->setCheckable(true);
        action->setChecked(dock->isVisible());
        action->setData(QVariant::fromValue(dock));
        connect(action, &QAction::toggled, this, qOverload<bool>(&MMainWindow::showPanel));
    }
}

void MMainWindow::onMenuToolBarsAboutToShow()
{
    ui->menuToolBars->clear();
    const QList<QToolBar *> bars = findChildren<QToolBar *>();
    for (QToolBar *bar : bars) {
        QAction *action = ui->menuToolBars->addAction(bar->windowTitle());
        connect(action, &QAction::triggered, bar, &QWidget::show);
    }
}

void MMainWindow::bringToFront(QDockWidget *dock)
{
    const QList<QDockWidget *> tabs = tabifiedDockWidgets(dock);
    if (!tabs.isEmpty())
        tabifyDockWidget(tabs.first(), dock);
    dock->raise();
}

void MMainWindow::showPanel(QDockWidget *dock)
{
    if (!dock)
        return;
    dock->show();
    bringToFront(dock);
}

void MMainWindow::showPanel(bool visible)
{
    auto *action = qobject_cast<QAction *>(sender());
    auto *dock = action ? action->data().value<QDockWidget *>() : nullptr;
    if (!dock)
        return;
    dock->setVisible(visible);
    if (visible)
        bringToFront(dock);
}

void MMainWindow::switchLayoutDirection()
{
    QGuiApplication::setLayoutDirection(layoutDirection() == Qt::LeftToRight ? Qt::RightToLeft : Qt::LeftToRight);
}

// ---------------------------------------------------------------- view and brushes

void MMainWindow::undo()
{
    m_view->canvas()->undoStack()->undo();
}

void MMainWindow::redo()
{
    m_view->canvas()->undoStack()->redo();
}

void MMainWindow::setScale(int value)
{
    m_view->setScale(value / 100.0);
}

void MMainWindow::selectBrushByShortcut()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    MBrushList *brushes = MBrushList::instance();
    brushes->setCurrentRow(action->data().toInt());
    if (auto *brush = qobject_cast<MBrush *>(brushes->current()))
        ui->actionEraserMode->setChecked(brush->eraser());
}


// ---------------------------------------------------------------- transparency and full screen

void MMainWindow::windowTransparency()
{
    setWindowOpacity(windowOpacity() == 1.0 ? m_windowOpacityValue : 1.0);
}

void MMainWindow::increaseWindowTransparency()
{
    m_windowOpacityValue = qMax(qMin(m_windowOpacityValue + 0.1, 1.0), 0.2);
    setWindowOpacity(m_windowOpacityValue);
}

void MMainWindow::decreaseWindowTransparency()
{
    m_windowOpacityValue = qMax(qMin(m_windowOpacityValue - 0.1, 1.0), 0.2);
    setWindowOpacity(m_windowOpacityValue);
}

void MMainWindow::on_actionFullScreen_toggled(bool checked)
{
    setFullScreenBars(checked);
}

void MMainWindow::setFullScreenBars(bool on)
{
    if (on) {
        fullScreenGeometry() = saveGeometry();
        fullScreenState() = saveState();
        for (QDockWidget *dock : findChildren<QDockWidget *>())
            dock->hide();
        for (QMenuBar *bar : findChildren<QMenuBar *>()) {
            if (bar->objectName() != QLatin1String("menuBar"))
                bar->hide();
        }
        for (QToolBar *bar : findChildren<QToolBar *>())
            bar->hide();
        setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
        showFullScreen();
        m_fullScreen = true;
    } else if (m_fullScreen) {
        // Only a window that is in full screen goes back: the saved layout is
        // older than anything the user arranged since.
        m_fullScreen = false;
        setWindowFlags(windowFlags() & ~Qt::FramelessWindowHint);
        showNormal();
        if (!fullScreenGeometry().isEmpty())
            restoreGeometry(fullScreenGeometry());
        if (!fullScreenState().isEmpty())
            restoreState(fullScreenState());
        for (QMenuBar *bar : findChildren<QMenuBar *>())
            bar->show();
    }
    ui->mainToolBar->setVisible(!m_fullScreen);
}

void MMainWindow::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12) && ui->actionFullScreen->isChecked())
        ui->actionFullScreen->setChecked(false);
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- documents

void MMainWindow::updateWindowTitle()
{
    MCanvas *canvas = m_view->canvas();
    const QString name = !canvas->fileName().isEmpty() ? QFileInfo(canvas->fileName()).completeBaseName()
                         : !m_imageName.isEmpty()        ? m_imageName
                                                         : tr("new-document");
    QString title = QStringLiteral("%1 - ").arg(QStringLiteral("KalmiDraw")) + name;
    if (canvas->isModified())
        title += QStringLiteral(" - ") + tr("Modified");
    setWindowTitle(title);
}

bool MMainWindow::maybeSave()
{
    if (!m_view->canvas()->isModified())
        return true;
    const int choice = MUtility::askChoice({tr("Save"), tr("Don't save"), tr("Cancel")}, tr("Close"),
                                           tr("Do you want to save modifications?"));
    if (choice == 1)
        return true;
    // A question closed without an answer keeps the document as it is.
    if (choice != 0)
        return false;
    return save() != QMessageBox::Cancel;
}

bool MMainWindow::writeDocument(const QString &path)
{
    // A document still loading is saved whole: the window answers while the
    // last tiles come in, not under the busy cursor, which swallows input.
    // A load that failed or was given up meanwhile is not saved at all: the
    // document is no longer the one named path.
    if (!m_view->canvas()->finishLoading())
        return false;
    MUtility::setBusyCursor();
    const bool saved = m_view->canvas()->saveToFile(path);
    MUtility::restoreCursor();
    if (!saved) {
        // Left unsaid, the failure would only show as a close that refuses.
        MUtility::showMessage(QMessageBox::Critical, tr("Save file"), tr("Cannot save file %1.").arg(path),
                              QMessageBox::Ok, QMessageBox::NoButton, m_view->canvas()->lastWriteResult().reason);
    }
    return saved;
}

int MMainWindow::save()
{
    MCanvas *canvas = m_view->canvas();
    if (canvas->isNew())
        return saveAs();
    if (canvas->fileName().isEmpty()) {
        MUtility::showMessage(QMessageBox::Warning, tr("File Error"), tr("Error saving to the file: file name is empty"));
        return QMessageBox::Cancel;
    }
    if (!writeDocument(canvas->fileName()))
        return QMessageBox::Cancel;
    updateWindowTitle();
    return QMessageBox::Ok;
}

int MMainWindow::saveAs()
{
    MCanvas *canvas = m_view->canvas();
    QString path = canvas->isNew()
                       ? MUtility::lastFilesDirectory() + tr("new-document") + QLatin1Char('.') + kDocumentSuffix
                       : canvas->fileName();
    if (!getSaveFileName(path) || !writeDocument(path))
        return QMessageBox::Cancel;
    m_recentFiles->setCurrentFile(path);
    updateWindowTitle();
    return QMessageBox::Ok;
}

bool MMainWindow::getSaveFileName(QString &path)
{
    const QFileInfo proposed(path);
    // A document location already offers the document filters and suffix.
    MFileSaveDialog dialog(tr("%1 files").arg(QStringLiteral("KalmiDraw")), MFileDialog::FileLocation, this);
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    QString chosen;
    if (!MUtility::chooseFile(&dialog, chosen)) {
        path.clear();
        return false;
    }
    // A name typed without a suffix (or under "All files") is still a document.
    if (QFileInfo(chosen).suffix().isEmpty()) {
        chosen += QLatin1Char('.') + kDocumentSuffix;
        // The dialog asked about replacing the name typed, not this one.
        if (QFileInfo::exists(chosen)
            && !MUtility::askConfirmation(tr("Replace"), tr("%1 already exists.").arg(QFileInfo(chosen).fileName()),
                                          tr("Do you want to replace it?"))) {
            path.clear();
            return false;
        }
    }
    path = chosen;
    MSettings::instance()->set_lastFilesDir(MUtility::fileDirectory(path));
    return true;
}

bool MMainWindow::openFile(const QString &path)
{
    return loadFile(path, true);
}

bool MMainWindow::loadFile(const QString &path, bool askToSave)
{
    // A named pipe or a device would hold the window in its open.
    const QString refusal = MRegularFile::refusal(path);
    if (!refusal.isEmpty()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, refusal));
        MUtility::showMessage(QMessageBox::Critical, tr("Open file"), tr("Cannot open file %1.").arg(path),
                              QMessageBox::Ok, QMessageBox::NoButton, refusal);
        return false;
    }
    if (askToSave && !maybeSave())
        return false;
    MCanvas *canvas = m_view->canvas();
    // A file named on the command line may come before the view first drew.
    canvas->initializeGL();
    // A document is known by its first bytes, whatever its name.
    const bool document = isDocumentFile(path) || QFileInfo(path).suffix().toLower() == kDocumentSuffix;
    MUtility::setBusyCursor();
    // The document file is checked whole first: a file that fails leaves the
    // document, its name and the recent files as they were. Its tiles follow
    // from the event loop, the ones the view shows first.
    const bool loaded = document ? canvas->startLoading(path) : canvas->loadImage(path);
    MUtility::restoreCursor();
    if (loaded && document)
        MSaveFile::removeLeftover(path);
    if (!loaded) {
        // The readers log why; the painter who asked is told the same.
        MUtility::showMessage(QMessageBox::Critical, tr("Open file"), tr("Cannot open file %1.").arg(path),
                              QMessageBox::Ok, QMessageBox::NoButton, canvas->lastReadResult().reason);
        return false;
    }
    m_recentFiles->setCurrentFile(path);
    m_imageName = document ? QString() : QFileInfo(path).completeBaseName();
    updateWindowTitle();
    m_view->resetView(true);
    // Only the load in progress is told of: one given up never ends.
    disconnect(m_loadingEnd);
    if (canvas->isLoading()) {
        m_loadingEnd = connect(canvas, &MCanvas::loadingFinished, this, [this, path](bool tilesLoaded) {
            disconnect(m_loadingEnd);
            if (tilesLoaded)
                return;
            // The file changed or the disk failed after it was checked: the
            // painter is told, and has a new document instead of half of it.
            updateWindowTitle();
            m_view->resetView(true);
            MUtility::showMessage(QMessageBox::Critical, tr("Open file"), tr("Cannot open file %1.").arg(path),
                                  QMessageBox::Ok, QMessageBox::NoButton, m_view->canvas()->lastReadResult().reason);
        });
    }
    return true;
}

// ---------------------------------------------------------------- start, close and restart

void MMainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window manager resizes a window it shows; without one no resize may
    // come once the window is visible.
    QTimer::singleShot(0, this, [this]() {
        if (isVisible())
            firstResize();
    });
    if (!m_shownEmitted) {
        m_shownEmitted = true;
        emitShown();
    }
}

void MMainWindow::resizeEvent(QResizeEvent *)
{
    if (isVisible())
        firstResize();
}

void MMainWindow::firstResize()
{
    if (!m_firstResize)
        return;
    m_firstResize = false;
    MSettings *settings = MSettings::instance();
    const QString path = settings->startupFile();
    if (!path.isEmpty()) {
        // On disk before the file is tried: one that fails is not tried
        // again at the next start.
        settings->set_startupFile(QString());
        settings->sync();
    }
    if (!path.isEmpty() && QFileInfo::exists(path))
        openFile(path);
    m_view->fitToView();
}

void MMainWindow::closeEvent(QCloseEvent *event)
{
    if (saveWindowSettings())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

bool MMainWindow::saveWindowSettings()
{
    if (!maybeSave())
        return false;
    setFullScreenBars(false);
    MSettings *settings = MSettings::instance();
    settings->setValue(QStringLiteral("geometry"), saveGeometry());
    settings->setValue(QStringLiteral("windowState"), saveState(0));
    MCanvas *canvas = m_view->canvas();
    const bool stored = !canvas->isNew() && QFileInfo::exists(canvas->fileName());
    settings->set_lastFile(stored ? canvas->fileName() : QString());
    if (MTextureTransfert *transfer = MTextureTransfert::existingInstance())
        transfer->release(canvas->context());
    m_view->shutDown();
    return true;
}

void MMainWindow::applicationReboot()
{
    qCDebug(lcApp).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mmainwindow"), QStringLiteral("MMainWindow::applicationReboot"))
                       << "Performing application reboot...";
    if (saveWindowSettings())
        QCoreApplication::exit(MApplication::RestartExitCode);
}

void MMainWindow::askRestart(const QString &message)
{
    if (MUtility::askChoice({tr("Restart"), tr("Don't restart")}, message, tr("Do you want to restart?")) == 0)
        applicationReboot();
}

void MMainWindow::on_actionSortBrushes_triggered()
{
    // The library loads only the brushes its order names, at the next start.
    DSortList dialog(MBrushList::instance(), this);
    if (dialog.exec() == QDialog::Accepted)
        askRestart(tr("You must restart the application to apply these changes."));
}

// ---------------------------------------------------------------- document commands

void MMainWindow::setupDocumentCommands()
{
    connect(qApp, &QApplication::focusChanged, this, &MMainWindow::validateClipboardActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &MMainWindow::validateClipboardActions);
    connect(ui->menuEdit, &QMenu::aboutToShow, this, &MMainWindow::validateClipboardActions);
    connect(m_view->canvas(), &MCanvas::selectionChanged, this, &MMainWindow::validateClipboardActions);
    // Undoing past a save, or redoing back to it, moves the modified mark.
    connect(m_view->canvas(), &MCanvas::modifiedChanged, this, &MMainWindow::updateWindowTitle);
    // Auto extent stops at the limit: the painter sees why the paper stopped growing.
    connect(m_view->canvas(), &MCanvas::paintedRectLimited, this, [this]() {
        const QString text = tr("The paper cannot grow further: a document reaches at most %1 pixels from its centre.")
                                 .arg(qint64(MDocumentDescription::CoordinateLimit));
        if (m_view->text() != text || m_view->textOpacity() < 0.5)
            m_view->setText(text);
        statusBar()->showMessage(text, 5000);
    });
    connect(m_view->canvas(), &MCanvas::messageForPainter, this, [](const QString &title, const QString &text) {
        MUtility::showMessage(QMessageBox::Warning, title, text);
    });
    connect(m_view->canvas(), &MCanvas::layerLimitReached, this, [this]() {
        const QString text = tr("No layer added: a document holds at most %1 layers.")
                                 .arg(MDocumentDescription::MaximumLayers);
        m_view->setText(text);
        statusBar()->showMessage(text, 5000);
    });
}

void MMainWindow::on_actionFileNew_triggered()
{
    if (!maybeSave())
        return;
    DNewDocument dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    MCanvas *canvas = m_view->canvas();
    canvas->initializeGL();
    canvas->reset();
    canvas->setIsNew(true);
    canvas->setFileName(QString());
    m_imageName.clear();
    m_view->resetView(true);
    // The comic-strip cells follow the new page.
    if (auto *strip = MTools::instance()->tool<MComicStripTool>(MTool::ComicStripTool))
        strip->setup();
    updateWindowTitle();
}

void MMainWindow::on_actionFileOpen_triggered()
{
    if (!maybeSave())
        return;
    MFileOpenDialog dialog(tr("Open file"), MFileDialog::FileLocation, this);
    dialog.setNameFilters(MUtility::documentFileFilters() + MUtility::imageFileFilter(false));
    dialog.setDefaultSuffix(kDocumentSuffix);
    dialog.setDirectory(MUtility::lastFilesDirectory());
    QString path;
    // The save question came before the chooser: it is not asked again.
    if (!MUtility::chooseFile(&dialog, path) || !loadFile(path, false))
        return;
    MSettings::instance()->set_lastFilesDir(MUtility::fileDirectory(path));
    m_view->resetView(false);
}

void MMainWindow::on_actionFileSave_triggered()
{
    // The busy cursor is set around the writing alone: a save dialog under it
    // would take no input.
    save();
}

void MMainWindow::on_actionFileSaveAs_triggered()
{
    saveAs();
}

void MMainWindow::on_actionExportAsImage_triggered()
{
    MCanvas *canvas = m_view->canvas();
    DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer(), this);
    dialog.exec();
}

namespace {
// The document's picture while the print preview asks for pages.
QImage &printedImage()
{
    static QImage image;
    return image;
}
} // namespace

void MMainWindow::on_actionPrint_triggered()
{
    printedImage() = m_view->canvas()->flattenedImage(QStringLiteral("basic"));
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this, Qt::Window);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &MMainWindow::printPreview);
    preview.exec();
    printedImage() = QImage();
}

void MMainWindow::printPreview(QPrinter *printer)
{
    const QImage &image = printedImage();
    if (!printer || image.isNull())
        return;
    const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF target(0, 0, page.width(), page.height());
    double scale = 1.0;
    const QRectF fitted = MGeometry::fitRect(QRectF(image.rect()), target, scale);
    QPainter painter(printer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(fitted, image);
}

void MMainWindow::on_actionClearColorHisto_triggered()
{
    // Emptying the history signals nothing: the strip that shows it is told here.
    MColorList::instance()->clear();
    m_colorWidget->colorListWidget()->update();
}

void MMainWindow::on_actionColorPickerTool_triggered()
{
    MColorPickerTool *picker = MColorPickerTool::instance();
    // Lit while the picker is armed and out once it goes, however the pick ends.
    ui->actionColorPickerTool->setChecked(true);
    connect(picker, &QDialog::finished, this, &MMainWindow::colorPickerClosed, Qt::UniqueConnection);
    picker->activate();
}

void MMainWindow::colorPickerClosed()
{
    ui->actionColorPickerTool->setChecked(false);
}

void MMainWindow::on_actionColor_converter_triggered()
{
    DColorUtility dialog(this);
    connect(&dialog, &DColorUtility::setBrushColor, MColorList::instance(),
            qOverload<const QColor &, Qt::KeyboardModifiers>(&MColorList::setColor));
    connect(&dialog, &DColorUtility::addColorToPalette, m_colorPaletteWidget, &MColorPaletteWidget::prependColor);
    dialog.exec();
}

void MMainWindow::on_actionOpen_default_thumbnail_triggered()
{
    openFile(QStringLiteral(":/icons/shader.jpg"));
}

namespace {
// A copy that rendered nothing leaves the clipboard as it was.
// A copy that could not be made leaves the clipboard as it was, and says so.
bool copyToClipboard(const QImage &image, const QString &title, const QString &why)
{
    if (image.isNull()) {
        MUtility::showMessage(QMessageBox::Warning, title, MMainWindow::tr("Cannot copy the image."), QMessageBox::Ok,
                              QMessageBox::NoButton, why);
        return false;
    }
    QGuiApplication::clipboard()->setImage(image);
    return true;
}
} // namespace

void MMainWindow::on_actionCopy_triggered()
{
    MCanvas *canvas = m_view->canvas();
    QString why;
    const QImage image = canvas->copyImage(!canvas->selectionPath().isEmpty(), &why);
    copyToClipboard(image, tr("Copy"), why);
}

void MMainWindow::on_actionCut_triggered()
{
    MCanvas *canvas = m_view->canvas();
    if (canvas->selectionPath().isEmpty())
        return;
    // Nothing is erased that did not reach the clipboard.
    QString why;
    const QImage image = canvas->copyImage(true, &why);
    if (!copyToClipboard(image, tr("Cut"), why))
        return;
    canvas->beginMacro(tr("Cut"));
    canvas->erase();
    canvas->endMacro();
}

namespace {
// Another program's image is checked from its header before it is decoded;
// a refusal is told.
QImage clipboardImage()
{
    QString reason;
    const QImage image = MImageFile::fromMimeData(QGuiApplication::clipboard()->mimeData(), &reason,
                                                  MDocumentDescription::imageCheck());
    if (image.isNull() && !reason.isEmpty()) {
        MLogger::instance()->systemError(QStringLiteral("Clipboard image refused: %1").arg(reason));
        MUtility::showMessage(QMessageBox::Critical, MMainWindow::tr("Paste"),
                              MMainWindow::tr("The image on the clipboard cannot be pasted."), QMessageBox::Ok,
                              QMessageBox::NoButton, reason);
    }
    return image;
}
} // namespace

void MMainWindow::on_actionPaste_triggered()
{
    QImage image = clipboardImage();
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto *tool = MTools::instance()->tool<MImageTool>(MTool::ImageTool);
    if (!tool)
        return;
    tool->loadFromImage(image);
    MTools::instance()->activate(MTool::ImageTool, true);
}

void MMainWindow::on_actionPasteInNewLayer_triggered()
{
    const QImage image = clipboardImage();
    if (image.isNull())
        return;
    MCanvas *canvas = m_view->canvas();
    canvas->appendImage(canvas->paintedRect().center(), image);
}

void MMainWindow::validateClipboardActions()
{
    const bool selected = !m_view->canvas()->selectionPath().isEmpty();
    ui->actionCopy->setEnabled(selected);
    ui->actionCut->setEnabled(selected);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ui->actionPaste->setEnabled(data && data->hasImage());
}

void MMainWindow::on_actionImport_image_file_triggered()
{
    auto *tool = MTools::instance()->tool<MImageTool>(MTool::ImageTool);
    if (!tool)
        return;
    MTools::instance()->activate(MTool::ImageTool, true);
    tool->loadFromFile();
}

// ---------------------------------------------------------------- layer, paper and view commands

bool MMainWindow::checkCurrentLayer()
{
    if (m_view->canvas()->current())
        return true;
    MUtility::showMessage(QMessageBox::Critical, tr("Layers"), tr("Please select a layer."));
    return false;
}

void MMainWindow::on_actionNewLayer_triggered() { m_view->canvas()->appendLayer(); }
void MMainWindow::on_actionPrependLayer_triggered() { m_view->canvas()->prependLayer(); }

void MMainWindow::on_actionDuplicateLayer_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->duplicateLayer();
}

void MMainWindow::on_actionEditLayer_triggered()
{
    if (!checkCurrentLayer())
        return;
    MCanvas *canvas = m_view->canvas();
    DLayerEdit::edit(canvas->layers(), canvas->layerEdits(), canvas->currentRow());
}

void MMainWindow::on_actionRemoveLayer_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->removeLayer();
}

void MMainWindow::on_actionShowLayer_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->showLayer();
}

void MMainWindow::on_actionLockLayer_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->lockLayer();
}

void MMainWindow::on_actionMergeLayerWithLower_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->mergeLayerWithLower();
}

void MMainWindow::on_actionMergeLayerWithUpper_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->mergeLayerWithUpper();
}

void MMainWindow::on_actionMoveLayerUp_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->moveUpLayer();
}

void MMainWindow::on_actionMoveLayerDown_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->moveDownLayer();
}

void MMainWindow::on_actionHideLayersExcept_triggered()
{
    if (checkCurrentLayer())
        m_view->canvas()->hideAllLayersExcept(m_view->canvas()->currentRow());
}

void MMainWindow::on_actionShowAllLayers_triggered() { m_view->canvas()->showAllLayers(); }
void MMainWindow::on_actionHideAllLayers_triggered() { m_view->canvas()->hideAllLayers(); }
void MMainWindow::on_actionLockAllLayers_triggered() { m_view->canvas()->lockAllLayers(); }
void MMainWindow::on_actionUnlockAllLayers_triggered() { m_view->canvas()->unlockAllLayers(); }
void MMainWindow::on_actionNextLayer_triggered() { m_view->canvas()->nextLayer(); }
void MMainWindow::on_actionPreviousLayer_triggered() { m_view->canvas()->previousLayer(); }
void MMainWindow::on_actionRemoveEmptyLayers_triggered() { m_view->canvas()->removeEmptyLayers(); }

MSelectionTool *MMainWindow::selectionTool() const
{
    return MTools::instance()->tool<MSelectionTool>(MTool::SelectionTool);
}

#define M_SELECTION_COMMAND(Action, call)                                                                           \
    void MMainWindow::on_##Action##_triggered()                                                                      \
    {                                                                                                                \
        if (MSelectionTool *tool = selectionTool())                                                                  \
            tool->call();                                                                                            \
    }

M_SELECTION_COMMAND(actionSelectAll, selectAll)
M_SELECTION_COMMAND(actionResetSelection, resetSelection)
M_SELECTION_COMMAND(actionInvertSelection, invertSelection)
M_SELECTION_COMMAND(actionNextSelection, nextSelection)
M_SELECTION_COMMAND(actionPreviousSelection, previousSelection)
M_SELECTION_COMMAND(actionFillSelection, fillSelection)
M_SELECTION_COMMAND(actionStrokeSelection, strokeSelection)

#undef M_SELECTION_COMMAND

void MMainWindow::on_actionSelect_layer_bounding_rect_triggered()
{
    MCanvas *canvas = m_view->canvas();
    if (canvas->current())
        canvas->selectLayerBoundingRect(canvas->current());
}

void MMainWindow::on_actionProperties_triggered()
{
    MCanvas *canvas = m_view->canvas();
    DProperties dialog(this);
    dialog.setDocument(canvas->paper(), canvas->layers(), canvas->renderer());
    dialog.exec();
}

void MMainWindow::on_actionTimeLine_triggered()
{
    m_view->setTimeLineMode(true);
    DTimeLine *timeLine = findChild<DTimeLine *>();
    if (!timeLine)
        timeLine = new DTimeLine(m_view, this);
    timeLine->show();
    timeLine->activateWindow();
}

void MMainWindow::on_actionChangePaper_triggered()
{
    MCanvas *canvas = m_view->canvas();
    DPaper dialog(canvas->paper(), this);
    connect(&dialog, &DPaper::paintedRectWanted, canvas, &MCanvas::updatePaintedRect);
    dialog.exec();
}

void MMainWindow::on_actionAdjustPaperToSelection_triggered()
{
    MCanvas *canvas = m_view->canvas();
    if (!canvas->selectionPath().isEmpty())
        canvas->adjustPaperToSelection();
}

void MMainWindow::on_actionPaper_auto_extension_toggled(bool)
{
    MCanvas *canvas = m_view->canvas();
    canvas->setAutoExtent(!canvas->autoExtent());
    // The check mark follows the document, also when it was out of step.
    const QSignalBlocker blocker(ui->actionPaper_auto_extension);
    ui->actionPaper_auto_extension->setChecked(canvas->autoExtent());
}

void MMainWindow::stepPaperSize(bool increase)
{
    MCanvas *canvas = m_view->canvas();
    QRectF rect = canvas->paintedRect();
    if (rect.width() <= 0)
        return;
    const double a = rect.height() * 20 / rect.width();
    rect = increase ? rect.adjusted(-20, -a, 20, a) : rect.adjusted(20, a, -20, -a);
    const QRectF whole = QRectF(rect.toAlignedRect());
    if (whole.width() <= 1 || whole.height() <= 1)
        return;
    canvas->updatePaintedRect(whole);
    statusBar()->showMessage(tr("Paper size = [%1, %2]").arg(whole.width()).arg(whole.height()), 5000);
}

void MMainWindow::on_actionIncreasePaperSize_triggered() { stepPaperSize(true); }
void MMainWindow::on_actionDecreasePaperSize_triggered() { stepPaperSize(false); }

void MMainWindow::on_actionAdjustToWidth_triggered() { m_view->adjustToWidth(); }
void MMainWindow::on_actionAdjustToHeight_triggered() { m_view->adjustToHeight(); }
void MMainWindow::on_actionViewAllCanvas_triggered() { m_view->fitToView(); }
void MMainWindow::on_actionResetCanvasPosition_triggered() { m_view->resetCanvas(); }
void MMainWindow::on_actionFlipHorizontal_triggered() { m_view->transform()->flipHorizontal(); }
void MMainWindow::on_actionFlipVertical_triggered() { m_view->transform()->flipVertical(); }

void MMainWindow::on_actionDraw_tiles_toggled(bool checked)
{
    MSettings::instance()->set_drawTiles(checked);
    m_view->update();
}

// ---------------------------------------------------------------- commands built later

void MMainWindow::on_actionEditSettings_triggered()
{
    DSettings dialog(this);
    if (dialog.exec() == QDialog::Accepted && dialog.needRestart())
        askRestart(tr("You must restart the application to apply these changes."));
}
void MMainWindow::on_actionTake_a_screenshot_triggered()
{
    QString fileName;
    QImage image;
    bool toClipboard = false;
    {
        DScreenshot dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QPixmap pixmap = grab();
        image = QImage(dialog.pictureWidth(), dialog.pictureHeight(), QImage::Format_ARGB32);
        image.fill(dialog.isTransparent() ? QColor(Qt::transparent) : dialog.backgroundColor());
        double scale = 1.0;
        const QRectF fitted = MGeometry::fitRect(QRectF(rect()), QRectF(image.rect()), scale);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(fitted.toRect(), pixmap.scaled(fitted.size().toSize(), Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation));
        painter.end();
        fileName = dialog.fileName();
        toClipboard = dialog.copyToClipboard();
    }
    if (!image.save(fileName)) {
        MLogger::instance()->log(QStringLiteral("Unable to save the screenshot %1").arg(fileName));
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Unable to save the screenshot %1.").arg(fileName));
        return;
    }
    if (toClipboard)
        QGuiApplication::clipboard()->setImage(image);
    if (MUtility::showMessage(QMessageBox::Question, QString(), tr("Screenshot done. Do you want to open the file location?"),
                              QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        MUtility::showInExplorer(fileName);
}

void MMainWindow::on_actionHelp_index_triggered()
{
    const QString name = QStringLiteral("KalmiDraw.pdf");
    QString path = MUtility::helpPath() + name;
    if (!QFileInfo::exists(path))
        path = MUtility::helpDirectory(QStringLiteral("en")) + name;
    if (QFileInfo::exists(path)) {
        // With no program for the file nothing would show at all.
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            MUtility::showMessage(QMessageBox::Warning, tr("Help"),
                                  tr("No program to show the help file is installed: open %1 with a PDF viewer.")
                                      .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (MUtility::showMessage(QMessageBox::Question, QString(), tr("Local help is not installed. Do you want to show online help?"),
                              QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        on_actionOnline_help_triggered();
}

void MMainWindow::on_actionOnline_help_triggered()
{
    const QString path = QStringLiteral("/van/help/") + MSettings::instance()->userLangId() + QStringLiteral("/index.html");
    const QUrl url(MHttpRequest::serverUrl(path).toLower());
    if (!QDesktopServices::openUrl(url))
        MUtility::showMessage(QMessageBox::Warning, tr("Help"),
                              tr("No web browser could be started to show the online help at %1.").arg(url.toString()));
}

void MMainWindow::on_actionCheck_updates_triggered()
{
    auto *buffer = new QByteArray;
    auto *request = new MHttpRequest(MHttpRequest::serverUrl(QStringLiteral("/van/download/version.info")), buffer, this);
    connect(request, &MHttpRequest::error, this, &MMainWindow::onDownloadVersionInfoError);
    connect(request, &MHttpRequest::finished, this, &MMainWindow::onDownloadVersionInfo);
    connect(request, &MHttpRequest::finished, request, &QObject::deleteLater);
    // Each pending check owns its buffer until its request is gone.
    connect(request, &QObject::destroyed, [buffer] { delete buffer; });
    request->send();
}

void MMainWindow::onDownloadVersionInfo(const QByteArray *data)
{
    if (!data) {
        MLogger::instance()->log(QStringLiteral("Download version.info: invalid datas"));
        return;
    }
    if (data->isEmpty()) {
        MLogger::instance()->log(QStringLiteral("Download version.info: version file missing"));
        return;
    }
    MVersionInfo available;
    if (!available.load(*data)) {
        // A page that is not a version record must not pass for "up to date".
        MLogger::instance()->log(QStringLiteral("Download version.info: unreadable version file"));
        MUtility::showMessage(QMessageBox::Critical, QString(),
                              tr("The update check failed: the version information could not be read."));
        return;
    }
    if (available.isNewerThan(MVersionInfo())) {
        if (MUtility::showMessage(QMessageBox::Question, QString(),
                                  tr("A new version %1.%2.%3 is available for download. Do you want to download the new "
                                     "version?")
                                      .arg(available.major)
                                      .arg(available.minor)
                                      .arg(available.patch),
                                  QMessageBox::Ok | QMessageBox::Cancel)
            == QMessageBox::Ok)
            QDesktopServices::openUrl(QUrl(MHttpRequest::serverUrl(QStringLiteral("download/"))));
    } else {
        MUtility::showMessage(QMessageBox::Information, QString(),
                              tr("No new version available, your version of KalmiDraw is up to date."));
    }
}

void MMainWindow::onDownloadVersionInfoError(const QString &message)
{
    MLogger::instance()->log(QStringLiteral("Error during version info download: ") + message);
    MUtility::showMessage(QMessageBox::Critical, QString(),
                          tr("Unable to connect to ") + QUrl(MHttpRequest::siteRoot()).host() + QLatin1Char('.'));
}

void MMainWindow::on_actionContact_us_triggered()
{
    QDesktopServices::openUrl(QUrl(MHttpRequest::serverUrl(QStringLiteral("contact-us/")).toLower()));
}

void MMainWindow::on_actionAbout_Kalmi_triggered()
{
    DAbout dialog(this);
    dialog.exec();
}

void MMainWindow::on_actionShow_system_logs_triggered()
{
    DShowLogs dialog(this);
    dialog.exec();
    dialog.saveSettings();
}
void MMainWindow::on_actionTexture_generator_triggered()
{
    DTextureGenerator dialog(this);
    dialog.exec();
}

// ---------------------------------------------------------------- brush library commands

void MMainWindow::setupBrushCommands()
{
    connect(ui->menuBrush, &QMenu::aboutToShow, this, &MMainWindow::validateBrushActions);
    connect(MBrushList::instance(), &MBrushList::currentRowChanged, this, &MMainWindow::validateBrushActions);
    validateBrushActions();
}

void MMainWindow::validateBrushActions()
{
    for (QAction *action : {ui->actionCopy_brush_to_system_directory, ui->actionRemove_brush_from_system_directory}) {
        action->setVisible(false);
        action->setEnabled(false);
    }
    const MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    const bool system = brush->systemFileExists();
    ui->actionDelete_brush->setEnabled(!system);
    ui->actionRestore_brush->setEnabled(system);
    ui->actionReset_brush_engine->setEnabled(!brush->shaderId().isEmpty());
}

void MMainWindow::on_actionNew_brush_triggered()
{
    DBrushName dialog(tr("new group"), tr("new brush"), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString why;
    if (MBrushList::instance()->createBrushNamed(dialog.group(), dialog.description(), &why))
        reportBrushAdded(dialog.group(), dialog.description());
    else
        reportBrushNotSaved(dialog.group(), dialog.description(), why);
}

void MMainWindow::on_actionDuplicate_brush_triggered()
{
    const MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    DBrushName dialog(brush->group(), tr("%1 - copy").arg(brush->description()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString why;
    if (MBrushList::instance()->createBrush(brush, dialog.group(), dialog.description(), &why))
        reportBrushAdded(dialog.group(), dialog.description());
    else
        reportBrushNotSaved(dialog.group(), dialog.description(), why);
}

void MMainWindow::reportBrushAdded(const QString &group, const QString &name)
{
    MUtility::showMessage(QMessageBox::Information, tr("Brush"), tr("The brush %1/%2 is added.").arg(group, name));
}

void MMainWindow::on_actionRename_brush_triggered()
{
    MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    if (brush->systemFileExists()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("You can't rename a system brush."),
                              QMessageBox::Ok, QMessageBox::NoButton,
                              tr("Only the user brushes can be renamed. Duplicate the current brush to get a user "
                                 "version and rename it."));
        return;
    }
    DBrushName dialog(brush->group(), brush->description(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString oldGroup = brush->group();
    const QString oldName = brush->description();
    brush->setDescription(dialog.description());
    brush->setGroup(dialog.group());
    if (!reportBrushSave(brush)) {
        // The library keeps the names its file holds.
        brush->setDescription(oldName);
        brush->setGroup(oldGroup);
        return;
    }
    brush->reload();
    // The order file carries the names beside the ids.
    MBrushList::instance()->setOrder(MBrushList::instance()->order());
    m_brushWidget->brushListWidget()->panel()->update();
    MUtility::showMessage(QMessageBox::Information, tr("Brush"), tr("The brush is renamed."));
}

void MMainWindow::on_actionDelete_brush_triggered()
{
    MBrushList *brushes = MBrushList::instance();
    const MBrush *brush = brushes->currentBrush();
    if (!brush)
        return;
    if (brush->systemFileExists()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"),
                              tr("You can't remove a system brush! Use the sort brushes function to show or hide "
                                 "system brushes."));
        return;
    }
    if (brushes->rowCount() == 1) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("You can't remove the last brush!"));
        return;
    }
    const QString group = brush->group();
    const QString name = brush->description();
    if (MUtility::showMessage(QMessageBox::Question, tr("Delete brush"),
                              tr("Are you sure you want to delete the brush %1/%2?").arg(group, name),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    if (brushes->removeBrushById(brush->id()))
        MUtility::showMessage(QMessageBox::Information, tr("Brush"), tr("The brush %1/%2 is removed.").arg(group, name));
    else
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"),
                              tr("An error has occurred during brush %1/%2 suppression.").arg(group, name));
}

void MMainWindow::on_actionEdit_brush_quick_settings_triggered()
{
    MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    DQuickSettings dialog(this);
    dialog.setSettings(brush->quickSettings());
    if (dialog.exec() != QDialog::Accepted)
        return;
    brush->setQuickSettings(dialog.settings());
    reportBrushSave(brush);
    showBrushSettings();
}

void MMainWindow::on_actionImport_brush_file_triggered()
{
    const QString path = MUtility::askOpenFileName(
        tr("Import brush"), MSettings::instance()->lastFilesDir(),
        tr("Brush files (*.%1)").arg(MBrushList::instance()->extension()) + QStringLiteral(";;") + tr("All files (*.*)"));
    if (path.isEmpty())
        return;
    MSettings::instance()->set_lastFilesDir(QFileInfo(path).absolutePath());
    if (!MBrushList::isBrushFile(path)) {
        MLogger::instance()->log(QStringLiteral("Not a brush file: %1").arg(path));
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"),
                              tr("Error during file loading. Check if this file is a valid brush file and retry."));
        return;
    }
    const MBrush *brush = MBrushList::instance()->importBrush(path);
    if (!brush) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("Unable to save the imported brush."));
        return;
    }
    reportBrushAdded(brush->group(), brush->description());
}

void MMainWindow::on_actionSave_selection_as_textured_brush_triggered()
{
    MCanvas *canvas = m_view->canvas();
    if (canvas->selectionPath().isEmpty()) {
        if (MUtility::showMessage(QMessageBox::Question, QString(),
                                  tr("The selection area is empty. Do you want to select the current layer bounding "
                                     "rect?"),
                                  QMessageBox::Ok | QMessageBox::Cancel)
            != QMessageBox::Ok)
            return;
        if (!checkCurrentLayer())
            return;
        canvas->selectLayerBoundingRect(canvas->current());
    }
    DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.saveSettings();
    m_brushWidget->brushListWidget()->panel()->update();
}

// Hidden: the system folder is the installation's.
void MMainWindow::on_actionCopy_brush_to_system_directory_triggered() {}
void MMainWindow::on_actionRemove_brush_from_system_directory_triggered() {}

bool MMainWindow::reportBrushSave(MBrush *brush)
{
    QString why;
    if (brush->save(&why))
        return true;
    reportBrushNotSaved(brush->group(), brush->description(), why);
    return false;
}

void MMainWindow::reportBrushNotSaved(const QString &group, const QString &name, const QString &why)
{
    MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("Unable to save the brush %1/%2.").arg(group, name),
                          QMessageBox::Ok, QMessageBox::NoButton, why);
}

// ---------------------------------------------------------------- brush selection and settings

void MMainWindow::selectBrush()
{
    auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current());
    if (!brush)
        return;
    ui->brushDockWidget->setWindowTitle(tr("Brush - %1").arg(brush->description()));
    MTools::instance()->activate(MTool::BrushTool, true);
    ui->actionEraserMode->setChecked(brush->eraser());
    m_brushSettingsWidget->setBrush(brush);
}

void MMainWindow::on_actionEraserMode_toggled(bool checked)
{
    if (auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current()))
        brush->setEraser(checked);
}

void MMainWindow::stepBrushRadius(bool increase)
{
    auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current());
    if (!brush)
        return;
    const double maximum = MBrushSettingInfoList::instance()->info(MEnum::bsRadius)->maximum();
    brush->setRadius(increase ? qMin(brush->radius() * 1.2, maximum) : qMax(brush->radius() * 0.8, 1.0));
    // The dock's editor follows the brush it shows.
    m_brushSettingsWidget->fieldPanel()->valuesToWidgets();
    m_view->updateCursor();
    m_view->setText(tr("Brush radius: %1 px.").arg(QString::asprintf("%3.2f", brush->radius())));
}

void MMainWindow::on_actionIncrease_brush_radius_triggered() { stepBrushRadius(true); }
void MMainWindow::on_actionDecrease_brush_radius_triggered() { stepBrushRadius(false); }

void MMainWindow::on_actionLockBrushControlPoints_toggled(bool checked)
{
    for (int id : {int(MTool::GridTool), int(MTool::SymmetryTool), int(MTool::PerspectiveTool)}) {
        if (MTool *tool = MTools::instance()->tool(id))
            tool->set_locked(checked);
    }
}

void MMainWindow::on_actionEdit_brush_settings_triggered()
{
    auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current());
    if (!brush)
        return;
    {
        DBrushSettings dialog(this);
        dialog.setBrush(brush);
        dialog.exec();
    }
    showBrushSettings();
    m_brushWidget->update();
}

void MMainWindow::on_actionResetBrushSettings_triggered()
{
    m_brushSettingsWidget->resetBrushSettings();
    m_brushWidget->update();
}

void MMainWindow::on_actionLoad_brush_texture_triggered()
{
    auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current());
    if (!brush || !DBrushSettings::loadBrushTextureFile(brush))
        return;
    brush->updatePreview();
    m_brushSettingsWidget->setBrush(brush);
    m_brushWidget->update();
}

void MMainWindow::on_actionRestore_brush_triggered()
{
    auto *brush = qobject_cast<MBrush *>(MBrushList::instance()->current());
    if (!brush)
        return;
    if (!brush->systemFileExists()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush settings"),
                              tr("Only system brushes can be reset to system default."));
        return;
    }
    brush->restore();
    showBrushSettings();
    m_brushWidget->update();
}

// ---------------------------------------------------------------- effects and brush engines

namespace {
// Gives the brush's file the engine (empty: none) and a preview drawn with
// it, through a fresh copy of the file, so that unsaved changes of the brush
// are not written; the brush takes the engine and the preview. False when the
// file could not be written.
bool saveBrushWithEngine(MBrush *brush, const QString &engineId)
{
    MBrush fresh;
    fresh.loadFromFile(QFileInfo::exists(brush->userFilePath()) ? brush->userFilePath() : brush->systemFilePath());
    fresh.set_shaderId(engineId);
    fresh.updatePreview();
    const bool saved = fresh.save();
    brush->set_shaderId(engineId);
    brush->setPreview(fresh.preview());
    return saved;
}
} // namespace

MShader *MMainWindow::currentEffect(bool tell) const
{
    MShaderList *library = MShaderList::instance();
    MShader *shader = library->shaderAt(library->currentRow());
    if (shader && shader->type() == MShader::EffectShader)
        return shader;
    if (tell)
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Please select an item"));
    return nullptr;
}

void MMainWindow::validateShaderActions()
{
    MTextureLayer *layer = m_view->canvas()->current();
    ui->thumbnailDockWidget->setWindowTitle(layer ? tr("Thumbnail: %1").arg(layer->name())
                                                  : tr("Thumbnail (no current layer)"));
    const bool hasEffect = layer && layer->hasShader();
    for (QAction *action : {ui->actionShowHideShaderPreview, ui->actionRemoveShaderPreview, ui->actionRasterizeShader,
                            ui->actionEdit_layer_effect_settings})
        action->setEnabled(hasEffect);
    ui->actionPreviewShader->setEnabled(layer && currentEffect());
    if (hasEffect)
        ui->actionShowHideShaderPreview->setText(layer->isShaderActive() ? tr("Hide effect") : tr("Show effect"));
}

void MMainWindow::setShaderPreviewText()
{
    if (!checkCurrentLayer())
        return;
    ui->actionShowHideShaderPreview->setText(m_view->canvas()->current()->isShaderActive() ? tr("Hide effect")
                                                                                          : tr("Show effect"));
}

void MMainWindow::openShaderParams(MShader *shader)
{
    MCanvas *canvas = m_view->canvas();
    MTextureLayer *layer = canvas->current();
    if (!layer || !shader)
        return;
    const int row = canvas->currentRow();
    // The dialog puts the effect on the layer as it opens.
    DShaderParams dialog(shader, layer, this);
    canvas->refresh();
    bool recorded = false;
    // Attaching or changing the effect is one step, taken before the effect
    // goes into the pixels, so that undo steps back through both.
    const auto record = [&]() {
        if (!recorded && canvas->at(row) == layer)
            canvas->updateLayerShader(row, dialog.entryState(), layer->shaderState());
        recorded = true;
    };
    connect(&dialog, &DShaderParams::shaderValuesChanged, canvas, qOverload<>(&MCanvas::refresh));
    connect(&dialog, &DShaderParams::applyShader, this, [&]() {
        record();
        on_actionRasterizeShader_triggered();
    });
    if (dialog.exec() == QDialog::Accepted)
        record();
    validateShaderActions();
}

void MMainWindow::editLayerShaderParams()
{
    MTextureLayer *layer = m_view->canvas()->current();
    if (!layer || !layer->hasShader())
        return;
    if (MShader *shader = MShaderList::instance()->find(layer->shaderId()))
        openShaderParams(shader);
}

void MMainWindow::setShaderParams()
{
    if (MShader *shader = currentEffect(true))
        openShaderParams(shader);
}

void MMainWindow::on_actionEdit_layer_effect_settings_triggered()
{
    editLayerShaderParams();
}

void MMainWindow::on_actionPreviewShader_triggered()
{
    setShaderParams();
}

void MMainWindow::on_actionShowHideShaderPreview_triggered()
{
    if (!checkCurrentLayer())
        return;
    MTextureLayer *layer = m_view->canvas()->current();
    layer->set_isShaderActive(!layer->isShaderActive());
    m_view->canvas()->refresh();
    setShaderPreviewText();
}

void MMainWindow::on_actionRemoveShaderPreview_triggered()
{
    if (!checkCurrentLayer())
        return;
    MCanvas *canvas = m_view->canvas();
    MTextureLayer *layer = canvas->current();
    const MShaderObject::ShaderState before = layer->shaderState();
    layer->set_shaderId(QString());
    canvas->updateLayerShader(canvas->currentRow(), before, layer->shaderState());
    canvas->refresh();
    validateShaderActions();
}

void MMainWindow::on_actionRasterizeShader_triggered()
{
    m_view->canvas()->applyEffect();
    validateShaderActions();
}

bool MMainWindow::checkEffectNotInUse(MShader *shader)
{
    MCanvas *canvas = m_view->canvas();
    QList<MTextureLayer *> users;
    for (int row = 0; row < canvas->count(); ++row) {
        MTextureLayer *layer = canvas->at(row);
        if (layer && shader && layer->hasShader() && layer->shaderId().compare(shader->id(), Qt::CaseInsensitive) == 0)
            users << layer;
    }
    if (users.isEmpty())
        return true;
    const int choice = MUtility::askChoice({tr("Remove"), tr("Cancel")},
                                           tr("The effect is in use in the canvas. You can't delete or edit an "
                                              "active effect."),
                                           tr("Do you want to remove effect preview before?"));
    if (choice != 0)
        return false;
    for (MTextureLayer *layer : users)
        layer->set_shaderId(QString());
    canvas->refresh();
    validateShaderActions();
    return true;
}

bool MMainWindow::editShader(MShader *shader, bool readOnly)
{
    if (!shader)
        return false;
    if (!readOnly && MShaderList::instance()->isSystemId(shader->id())) {
        const QString text = shader->type() == MShader::BrushShader
                                 ? tr("You can't edit a system brush engine. Duplicate the engine first and edit "
                                      "the duplicated version.")
                                 : tr("You can't edit a system effect. Duplicate the effect first and edit the "
                                      "duplicated version.");
        if (MUtility::askChoice({tr("View"), tr("Cancel")}, text, tr("Do you want to view the code in readonly mode?"))
            != 0)
            return false;
        readOnly = true;
    }
    if (!m_shaderEditor) {
        m_shaderEditor = new DShader(this);
        connect(m_shaderEditor, &DShader::shaderModified, this, &MMainWindow::onShaderModified);
        m_shaderEditor->installEventFilter(this);
    }
    m_shaderEditor->setWindowModality(Qt::ApplicationModal);
    m_shaderEditor->setShader(shader);
    m_shaderEditor->setMode(readOnly ? DShader::ReadOnly : DShader::Editable);
    m_shaderEditor->show();
    return true;
}

bool MMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A new effect closed without ever being saved is dropped.
    if (watched == m_shaderEditor && event->type() == QEvent::Hide && m_pendingShader) {
        MShader *unsaved = m_pendingShader;
        m_pendingShader = nullptr;
        m_shaderEditor->setShader(nullptr);
        delete unsaved;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MMainWindow::newShader(int type)
{
    const bool engine = type == MShader::BrushShader;
    DShaderName dialog(type, tr("new group"), engine ? tr("new brush engine") : tr("new effect"), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto *shader = new MShader();
    shader->reset();
    shader->set_type(type);
    shader->set_group(dialog.group());
    shader->set_description(dialog.description());
    delete m_pendingShader;
    m_pendingShader = shader;
    if (!editShader(shader, false)) {
        m_pendingShader = nullptr;
        delete shader;
    }
}

void MMainWindow::duplicateShader(MShader *shader)
{
    if (!shader)
        return;
    DShaderName dialog(shader->type(), shader->group(), tr("%1 - copy").arg(shader->description()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto *copy = new MShader();
    copy->reset();
    copy->copy(shader);
    copy->set_group(dialog.group());
    copy->set_description(dialog.description());
    if (!copy->save()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Error: unable to save the effect."));
        delete copy;
        return;
    }
    MShaderList::instance()->append(copy);
    editShader(copy, false);
}

void MMainWindow::renameShader(MShader *shader)
{
    if (!shader)
        return;
    if (MShaderList::instance()->isSystemId(shader->id())) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"),
                              shader->type() == MShader::BrushShader ? tr("You can't rename a system brush engine.")
                                                                     : tr("You can't rename a system effect."));
        return;
    }
    DShaderName dialog(shader->type(), shader->group(), shader->description(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    shader->set_group(dialog.group());
    shader->set_description(dialog.description());
    if (!shader->save())
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Error: unable to save the effect."));
}

void MMainWindow::onShaderModified(MShader *shader, bool saved)
{
    if (!shader)
        return;
    if (shader == m_pendingShader) {
        m_pendingShader = nullptr;
        MShaderList::instance()->append(shader);
    }
    if (!saved)
        return;
    MCanvas *canvas = m_view->canvas();
    canvas->shaderProgramList()->updateShader(shader->id());
    if (shader->type() == MShader::EffectShader) {
        canvas->refresh();
        return;
    }
    MShaderProgramList::scratchList()->updateShader(shader->id());
    MBrushList *brushes = MBrushList::instance();
    bool currentUsesIt = false;
    for (int row = 0; row < brushes->rowCount(); ++row) {
        MBrush *brush = brushes->brush(row);
        if (!brush || brush->shaderId().compare(shader->id(), Qt::CaseInsensitive) != 0)
            continue;
        saveBrushWithEngine(brush, shader->id());
        currentUsesIt = currentUsesIt || brush == brushes->currentBrush();
    }
    m_brushWidget->update();
    if (currentUsesIt)
        showBrushSettings();
}

void MMainWindow::on_actionRename_effect_triggered()
{
    renameShader(currentEffect(true));
}

void MMainWindow::on_actionImport_effect_triggered()
{
    MSettings *settings = MSettings::instance();
    const QString path = MUtility::askOpenFileName(
        tr("Import effect"), MUtility::lastFilesDirectory(),
        tr("Effects files (*.%1)").arg(QStringLiteral("kxs")) + QStringLiteral(";;") + tr("All files (*.*)"));
    if (path.isEmpty())
        return;
    settings->set_lastFilesDir(MUtility::fileDirectory(path));
    auto shader = std::make_unique<MShader>();
    if (!shader->load(path)) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Error: unable to load file."));
        return;
    }
    if (shader->type() != MShader::EffectShader) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("This file does not contain an effect."));
        return;
    }
    // The file's id is kept unless it would replace an effect of the library.
    MShaderList *library = MShaderList::instance();
    if (!MParamList::isItemId(shader->id()) || library->rowOfId(shader->id()) >= 0
        || library->isSystemId(shader->id()))
        shader->set_id(MParamList::newItemId());
    if (!shader->save()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Error: unable to save the effect."));
        return;
    }
    MShader *imported = shader.release();
    library->append(imported);
    const int choice = MUtility::askChoice({tr("edit"), tr("do not edit")},
                                           tr("Effect %1 loaded.").arg(imported->group() + QLatin1Char('/')
                                                                       + imported->description()),
                                           tr("Do you want to edit the effect source?"));
    if (choice == 0 && editShader(imported, false))
        imported->save();
}

void MMainWindow::on_actionNewShader_triggered()
{
    newShader(MShader::EffectShader);
}

void MMainWindow::on_actionDuplicateShader_triggered()
{
    duplicateShader(currentEffect(true));
}

void MMainWindow::on_actionEditShader_triggered()
{
    MShader *shader = currentEffect(true);
    if (shader && checkEffectNotInUse(shader))
        editShader(shader, false);
}

void MMainWindow::on_actionRemoveShader_triggered()
{
    MShader *shader = currentEffect(true);
    if (!shader)
        return;
    MShaderList *library = MShaderList::instance();
    if (library->isSystemId(shader->id())) {
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("You can't delete a system effect."));
        return;
    }
    if (!checkEffectNotInUse(shader))
        return;
    if (!MUtility::askConfirmation(tr("Delete"), tr("Do you confirm the suppression?"),
                                   tr("Effect %1").arg(shader->description())))
        return;
    library->remove(shader->id());
    validateShaderActions();
}

void MMainWindow::on_actionSet_effect_thumbnail_triggered()
{
    if (!checkCurrentLayer())
        return;
    MShader *shader = currentEffect(true);
    if (!shader)
        return;
    const QImage image = m_view->canvas()->flattenedImage(QStringLiteral("basic"));
    if (image.isNull())
        return;
    shader->set_preview(image.scaled(128, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    if (!shader->save())
        MUtility::showMessage(QMessageBox::Critical, tr("Effects"), tr("Error: unable to save the effect."));
}

MShader *MMainWindow::chooseBrushEngine()
{
    DBrushEngine dialog(this);
    return dialog.exec() == QDialog::Accepted ? dialog.shader() : nullptr;
}

void MMainWindow::showBrushSettings()
{
    MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    m_brushSettingsWidget->setBrush(brush);
    // Its eraser setting and engine may have changed with it.
    ui->actionEraserMode->setChecked(brush->eraser());
    validateBrushActions();
}

void MMainWindow::on_actionNew_brush_engine_triggered()
{
    newShader(MShader::BrushShader);
}

void MMainWindow::on_actionEdit_brush_engine_triggered()
{
    if (MShader *engine = chooseBrushEngine())
        editShader(engine, false);
}

void MMainWindow::on_actionDuplicate_brush_engine_triggered()
{
    duplicateShader(chooseBrushEngine());
}

void MMainWindow::on_actionRename_brush_engine_triggered()
{
    renameShader(chooseBrushEngine());
}

void MMainWindow::on_actionSet_brush_engine_triggered()
{
    if (!MBrushList::instance()->currentBrush())
        return;
    if (MShader *engine = chooseBrushEngine())
        setBrushEngine(engine);
}

void MMainWindow::on_actionReset_brush_engine_triggered()
{
    setBrushEngine(nullptr);
}

void MMainWindow::setBrushEngine(MShader *engine)
{
    MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    brush->set_shaderId(engine ? engine->id() : QString());
    brush->updatePreview();
    const bool saved = reportBrushSave(brush);
    showBrushSettings();
    if (!saved)
        return;
    MUtility::showMessage(QMessageBox::Information, tr("Brush"),
                          engine ? tr("Brush engine %1 assigned to brush.").arg(engine->description())
                                 : tr("Brush engine reset."));
}

void MMainWindow::on_actionDelete_brush_engine_triggered()
{
    MShader *engine = chooseBrushEngine();
    if (!engine)
        return;
    MShaderList *library = MShaderList::instance();
    if (library->isSystemId(engine->id())) {
        MUtility::showMessage(QMessageBox::Warning, tr("Brush"), tr("You can't delete a system brush engine."));
        return;
    }
    MBrushList *brushes = MBrushList::instance();
    QList<MBrush *> users;
    for (int row = 0; row < brushes->rowCount(); ++row) {
        MBrush *brush = brushes->brush(row);
        if (brush && brush->shaderId().compare(engine->id(), Qt::CaseInsensitive) == 0)
            users << brush;
    }
    const QString question = users.isEmpty()
                                 ? tr("Are you sure you want to delete the brush engine?")
                                 : tr("Are you sure you want to delete the brush engine (%n brush(es) using this "
                                      "engine)?",
                                      nullptr, users.size());
    if (MUtility::showMessage(QMessageBox::Question, tr("Delete brush engine"), question,
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    QStringList unsaved;
    for (MBrush *brush : users) {
        if (!saveBrushWithEngine(brush, QString()))
            unsaved << brush->group() + QLatin1Char('/') + brush->description();
    }
    library->remove(engine->id());
    m_brushWidget->update();
    showBrushSettings();
    if (unsaved.isEmpty())
        MUtility::showMessage(QMessageBox::Information, tr("Brush"), tr("Brush engine deleted."));
    else
        // Their files still name the engine; they load without one.
        MUtility::showMessage(QMessageBox::Warning, tr("Brush"), tr("Brush engine deleted."), QMessageBox::Ok,
                              QMessageBox::NoButton,
                              tr("These brushes could not be saved: %1").arg(unsaved.join(QStringLiteral(", "))));
}

#pragma once

#include <QMainWindow>

#include <functional>

class DGrabWidget;
class MBrush;
class MBrushSettingsWidget;
class DShader;
class MShader;
class MShaderWidget;
class MBrushWidget;
class MColorWidget;
class MColorPaletteWidget;
class MGradientPalette;
class MThumbnailWidget;
class MRecentFiles;
class MSelectionTool;
class MLoadingGate;
class MSystemConfigDump;
class MWidget;
class QDockWidget;
class QPrinter;
class QLabel;
class QProgressBar;
class QScrollBar;
class QToolBar;
class QUndoView;
class Ui_MMainWindow;

// The application's one window: the canvas view in the middle, the commands
// of the form in menus and tool bars, the panels in docks, the stored layout,
// full screen, transparency and the in-process restart.
class MMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MMainWindow(QWidget *parent = nullptr);
    ~MMainWindow() override;

    // Commands whose behaviour is not built yet: disabled, their slots empty.
    static const QStringList &pendingCommands();

    Ui_MMainWindow *form() const { return ui; }
    MWidget *view() const { return m_view; }
    MRecentFiles *recentFiles() const { return m_recentFiles; }
    MBrushWidget *brushWidget() const { return m_brushWidget; }
    MBrushSettingsWidget *brushSettingsWidget() const { return m_brushSettingsWidget; }
    MColorWidget *colorWidget() const { return m_colorWidget; }
    MGradientPalette *gradientPalette() const { return m_gradientPalette; }
    MColorPaletteWidget *colorPaletteWidget() const { return m_colorPaletteWidget; }
    MThumbnailWidget *thumbnailWidget() const { return m_thumbnailWidget; }
    DGrabWidget *grabWidget() const { return m_grabWidget; }
    QLabel *messageLabel() const { return m_messageLabel; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QScrollBar *zoomBar() const { return m_zoomBar; }
    double windowOpacityValue() const { return m_windowOpacityValue; }
    MShaderWidget *shaderWidget() const { return m_shaderWidget; }
    // The effect source editor, once an edit opened it.
    DShader *shaderEditor() const { return m_shaderEditor; }

    bool maybeSave();
    // Opens a document or an image in place; asks about unsaved changes
    // first unless the caller already did.
    bool loadFile(const QString &path, bool askToSave);
    int save();
    int saveAs();
    bool getSaveFileName(QString &path);
    void updateWindowTitle();
    // True with a current layer; otherwise tells the painter to select one.
    bool checkCurrentLayer();
    // False when the user cancelled the save question; then nothing was written.
    bool saveWindowSettings();
    void askRestart(const QString &message);

    // Effects and brush engines. False when the painter kept the effect on
    // the layers that use it.
    bool checkEffectNotInUse(MShader *shader);
    // Opens the effect source editor; false when the painter cancelled.
    bool editShader(MShader *shader, bool readOnly);
    void newShader(int type);
    void renameShader(MShader *shader);
    void openShaderParams(MShader *shader);

signals:
    // Once, from the application's event loop, after the window was first shown.
    void shown();

public slots:
    void showPanel(QDockWidget *dock);
    void showPanel(bool visible);
    void switchLayoutDirection();
    void onMenuToolBarsAboutToShow();
    void onMenuPanelsAboutToShow();
    bool openFile(const QString &path);
    void printPreview(QPrinter *printer);
    void validateClipboardActions();
    void undo();
    void redo();
    void setScale(int value);
    void windowTransparency();
    void decreaseWindowTransparency();
    void increaseWindowTransparency();
    void selectBrushByShortcut();
    void selectBrush();
    void applicationReboot();
    void validateBrushActions();
    void validateShaderActions();
    void setShaderPreviewText();
    void editLayerShaderParams();
    void setShaderParams();
    void onShaderModified(MShader *shader, bool saved);

    void on_actionRestoreDefaultLayout_triggered();
    void on_actionFullScreen_toggled(bool checked);

    void on_actionFileNew_triggered();
    void on_actionFileOpen_triggered();
    void on_actionFileSave_triggered();
    void on_actionFileSaveAs_triggered();
    void on_actionImport_image_file_triggered();
    void on_actionExportAsImage_triggered();
    void on_actionPrint_triggered();
    void on_actionProperties_triggered();
    void on_actionCopy_triggered();
    void on_actionCut_triggered();
    void on_actionPaste_triggered();
    void on_actionPasteInNewLayer_triggered();
    void on_actionIncrease_brush_radius_triggered();
    void on_actionDecrease_brush_radius_triggered();
    void on_actionChangePaper_triggered();
    void on_actionIncreasePaperSize_triggered();
    void on_actionDecreasePaperSize_triggered();
    void on_actionAdjustPaperToSelection_triggered();
    void on_actionPaper_auto_extension_toggled(bool checked);
    void on_actionDraw_tiles_toggled(bool checked);
    void on_actionClearColorHisto_triggered();
    void on_actionEditSettings_triggered();
    void on_actionSelectAll_triggered();
    void on_actionSelect_layer_bounding_rect_triggered();
    void on_actionInvertSelection_triggered();
    void on_actionResetSelection_triggered();
    void on_actionFillSelection_triggered();
    void on_actionStrokeSelection_triggered();
    void on_actionNextSelection_triggered();
    void on_actionPreviousSelection_triggered();
    void on_actionNewLayer_triggered();
    void on_actionPrependLayer_triggered();
    void on_actionEditLayer_triggered();
    void on_actionEdit_layer_effect_settings_triggered();
    void on_actionRemoveLayer_triggered();
    void on_actionDuplicateLayer_triggered();
    void on_actionMergeLayerWithUpper_triggered();
    void on_actionMergeLayerWithLower_triggered();
    void on_actionMoveLayerUp_triggered();
    void on_actionMoveLayerDown_triggered();
    void on_actionRemoveEmptyLayers_triggered();
    void on_actionTimeLine_triggered();
    void on_actionShowLayer_triggered();
    void on_actionLockLayer_triggered();
    void on_actionShowAllLayers_triggered();
    void on_actionHideAllLayers_triggered();
    void on_actionHideLayersExcept_triggered();
    void on_actionLockAllLayers_triggered();
    void on_actionUnlockAllLayers_triggered();
    void on_actionNextLayer_triggered();
    void on_actionPreviousLayer_triggered();
    void on_actionPreviewShader_triggered();
    void on_actionShowHideShaderPreview_triggered();
    void on_actionRemoveShaderPreview_triggered();
    void on_actionRasterizeShader_triggered();
    void on_actionRename_effect_triggered();
    void on_actionImport_effect_triggered();
    void on_actionNewShader_triggered();
    void on_actionDuplicateShader_triggered();
    void on_actionEditShader_triggered();
    void on_actionRemoveShader_triggered();
    void on_actionOpen_default_thumbnail_triggered();
    void on_actionSet_effect_thumbnail_triggered();
    void on_actionEdit_brush_settings_triggered();
    void on_actionResetBrushSettings_triggered();
    void on_actionNew_brush_triggered();
    void on_actionDelete_brush_triggered();
    void on_actionDuplicate_brush_triggered();
    void on_actionRename_brush_triggered();
    void on_actionLoad_brush_texture_triggered();
    void on_actionSortBrushes_triggered();
    void on_actionEdit_brush_quick_settings_triggered();
    void on_actionImport_brush_file_triggered();
    void on_actionRestore_brush_triggered();
    void on_actionSave_selection_as_textured_brush_triggered();
    void on_actionCopy_brush_to_system_directory_triggered();
    void on_actionRemove_brush_from_system_directory_triggered();
    void on_actionNew_brush_engine_triggered();
    void on_actionEdit_brush_engine_triggered();
    void on_actionDuplicate_brush_engine_triggered();
    void on_actionSet_brush_engine_triggered();
    void on_actionReset_brush_engine_triggered();
    void on_actionDelete_brush_engine_triggered();
    void on_actionRename_brush_engine_triggered();
    void on_actionColorPickerTool_triggered();
    void on_actionColor_converter_triggered();
    void on_actionResetCanvasPosition_triggered();
    void on_actionAdjustToWidth_triggered();
    void on_actionAdjustToHeight_triggered();
    void on_actionViewAllCanvas_triggered();
    void on_actionFlipHorizontal_triggered();
    void on_actionFlipVertical_triggered();
    void on_actionTake_a_screenshot_triggered();
    void on_actionHelp_index_triggered();
    void on_actionOnline_help_triggered();
    void on_actionCheck_updates_triggered();
    void on_actionContact_us_triggered();
    void on_actionAbout_Kalmi_triggered();
    void on_actionShow_system_logs_triggered();
    void onDownloadVersionInfo(const QByteArray *data);
    void onDownloadVersionInfoError(const QString &message);
    void on_actionEraserMode_toggled(bool checked);
    void on_actionLockBrushControlPoints_toggled(bool checked);
    void on_actionTexture_generator_triggered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Grows or shrinks the painted rectangle around its centre, keeping its ratio.
    void stepPaperSize(bool increase);
    // Radius x 1.2 up to the setting's maximum, or x 0.8 down to 1 pixel.
    void stepBrushRadius(bool increase);
    MSelectionTool *selectionTool() const;
    void colorPickerClosed();
    void emitShown(int delayMs = 0);
    void firstResize();
    void setupConnections();
    void setupToolBarTitles();
    void addToolBarTitle(QToolBar *toolBar, const QString &text);
    void styleToolBar(QToolBar *toolBar);
    void setupPanels();
    void setupBrushShortcuts();
    void restoreLayout();
    void restoreDefaultToolBars();
    void placeDefaultToolBars();
    void setFullScreenBars(bool on);
    void bringToFront(QDockWidget *dock);
    void setupThumbnail(QWidget *contents);
    void setupDocumentCommands();
    void setupBrushCommands();
    // Saves the brush; a failure is shown to the painter.
    bool reportBrushSave(MBrush *brush);
    void reportBrushNotSaved(const QString &group, const QString &name, const QString &why);
    void reportBrushAdded(const QString &group, const QString &name);
    // Writes the document under path; a failure is shown with its logged reason.
    bool writeDocument(const QString &path);
    // The effect chosen in the effect list; null, with a message when asked
    // for, when there is none.
    MShader *currentEffect(bool tell = false) const;
    MShader *chooseBrushEngine();
    // The current brush takes the engine (null: none), saved and shown again.
    void setBrushEngine(MShader *engine);
    void duplicateShader(MShader *shader);
    // The brush settings panel shows the current brush again; the actions
    // that follow the brush come into step with it.
    void showBrushSettings();

    Ui_MMainWindow *ui;
    MRecentFiles *m_recentFiles = nullptr;
    double m_windowOpacityValue = 0.8;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messageLabel = nullptr;
    bool m_firstResize = true;
    MWidget *m_view = nullptr;
    // Holds the painter's actions back while the tiles of a document come in.
    MLoadingGate *m_loadingGate = nullptr;
    QMetaObject::Connection m_loadingEnd;
    MBrushWidget *m_brushWidget = nullptr;
    MBrushSettingsWidget *m_brushSettingsWidget = nullptr;
    MColorWidget *m_colorWidget = nullptr;
    MGradientPalette *m_gradientPalette = nullptr;
    MColorPaletteWidget *m_colorPaletteWidget = nullptr;
    MThumbnailWidget *m_thumbnailWidget = nullptr;
    QUndoView *m_undoView = nullptr;
    DGrabWidget *m_grabWidget = nullptr;
    QScrollBar *m_zoomBar = nullptr;
    MShaderWidget *m_shaderWidget = nullptr;
    DShader *m_shaderEditor = nullptr;
    // A new effect or engine in the editor, joining the library once saved.
    MShader *m_pendingShader = nullptr;
    bool m_fullScreen = false;
    bool m_shownEmitted = false;
    // The name of the image a document was opened from, which has no
    // document file name of its own until it is saved.
    QString m_imageName;
    MSystemConfigDump *m_systemConfigDump = nullptr;
};

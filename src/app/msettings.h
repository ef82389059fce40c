#pragma once

#include "mpreferencecategory.h"
#include "msettingitem.h"
#include "msingleton.h"

#include <QColor>
#include <QHash>
#include <QKeySequence>
#include <QMap>
#include <QSettings>
#include <QStringList>
#include <QVector>

class QAction;
class QWidget;

// The preferences of the system over the platform settings store. Every
// setting is declared once, as a row of the settings table (key, type,
// default, range, page); its property reads and writes through that row and
// announces each change. The preferences dialog builds its pages from the
// rows that have a page.
class MSettings : public QSettings, public MSingleton<MSettings>
{
    Q_OBJECT
    Q_PROPERTY(bool saveLayout READ saveLayout WRITE set_saveLayout NOTIFY saveLayoutChanged)
    Q_PROPERTY(QString userLangId READ userLangId WRITE set_userLangId NOTIFY userLangIdChanged)
    Q_PROPERTY(bool translateCompositionModes READ translateCompositionModes WRITE set_translateCompositionModes NOTIFY translateCompositionModesChanged)
    Q_PROPERTY(bool showInstructions READ showInstructions WRITE set_showInstructions NOTIFY showInstructionsChanged)
    Q_PROPERTY(int textDuration READ textDuration WRITE set_textDuration NOTIFY textDurationChanged)
    Q_PROPERTY(QString openGlSdkUrl READ openGlSdkUrl WRITE set_openGlSdkUrl NOTIFY openGlSdkUrlChanged)
    Q_PROPERTY(int colorListLength READ colorListLength WRITE set_colorListLength NOTIFY colorListLengthChanged)
    Q_PROPERTY(int swatchSize READ swatchSize WRITE set_swatchSize NOTIFY swatchSizeChanged)
    Q_PROPERTY(int pointSize READ pointSize WRITE set_pointSize NOTIFY pointSizeChanged)
    Q_PROPERTY(int defaultWidth READ defaultWidth WRITE set_defaultWidth NOTIFY defaultWidthChanged)
    Q_PROPERTY(int defaultHeight READ defaultHeight WRITE set_defaultHeight NOTIFY defaultHeightChanged)
    Q_PROPERTY(int paperType READ paperType WRITE set_paperType NOTIFY paperTypeChanged)
    Q_PROPERTY(QColor paperColor READ paperColor WRITE set_paperColor NOTIFY paperColorChanged)
    Q_PROPERTY(QString paperName READ paperName WRITE set_paperName NOTIFY paperNameChanged)
    Q_PROPERTY(bool showEmptyPaper READ showEmptyPaper WRITE set_showEmptyPaper NOTIFY showEmptyPaperChanged)
    Q_PROPERTY(int resolutionUnit READ resolutionUnit WRITE set_resolutionUnit NOTIFY resolutionUnitChanged)
    Q_PROPERTY(int undoLimit READ undoLimit WRITE set_undoLimit NOTIFY undoLimitChanged)
    Q_PROPERTY(double undoMemoryMax READ undoMemoryMax WRITE set_undoMemoryMax NOTIFY undoMemoryMaxChanged)
    Q_PROPERTY(bool autoExtent READ autoExtent WRITE set_autoExtent NOTIFY autoExtentChanged)
    Q_PROPERTY(int paintMargin READ paintMargin WRITE set_paintMargin NOTIFY paintMarginChanged)
    Q_PROPERTY(QColor widgetBackgroundColor READ widgetBackgroundColor WRITE set_widgetBackgroundColor NOTIFY widgetBackgroundColorChanged)
    Q_PROPERTY(int gridSize READ gridSize WRITE setGridSize NOTIFY gridSizeChanged)
    Q_PROPERTY(bool showGrid READ showGrid WRITE setShowGrid NOTIFY showGridChanged)
    Q_PROPERTY(QColor gridColor READ gridColor WRITE setGridColor NOTIFY gridColorChanged)
    Q_PROPERTY(bool alignToGrid READ alignToGrid WRITE set_alignToGrid NOTIFY alignToGridChanged)
    Q_PROPERTY(int alignToGridSize READ alignToGridSize WRITE set_alignToGridSize NOTIFY alignToGridSizeChanged)
    Q_PROPERTY(bool smoothPixels READ smoothPixels WRITE set_smoothPixels NOTIFY smoothPixelsChanged)
    Q_PROPERTY(double smoothMaxScale READ smoothMaxScale WRITE set_smoothMaxScale NOTIFY smoothMaxScaleChanged)
    Q_PROPERTY(bool showThumbnails READ showThumbnails WRITE set_showThumbnails NOTIFY showThumbnailsChanged)
    Q_PROPERTY(bool showThumbnailsNamesOnly READ showThumbnailsNamesOnly WRITE set_showThumbnailsNamesOnly NOTIFY showThumbnailsNamesOnlyChanged)
    Q_PROPERTY(int thumbnailSize READ thumbnailSize WRITE set_thumbnailSize NOTIFY thumbnailSizeChanged)
    Q_PROPERTY(double thumbnailOpacity READ thumbnailOpacity WRITE set_thumbnailOpacity NOTIFY thumbnailOpacityChanged)
    Q_PROPERTY(QColor thumbnailColor READ thumbnailColor WRITE set_thumbnailColor NOTIFY thumbnailColorChanged)
    Q_PROPERTY(QColor thumbnailSelectionColor READ thumbnailSelectionColor WRITE set_thumbnailSelectionColor NOTIFY thumbnailSelectionColorChanged)
    Q_PROPERTY(int thumbnailPosition READ thumbnailPosition WRITE set_thumbnailPosition NOTIFY thumbnailPositionChanged)
    Q_PROPERTY(bool showTiling READ showTiling WRITE set_showTiling NOTIFY showTilingChanged)
    Q_PROPERTY(int editorTabSize READ editorTabSize WRITE set_editorTabSize NOTIFY editorTabSizeChanged)
    Q_PROPERTY(QString editorFontName READ editorFontName WRITE set_editorFontName NOTIFY editorFontNameChanged)
    Q_PROPERTY(int editorFontSize READ editorFontSize WRITE set_editorFontSize NOTIFY editorFontSizeChanged)
    Q_PROPERTY(bool editorSmartTab READ editorSmartTab WRITE set_editorSmartTab NOTIFY editorSmartTabChanged)
    Q_PROPERTY(QColor tableSelectionColor READ tableSelectionColor WRITE set_tableSelectionColor NOTIFY tableSelectionColorChanged)
    Q_PROPERTY(QColor textSelectionColor READ textSelectionColor WRITE set_textSelectionColor NOTIFY textSelectionColorChanged)
    Q_PROPERTY(QString userMail READ userMail WRITE set_userMail NOTIFY userMailChanged)
    Q_PROPERTY(QString serverUrl READ serverUrl WRITE set_serverUrl NOTIFY serverUrlChanged)
    Q_PROPERTY(QString lastFilesDir READ lastFilesDir WRITE set_lastFilesDir NOTIFY lastFilesDirChanged)
    Q_PROPERTY(bool openGL READ openGL WRITE set_openGL NOTIFY openGLChanged)
    Q_PROPERTY(QStringList recentFiles READ recentFiles WRITE set_recentFiles NOTIFY recentFilesChanged)
    Q_PROPERTY(QString startupFile READ startupFile WRITE set_startupFile NOTIFY startupFileChanged)
    Q_PROPERTY(QString lastFile READ lastFile WRITE set_lastFile NOTIFY lastFileChanged)
    Q_PROPERTY(int undoType READ undoType WRITE set_undoType NOTIFY undoTypeChanged)
    Q_PROPERTY(double undoMemorySize READ undoMemorySize WRITE set_undoMemorySize NOTIFY undoMemorySizeChanged)
    Q_PROPERTY(bool drawTiles READ drawTiles WRITE set_drawTiles NOTIFY drawTilesChanged)
    Q_PROPERTY(int gradientPanelIndex READ gradientPanelIndex WRITE set_gradientPanelIndex NOTIFY gradientPanelIndexChanged)
    Q_PROPERTY(bool firstUse READ firstUse WRITE set_firstUse NOTIFY firstUseChanged)
    Q_PROPERTY(int paletteIndex READ paletteIndex WRITE set_paletteIndex NOTIFY paletteIndexChanged)
    Q_PROPERTY(bool autoHidePanels READ autoHidePanels WRITE set_autoHidePanels NOTIFY autoHidePanelsChanged)
    Q_PROPERTY(bool generateMipmaps READ generateMipmaps WRITE set_generateMipmaps NOTIFY generateMipmapsChanged)
public:
    explicit MSettings(QObject *parent = nullptr);
    ~MSettings() override;

    bool saveLayout() const;
    QString userLangId() const;
    bool translateCompositionModes() const;
    bool showInstructions() const;
    int textDuration() const;
    QString openGlSdkUrl() const;
    int colorListLength() const;
    int swatchSize() const;
    int pointSize() const;
    int defaultWidth() const;
    int defaultHeight() const;
    int paperType() const;
    QColor paperColor() const;
    QString paperName() const;
    bool showEmptyPaper() const;
    int resolutionUnit() const;
    int undoLimit() const;
    double undoMemoryMax() const;
    bool autoExtent() const;
    int paintMargin() const;
    QColor widgetBackgroundColor() const;
    int gridSize() const;
    bool showGrid() const;
    QColor gridColor() const;
    bool alignToGrid() const;
    int alignToGridSize() const;
    bool smoothPixels() const;
    double smoothMaxScale() const;
    bool showThumbnails() const;
    bool showThumbnailsNamesOnly() const;
    int thumbnailSize() const;
    double thumbnailOpacity() const;
    QColor thumbnailColor() const;
    QColor thumbnailSelectionColor() const;
    int thumbnailPosition() const;
    bool showTiling() const;
    int editorTabSize() const;
    QString editorFontName() const;
    int editorFontSize() const;
    bool editorSmartTab() const;
    QColor tableSelectionColor() const;
    QColor textSelectionColor() const;
    QString userMail() const;
    // The maker's web server (scheme and host); every address of the update
    // check, the log upload and the web pages starts with it.
    QString serverUrl() const;
    QString lastFilesDir() const;
    bool openGL() const;
    QStringList recentFiles() const;
    QString startupFile() const;
    QString lastFile() const;
    int undoType() const;
    double undoMemorySize() const;
    bool drawTiles() const;
    int gradientPanelIndex() const;
    bool firstUse() const;
    int paletteIndex() const;
    bool autoHidePanels() const;
    bool generateMipmaps() const;
    // Generic typed access: the stored value converted to its type, or the
    // default when absent or not convertible.
    bool boolValue(const QString &key, bool defaultValue) const;
    int intValue(const QString &key, int defaultValue) const;
    double doubleValue(const QString &key, double defaultValue) const;
    QColor colorValue(const QString &key, const QColor &defaultValue) const;
    QString stringValue(const QString &key, const QString &defaultValue) const;
    QStringList stringListValue(const QString &key, const QStringList &defaultValue) const;
    void setBoolValue(const QString &key, bool value);
    void setIntValue(const QString &key, int value);
    void setDoubleValue(const QString &key, double value);
    void setColorValue(const QString &key, const QColor &value);
    void setStringValue(const QString &key, const QString &value);
    void setStringListValue(const QString &key, const QStringList &value);

    // The rows the preferences dialog shows, in page order.
    const QVector<MSettingItem> &items() const { return m_items; }
    // Every declared setting, shown or not.
    const QVector<MSettingItem> &table() const { return m_table; }
    MSettingItem settingItem(const QString &key) const;
    int categoryCount() const { return m_categories.size(); }
    MPreferenceCategory &categoryAt(int index) { return m_categories[index]; }
    void buildItems();

    // Shortcuts of the named actions below a widget, group "Action"
    void loadShortcuts(QWidget *widget);
    void saveShortcuts(QWidget *widget);
    QString defaultShortcut(QAction *action) const;

    void cleanup();

public slots:
    void set_saveLayout(bool value);
    void set_userLangId(const QString & value);
    void set_translateCompositionModes(bool value);
    void set_showInstructions(bool value);
    void set_textDuration(int value);
    void set_openGlSdkUrl(const QString & value);
    void set_colorListLength(int value);
    void set_swatchSize(int value);
    void set_pointSize(int value);
    void set_defaultWidth(int value);
    void set_defaultHeight(int value);
    void set_paperType(int value);
    void set_paperColor(const QColor & value);
    void set_paperName(const QString & value);
    void set_showEmptyPaper(bool value);
    void set_resolutionUnit(int value);
    void set_undoLimit(int value);
    void set_undoMemoryMax(double value);
    void set_autoExtent(bool value);
    void set_paintMargin(int value);
    void set_widgetBackgroundColor(const QColor & value);
    void setGridSize(int value);
    void setShowGrid(bool value);
    void setGridColor(const QColor & value);
    void set_alignToGrid(bool value);
    void set_alignToGridSize(int value);
    void set_smoothPixels(bool value);
    void set_smoothMaxScale(double value);
    void set_showThumbnails(bool value);
    void set_showThumbnailsNamesOnly(bool value);
    void set_thumbnailSize(int value);
    void set_thumbnailOpacity(double value);
    void set_thumbnailColor(const QColor & value);
    void set_thumbnailSelectionColor(const QColor & value);
    void set_thumbnailPosition(int value);
    void set_showTiling(bool value);
    void set_editorTabSize(int value);
    void set_editorFontName(const QString & value);
    void set_editorFontSize(int value);
    void set_editorSmartTab(bool value);
    void set_tableSelectionColor(const QColor & value);
    void set_textSelectionColor(const QColor & value);
    void set_userMail(const QString & value);
    void set_serverUrl(const QString & value);
    void set_lastFilesDir(const QString & value);
    void set_openGL(bool value);
    void set_recentFiles(const QStringList & value);
    void set_startupFile(const QString & value);
    void set_lastFile(const QString & value);
    void set_undoType(int value);
    void set_undoMemorySize(double value);
    void set_drawTiles(bool value);
    void set_gradientPanelIndex(int value);
    void set_firstUse(bool value);
    void set_paletteIndex(int value);
    void set_autoHidePanels(bool value);
    void set_generateMipmaps(bool value);
signals:
    void saveLayoutChanged(bool value);
    void userLangIdChanged(const QString & value);
    void translateCompositionModesChanged(bool value);
    void showInstructionsChanged(bool value);
    void textDurationChanged(int value);
    void openGlSdkUrlChanged(const QString & value);
    void colorListLengthChanged(int value);
    void swatchSizeChanged(int value);
    void pointSizeChanged(int value);
    void defaultWidthChanged(int value);
    void defaultHeightChanged(int value);
    void paperTypeChanged(int value);
    void paperColorChanged(const QColor & value);
    void paperNameChanged(const QString & value);
    void showEmptyPaperChanged(bool value);
    void resolutionUnitChanged(int value);
    void undoLimitChanged(int value);
    void undoMemoryMaxChanged(double value);
    void autoExtentChanged(bool value);
    void paintMarginChanged(int value);
    void widgetBackgroundColorChanged(const QColor & value);
    void gridSizeChanged(int value);
    void showGridChanged(bool value);
    void gridColorChanged(const QColor & value);
    void alignToGridChanged(bool value);
    void alignToGridSizeChanged(int value);
    void smoothPixelsChanged(bool value);
    void smoothMaxScaleChanged(double value);
    void showThumbnailsChanged(bool value);
    void showThumbnailsNamesOnlyChanged(bool value);
    void thumbnailSizeChanged(int value);
    void thumbnailOpacityChanged(double value);
    void thumbnailColorChanged(const QColor & value);
    void thumbnailSelectionColorChanged(const QColor & value);
    void thumbnailPositionChanged(int value);
    void showTilingChanged(bool value);
    void editorTabSizeChanged(int value);
    void editorFontNameChanged(const QString & value);
    void editorFontSizeChanged(int value);
    void editorSmartTabChanged(bool value);
    void tableSelectionColorChanged(const QColor & value);
    void textSelectionColorChanged(const QColor & value);
    void userMailChanged(const QString & value);
    void serverUrlChanged(const QString & value);
    void lastFilesDirChanged(const QString & value);
    void openGLChanged(bool value);
    void recentFilesChanged(const QStringList & value);
    void startupFileChanged(const QString & value);
    void lastFileChanged(const QString & value);
    void undoTypeChanged(int value);
    void undoMemorySizeChanged(double value);
    void drawTilesChanged(bool value);
    void gradientPanelIndexChanged(int value);
    void firstUseChanged(bool value);
    void paletteIndexChanged(int value);
    void autoHidePanelsChanged(bool value);
    void generateMipmapsChanged(bool value);

protected:
    bool event(QEvent *event) override;

private:
    // The stored value of a declared key, converted to its row's type; the
    // row's default when absent or not convertible.
    QVariant read(const QString &key) const;
    // Stores the value (within its row's range when the row asks for it) and
    // emits the property's change signal when the value changed.
    void write(const QString &key, const QVariant &value);

    QVector<MSettingItem> m_table;
    QVector<MSettingItem> m_items;
    QMap<QString, int> m_keyIndex;
    QVector<MPreferenceCategory> m_categories;
    QHash<QAction *, QKeySequence> m_defaultShortcuts;
};

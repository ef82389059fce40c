#include "msettings.h"

#include "mlogcategory.h"
#include "mlogger.h"

#include <QAction>
#include <QDebug>
#include <QWidget>

MSettings::MSettings(QObject *parent)
    : QSettings(parent)
{
    buildItems();
    MLogger::instance()->log(QStringLiteral("Settings loaded"));
    cleanup();
    setBoolValue(QStringLiteral("generateMipmaps"), true);
}

MSettings::~MSettings() = default;

// ---------------------------------------------------------------- typed access

bool MSettings::boolValue(const QString &key, bool defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return defaultValue;
    switch (v.userType()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return v.toLongLong() != 0;
    case QMetaType::QString: {
        const QString text = v.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        return defaultValue;
    }
    default:
        return defaultValue;
    }
}

int MSettings::intValue(const QString &key, int defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid() || v.userType() == QMetaType::QColor || v.userType() == QMetaType::QStringList)
        return defaultValue;
    bool ok = false;
    const int result = v.toInt(&ok);
    return ok ? result : defaultValue;
}

double MSettings::doubleValue(const QString &key, double defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid() || v.userType() == QMetaType::QColor || v.userType() == QMetaType::QStringList)
        return defaultValue;
    bool ok = false;
    const double result = v.toDouble(&ok);
    return ok ? result : defaultValue;
}

QColor MSettings::colorValue(const QString &key, const QColor &defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return defaultValue;
    QColor color;
    if (v.userType() == QMetaType::QColor)
        color = v.value<QColor>();
    else if (v.userType() == QMetaType::QString)
        color = QColor(v.toString().trimmed());
    return color.isValid() ? color : defaultValue;
}

QString MSettings::stringValue(const QString &key, const QString &defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid() || v.userType() == QMetaType::QStringList || !v.canConvert<QString>())
        return defaultValue;
    return v.toString();
}

QStringList MSettings::stringListValue(const QString &key, const QStringList &defaultValue) const
{
    const QVariant v = value(key);
    if (!v.isValid() || !v.canConvert<QStringList>())
        return defaultValue;
    return v.toStringList();
}

void MSettings::setBoolValue(const QString &key, bool value) { setValue(key, value); }
void MSettings::setIntValue(const QString &key, int value) { setValue(key, value); }
void MSettings::setDoubleValue(const QString &key, double value) { setValue(key, value); }
void MSettings::setColorValue(const QString &key, const QColor &value) { setValue(key, value); }
void MSettings::setStringValue(const QString &key, const QString &value) { setValue(key, value); }
void MSettings::setStringListValue(const QString &key, const QStringList &value) { setValue(key, value); }

// ---------------------------------------------------------------- descriptions

void MSettings::buildItems()
{
    m_items.clear();
    m_categories.clear();
    const QString user = QStringLiteral("User"), document = QStringLiteral("Document"), grid = QStringLiteral("Grid"),
                  display = QStringLiteral("Display"), editor = QStringLiteral("Editor");
    m_categories.append({user, tr("User"), QString(), false});
    m_categories.append({document, tr("Document"), QString(), false});
    m_categories.append({grid, tr("Grid"), QString(), false});
    m_categories.append({display, tr("Display"), QString(), false});
    m_categories.append({editor, tr("Editor"), QString(), false});
    m_categories.append({QStringLiteral("Shortcuts"), tr("Shortcuts"), QString(), false});

    enum { Bool = 1, Int = 2, Double = 6, Text = 10, Font = 64, Color = 67 };
    const QString none;
    m_items = {
        {QStringLiteral("saveLayout"), tr("Save layout"), user, Bool},
        {QStringLiteral("userLangId"), tr("User language"), user, Text},
        {QStringLiteral("translateCompositionModes"), tr("Translate composition modes"), user, Bool},
        {QStringLiteral("showInstructions"), tr("Show instructions"), user, Bool},
        {QStringLiteral("textDuration"), tr("Texts duration"), user, Int, none, 1, 30},
        {QStringLiteral("openGlSdkUrl"), tr("OpenGL SDK documentation url"), user, Text},
        {QStringLiteral("colorListLength"), tr("Color history length"), user, Int},
        {QStringLiteral("swatchSize"), tr("Palette swatch size"), user, Int, none, 10, 60},
        {QStringLiteral("pointSize"), tr("Control point size"), user, Int, none, 5, 25},
        {QStringLiteral("defaultWidth"), tr("Default width"), document, Int},
        {QStringLiteral("defaultHeight"), tr("Default height"), document, Int},
        {QStringLiteral("paperType"), tr("Paper type"), document, Int, QStringLiteral("PaperType")},
        {QStringLiteral("paperColor"), tr("Paper color"), document, Color},
        {QStringLiteral("paperName"), tr("Paper name"), document, Text},
        {QStringLiteral("showEmptyPaper"), tr("Show empty paper background"), document, Bool},
        {QStringLiteral("resolutionUnit"), tr("Resolution unit"), document, Int, QStringLiteral("ResolutionUnit")},
        {QStringLiteral("undoLimit"), tr("Undo/redo limit (8 to 64)"), document, Int, none, 8, 64},
        {QStringLiteral("undoMemoryMax"), tr("Undo/redo memory size (128 to 1024 MB)"), document, Double, none, 128, 1024},
        {QStringLiteral("autoExtent"), tr("Auto extent document"), document, Bool},
        {QStringLiteral("paintMargin"), tr("Paint margin"), document, Int, none, 0, 1000},
        {QStringLiteral("widgetBackgroundColor"), tr("Document background color"), document, Color},
        {QStringLiteral("gridSize"), tr("Grid size"), grid, Int, none, 2, 10000},
        {QStringLiteral("showGrid"), tr("Show grid"), grid, Bool},
        {QStringLiteral("gridColor"), tr("Grid color"), grid, Color},
        {QStringLiteral("alignToGrid"), tr("Align to grid"), grid, Bool},
        {QStringLiteral("alignToGridSize"), tr("Align to grid size"), grid, Int, none, 2, 10000},
        {QStringLiteral("smoothPixels"), tr("Smooth pixels"), display, Bool},
        {QStringLiteral("smoothMaxScale"), tr("Smooth until zoom reaches X"), display, Double, none, 1, 100},
        {QStringLiteral("showThumbnails"), tr("Show thumbnails"), display, Bool},
        {QStringLiteral("showThumbnailsNamesOnly"), tr("Show thumbnails names only"), display, Bool},
        {QStringLiteral("thumbnailSize"), tr("Thumbnail size"), display, Double, none, 16, 128},
        {QStringLiteral("thumbnailOpacity"), tr("Thumbnail opacity"), display, Double, none, 0.1, 1},
        {QStringLiteral("thumbnailColor"), tr("Thumbnail color"), display, Color},
        {QStringLiteral("thumbnailSelectionColor"), tr("Thumbnail selection color"), display, Color},
        {QStringLiteral("thumbnailPosition"), tr("Thumbnail position"), display, Int, QStringLiteral("Edge")},
        {QStringLiteral("showTiling"), tr("Show tiling"), display, Bool},
        {QStringLiteral("editorTabSize"), tr("Tab size"), editor, Int, none, 2, 10},
        {QStringLiteral("editorFontName"), tr("Font name"), editor, Font},
        {QStringLiteral("editorFontSize"), tr("Font size"), editor, Int, none, 5, 60},
        {QStringLiteral("editorSmartTab"), tr("Smart tab"), editor, Bool},
    };

    m_keyIndex.clear();
    for (int i = 0; i < m_items.size(); ++i)
        m_keyIndex.insert(m_items.at(i).key, i);
}

MSettingItem MSettings::settingItem(const QString &key) const
{
    const auto it = m_keyIndex.constFind(key);
    if (it == m_keyIndex.constEnd())
        return MSettingItem();
    return m_items.at(it.value());
}

// ---------------------------------------------------------------- key migration

void MSettings::cleanup()
{
    QSettings store;
    if (store.value(QStringLiteral("clean")).toBool())
        return;
    qCDebug(lcApp).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("msettings"), QStringLiteral("MSettings::cleanup"))
                       << "Cleaning settings values";

    QHash<QString, QVariant> normalised;
    const QStringList keys = store.allKeys();
    for (const QString &key : keys) {
        QStringList parts = key.split(QLatin1Char('/'), Qt::KeepEmptyParts);
        for (int i = 0; i < parts.size(); ++i) {
            QString &part = parts[i];
            if (part.isEmpty())
                continue;
            part[0] = (i + 1 < parts.size()) ? part.at(0).toUpper() : part.at(0).toLower();
        }
        normalised.insert(parts.join(QLatin1Char('/')), store.value(key));
    }

    const QStringList groups = store.childGroups();
    for (const QString &group : groups)
        store.remove(group);
    store.clear();
    for (auto it = normalised.constBegin(); it != normalised.constEnd(); ++it)
        store.setValue(it.key(), it.value());
    store.remove(QStringLiteral("DShader"));
    store.setValue(QStringLiteral("clean"), true);
    store.sync();
    sync();
}

// ---------------------------------------------------------------- shortcuts

void MSettings::loadShortcuts(QWidget *widget)
{
    if (!widget)
        return;
    const QList<QAction *> actions = widget->findChildren<QAction *>();
    if (actions.isEmpty())
        return;
    QSettings store;
    store.beginGroup(QStringLiteral("Action"));
    for (QAction *action : actions) {
        const QString name = action->objectName();
        if (name.isEmpty())
            continue;
        m_defaultShortcuts.insert(action, action->shortcut());
        const QString text = store.value(name).toString();
        // Stored as portable text, so read back as portable text: native text
        // would lose the shortcut under a translation.
        if (!text.isEmpty())
            action->setShortcut(QKeySequence::fromString(text, QKeySequence::PortableText));
    }
    store.endGroup();
}

void MSettings::saveShortcuts(QWidget *widget)
{
    if (!widget)
        return;
    const QList<QAction *> actions = widget->findChildren<QAction *>();
    QSettings store;
    store.beginGroup(QStringLiteral("Action"));
    for (QAction *action : actions) {
        const QString name = action->objectName();
        if (name.isEmpty())
            continue;
        store.setValue(name, action->shortcut().toString(QKeySequence::PortableText));
    }
    store.endGroup();
}

QString MSettings::defaultShortcut(QAction *action) const
{
    const auto it = m_defaultShortcuts.constFind(action);
    if (it == m_defaultShortcuts.constEnd())
        return QString();
    return it.value().toString(QKeySequence::PortableText);
}

// ---------------------------------------------------------------- keys

bool MSettings::saveLayout() const
{
    return boolValue(QStringLiteral("saveLayout"), true);
}

void MSettings::set_saveLayout(bool value)
{
    if (saveLayout() == value)
        return;
    setBoolValue(QStringLiteral("saveLayout"), value);
    emit saveLayoutChanged(value);
}

QString MSettings::userLangId() const
{
    return stringValue(QStringLiteral("userLangId"), QStringLiteral("en"));
}

void MSettings::set_userLangId(const QString & value)
{
    if (userLangId() == value)
        return;
    setStringValue(QStringLiteral("userLangId"), value);
    emit userLangIdChanged(value);
}

bool MSettings::translateCompositionModes() const
{
    return boolValue(QStringLiteral("translateCompositionModes"), true);
}

void MSettings::set_translateCompositionModes(bool value)
{
    if (translateCompositionModes() == value)
        return;
    setBoolValue(QStringLiteral("translateCompositionModes"), value);
    emit translateCompositionModesChanged(value);
}

bool MSettings::showInstructions() const
{
    return boolValue(QStringLiteral("showInstructions"), true);
}

void MSettings::set_showInstructions(bool value)
{
    setBoolValue(QStringLiteral("showInstructions"), value);
}

int MSettings::textDuration() const
{
    return intValue(QStringLiteral("textDuration"), 5);
}

void MSettings::set_textDuration(int value)
{
    if (textDuration() == value)
        return;
    setIntValue(QStringLiteral("textDuration"), value);
    emit textDurationChanged(value);
}

QString MSettings::openGlSdkUrl() const
{
    return stringValue(QStringLiteral("openGlSdkUrl"), QStringLiteral("https://registry.khronos.org/OpenGL-Refpages/gl4/"));
}

void MSettings::set_openGlSdkUrl(const QString & value)
{
    if (openGlSdkUrl() == value)
        return;
    setStringValue(QStringLiteral("openGlSdkUrl"), value);
    emit openGlSdkUrlChanged(value);
}

int MSettings::colorListLength() const
{
    return intValue(QStringLiteral("colorListLength"), 10);
}

void MSettings::set_colorListLength(int value)
{
    setIntValue(QStringLiteral("colorListLength"), value);
}

int MSettings::swatchSize() const
{
    return intValue(QStringLiteral("swatchSize"), 16);
}

void MSettings::set_swatchSize(int value)
{
    if (swatchSize() == value)
        return;
    setIntValue(QStringLiteral("swatchSize"), value);
    emit swatchSizeChanged(value);
}

int MSettings::pointSize() const
{
    return intValue(QStringLiteral("pointSize"), 12);
}

void MSettings::set_pointSize(int value)
{
    if (pointSize() == value)
        return;
    setIntValue(QStringLiteral("pointSize"), value);
    emit pointSizeChanged(value);
}

int MSettings::defaultWidth() const
{
    return intValue(QStringLiteral("defaultWidth"), 1000);
}

void MSettings::set_defaultWidth(int value)
{
    setIntValue(QStringLiteral("defaultWidth"), value);
}

int MSettings::defaultHeight() const
{
    return intValue(QStringLiteral("defaultHeight"), 1000);
}

void MSettings::set_defaultHeight(int value)
{
    setIntValue(QStringLiteral("defaultHeight"), value);
}

int MSettings::paperType() const
{
    return intValue(QStringLiteral("paperType"), 1);
}

void MSettings::set_paperType(int value)
{
    setIntValue(QStringLiteral("paperType"), value);
}

QColor MSettings::paperColor() const
{
    return colorValue(QStringLiteral("paperColor"), QColor(255, 255, 255, 255));
}

void MSettings::set_paperColor(const QColor & value)
{
    setColorValue(QStringLiteral("paperColor"), value);
}

QString MSettings::paperName() const
{
    return stringValue(QStringLiteral("paperName"), QStringLiteral("paper-01.jpg"));
}

void MSettings::set_paperName(const QString & value)
{
    setStringValue(QStringLiteral("paperName"), value);
}

bool MSettings::showEmptyPaper() const
{
    return boolValue(QStringLiteral("showEmptyPaper"), true);
}

void MSettings::set_showEmptyPaper(bool value)
{
    if (showEmptyPaper() == value)
        return;
    setBoolValue(QStringLiteral("showEmptyPaper"), value);
    emit showEmptyPaperChanged(value);
}

int MSettings::resolutionUnit() const
{
    return intValue(QStringLiteral("resolutionUnit"), 0);
}

void MSettings::set_resolutionUnit(int value)
{
    setIntValue(QStringLiteral("resolutionUnit"), value);
}

int MSettings::undoLimit() const
{
    return intValue(QStringLiteral("undoLimit"), 32);
}

void MSettings::set_undoLimit(int value)
{
    if (undoLimit() == value)
        return;
    setIntValue(QStringLiteral("undoLimit"), value);
    emit undoLimitChanged(value);
}

double MSettings::undoMemoryMax() const
{
    return doubleValue(QStringLiteral("undoMemoryMax"), 256.0);
}

void MSettings::set_undoMemoryMax(double value)
{
    if (undoMemoryMax() == value)
        return;
    setDoubleValue(QStringLiteral("undoMemoryMax"), value);
    emit undoMemoryMaxChanged(value);
}

bool MSettings::autoExtent() const
{
    return boolValue(QStringLiteral("autoExtent"), true);
}

void MSettings::set_autoExtent(bool value)
{
    setBoolValue(QStringLiteral("autoExtent"), value);
}

int MSettings::paintMargin() const
{
    return intValue(QStringLiteral("paintMargin"), 20);
}

void MSettings::set_paintMargin(int value)
{
    setIntValue(QStringLiteral("paintMargin"), value);
}

QColor MSettings::widgetBackgroundColor() const
{
    return colorValue(QStringLiteral("widgetBackgroundColor"), QColor(Qt::darkGray));
}

void MSettings::set_widgetBackgroundColor(const QColor & value)
{
    if (widgetBackgroundColor() == value)
        return;
    setColorValue(QStringLiteral("widgetBackgroundColor"), value);
    emit widgetBackgroundColorChanged(value);
}

int MSettings::gridSize() const
{
    return intValue(QStringLiteral("gridSize"), 30);
}

void MSettings::setGridSize(int value)
{
    if (gridSize() == value)
        return;
    const int stored = qMax(value, 2);
    setIntValue(QStringLiteral("gridSize"), stored);
    emit gridSizeChanged(stored);
}

bool MSettings::showGrid() const
{
    return boolValue(QStringLiteral("showGrid"), false);
}

void MSettings::setShowGrid(bool value)
{
    if (showGrid() == value)
        return;
    setBoolValue(QStringLiteral("showGrid"), value);
    emit showGridChanged(value);
}

QColor MSettings::gridColor() const
{
    return colorValue(QStringLiteral("gridColor"), QColor(200, 200, 200, 255));
}

void MSettings::setGridColor(const QColor & value)
{
    if (gridColor() == value)
        return;
    setColorValue(QStringLiteral("gridColor"), value);
    emit gridColorChanged(value);
}

bool MSettings::alignToGrid() const
{
    return boolValue(QStringLiteral("alignToGrid"), true);
}

void MSettings::set_alignToGrid(bool value)
{
    setBoolValue(QStringLiteral("alignToGrid"), value);
}

int MSettings::alignToGridSize() const
{
    return intValue(QStringLiteral("alignToGridSize"), 10);
}

void MSettings::set_alignToGridSize(int value)
{
    setIntValue(QStringLiteral("alignToGridSize"), qMax(value, 2));
}

bool MSettings::smoothPixels() const
{
    return boolValue(QStringLiteral("smoothPixels"), true);
}

void MSettings::set_smoothPixels(bool value)
{
    setBoolValue(QStringLiteral("smoothPixels"), value);
}

double MSettings::smoothMaxScale() const
{
    return double(float(doubleValue(QStringLiteral("smoothMaxScale"), 6.0)));
}

void MSettings::set_smoothMaxScale(double value)
{
    setDoubleValue(QStringLiteral("smoothMaxScale"), value);
}

bool MSettings::showThumbnails() const
{
    return boolValue(QStringLiteral("showThumbnails"), true);
}

void MSettings::set_showThumbnails(bool value)
{
    if (showThumbnails() == value)
        return;
    setBoolValue(QStringLiteral("showThumbnails"), value);
    emit showThumbnailsChanged(value);
}

bool MSettings::showThumbnailsNamesOnly() const
{
    return boolValue(QStringLiteral("showThumbnailsNamesOnly"), false);
}

void MSettings::set_showThumbnailsNamesOnly(bool value)
{
    if (showThumbnailsNamesOnly() == value)
        return;
    setBoolValue(QStringLiteral("showThumbnailsNamesOnly"), value);
    emit showThumbnailsNamesOnlyChanged(value);
}

int MSettings::thumbnailSize() const
{
    return int(doubleValue(QStringLiteral("thumbnailSize"), 70));
}

void MSettings::set_thumbnailSize(int value)
{
    if (thumbnailSize() == value)
        return;
    setIntValue(QStringLiteral("thumbnailSize"), value);
    emit thumbnailSizeChanged(value);
}

double MSettings::thumbnailOpacity() const
{
    return doubleValue(QStringLiteral("thumbnailOpacity"), 0.8);
}

void MSettings::set_thumbnailOpacity(double value)
{
    if (thumbnailOpacity() == value)
        return;
    setDoubleValue(QStringLiteral("thumbnailOpacity"), value);
    emit thumbnailOpacityChanged(value);
}

QColor MSettings::thumbnailColor() const
{
    return colorValue(QStringLiteral("thumbnailColor"), QColor(QStringLiteral("#eeeeee")));
}

void MSettings::set_thumbnailColor(const QColor & value)
{
    if (thumbnailColor() == value)
        return;
    setColorValue(QStringLiteral("thumbnailColor"), value);
    emit thumbnailColorChanged(value);
}

QColor MSettings::thumbnailSelectionColor() const
{
    return colorValue(QStringLiteral("thumbnailSelectionColor"), QColor(QStringLiteral("#ffffff")));
}

void MSettings::set_thumbnailSelectionColor(const QColor & value)
{
    if (thumbnailSelectionColor() == value)
        return;
    setColorValue(QStringLiteral("thumbnailSelectionColor"), value);
    emit thumbnailSelectionColorChanged(value);
}

int MSettings::thumbnailPosition() const
{
    return intValue(QStringLiteral("thumbnailPosition"), 0);
}

void MSettings::set_thumbnailPosition(int value)
{
    if (thumbnailPosition() == value)
        return;
    setIntValue(QStringLiteral("thumbnailPosition"), value);
    emit thumbnailPositionChanged(value);
}

bool MSettings::showTiling() const
{
    return boolValue(QStringLiteral("showTiling"), false);
}

void MSettings::set_showTiling(bool value)
{
    if (showTiling() == value)
        return;
    setBoolValue(QStringLiteral("showTiling"), value);
    emit showTilingChanged(value);
}

int MSettings::editorTabSize() const
{
    return intValue(QStringLiteral("editorTabSize"), 4);
}

void MSettings::set_editorTabSize(int value)
{
    if (editorTabSize() == value)
        return;
    setIntValue(QStringLiteral("editorTabSize"), value);
    emit editorTabSizeChanged(value);
}

QString MSettings::editorFontName() const
{
    return stringValue(QStringLiteral("editorFontName"), QStringLiteral("Courier new"));
}

void MSettings::set_editorFontName(const QString & value)
{
    if (editorFontName() == value)
        return;
    setStringValue(QStringLiteral("editorFontName"), value);
    emit editorFontNameChanged(value);
}

int MSettings::editorFontSize() const
{
    return intValue(QStringLiteral("editorFontSize"), 11);
}

void MSettings::set_editorFontSize(int value)
{
    if (editorFontSize() == value)
        return;
    setIntValue(QStringLiteral("editorFontSize"), value);
    emit editorFontSizeChanged(value);
}

bool MSettings::editorSmartTab() const
{
    return boolValue(QStringLiteral("editorSmartTab"), true);
}

void MSettings::set_editorSmartTab(bool value)
{
    if (editorSmartTab() == value)
        return;
    setBoolValue(QStringLiteral("editorSmartTab"), value);
    emit editorSmartTabChanged(value);
}

QColor MSettings::tableSelectionColor() const
{
    return colorValue(QStringLiteral("tableSelectionColor"), QColor(QStringLiteral("#CCDDFF")));
}

void MSettings::set_tableSelectionColor(const QColor & value)
{
    if (tableSelectionColor() == value)
        return;
    setColorValue(QStringLiteral("tableSelectionColor"), value);
    emit tableSelectionColorChanged(value);
}

QColor MSettings::textSelectionColor() const
{
    return colorValue(QStringLiteral("textSelectionColor"), QColor(Qt::white));
}

void MSettings::set_textSelectionColor(const QColor & value)
{
    if (textSelectionColor() == value)
        return;
    setColorValue(QStringLiteral("textSelectionColor"), value);
    emit textSelectionColorChanged(value);
}

QString MSettings::serverUrl() const
{
    return stringValue(QStringLiteral("serverUrl"), QStringLiteral("https://www.vantorel.com"));
}

void MSettings::set_serverUrl(const QString & value)
{
    if (serverUrl() == value)
        return;
    setStringValue(QStringLiteral("serverUrl"), value);
}

QString MSettings::userMail() const
{
    return stringValue(QStringLiteral("userMail"), QString());
}

void MSettings::set_userMail(const QString & value)
{
    if (userMail() == value)
        return;
    setStringValue(QStringLiteral("userMail"), value);
    emit userMailChanged(value);
}

QString MSettings::lastFilesDir() const
{
    return stringValue(QStringLiteral("lastFilesDir"), QString());
}

void MSettings::set_lastFilesDir(const QString & value)
{
    if (lastFilesDir() == value)
        return;
    setStringValue(QStringLiteral("lastFilesDir"), value);
    emit lastFilesDirChanged(value);
}

bool MSettings::openGL() const
{
    return boolValue(QStringLiteral("openGL"), true);
}

void MSettings::set_openGL(bool value)
{
    if (openGL() == value)
        return;
    setBoolValue(QStringLiteral("openGL"), value);
    emit openGLChanged(value);
}

QStringList MSettings::recentFiles() const
{
    return stringListValue(QStringLiteral("recentFiles"), QStringList());
}

void MSettings::set_recentFiles(const QStringList & value)
{
    setStringListValue(QStringLiteral("recentFiles"), value);
}

QString MSettings::startupFile() const
{
    return stringValue(QStringLiteral("startupFile"), QString());
}

void MSettings::set_startupFile(const QString & value)
{
    if (startupFile() == value)
        return;
    setStringValue(QStringLiteral("startupFile"), value);
    emit startupFileChanged(value);
}

QString MSettings::lastFile() const
{
    return stringValue(QStringLiteral("lastFile"), QString());
}

void MSettings::set_lastFile(const QString & value)
{
    if (lastFile() == value)
        return;
    setStringValue(QStringLiteral("lastFile"), value);
    emit lastFileChanged(value);
}

int MSettings::undoType() const
{
    return intValue(QStringLiteral("undoType"), 0);
}

void MSettings::set_undoType(int value)
{
    if (undoType() == value)
        return;
    setIntValue(QStringLiteral("undoType"), value);
    emit undoTypeChanged(value);
}

double MSettings::undoMemorySize() const
{
    return doubleValue(QStringLiteral("undoMemorySize"), 0.0);
}

void MSettings::set_undoMemorySize(double value)
{
    if (undoMemorySize() == value)
        return;
    setDoubleValue(QStringLiteral("undoMemorySize"), value);
    emit undoMemorySizeChanged(value);
}

bool MSettings::drawTiles() const
{
    return boolValue(QStringLiteral("drawTiles"), false);
}

void MSettings::set_drawTiles(bool value)
{
    if (drawTiles() == value)
        return;
    setBoolValue(QStringLiteral("drawTiles"), value);
    emit drawTilesChanged(value);
}

int MSettings::gradientPanelIndex() const
{
    return intValue(QStringLiteral("gradientPanelIndex"), 0);
}

void MSettings::set_gradientPanelIndex(int value)
{
    setIntValue(QStringLiteral("gradientPanelIndex"), value);
}

bool MSettings::firstUse() const
{
    return boolValue(QStringLiteral("firstUse"), true);
}

void MSettings::set_firstUse(bool value)
{
    setBoolValue(QStringLiteral("firstUse"), value);
}

int MSettings::paletteIndex() const
{
    return intValue(QStringLiteral("paletteIndex"), 0);
}

void MSettings::set_paletteIndex(int value)
{
    setIntValue(QStringLiteral("paletteIndex"), value);
}

bool MSettings::autoHidePanels() const
{
    return boolValue(QStringLiteral("autoHidePanels"), true);
}

void MSettings::set_autoHidePanels(bool value)
{
    setBoolValue(QStringLiteral("autoHidePanels"), value);
}

bool MSettings::generateMipmaps() const
{
    return boolValue(QStringLiteral("generateMipmaps"), true);
}

void MSettings::set_generateMipmaps(bool value)
{
    setBoolValue(QStringLiteral("generateMipmaps"), value);
}

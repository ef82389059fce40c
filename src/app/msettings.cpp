#include "msettings.h"

#include "mlogcategory.h"
#include "mlogger.h"
#include "msettingsformat.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QMetaProperty>
#include <QWidget>

MSettings::MSettings(QObject *parent)
    : QSettings(MSettingsFormat::install(), QSettings::UserScope, QCoreApplication::organizationName(),
                QCoreApplication::applicationName(), parent)
{
    buildItems();
    const QString setAside = MSettingsFormat::takeSetAsideNotice();
    if (!setAside.isEmpty())
        MLogger::instance()->systemError(setAside);
    MLogger::instance()->log(QStringLiteral("Settings loaded"));
    cleanup();
    setBoolValue(QStringLiteral("generateMipmaps"), true);
}

MSettings::~MSettings()
{
    MSettingsFormat::sync(*this);
}

bool MSettings::event(QEvent *event)
{
    // The framework's own save of changes, with its failures reported.
    if (event->type() == QEvent::UpdateRequest) {
        MSettingsFormat::sync(*this);
        return true;
    }
    return QSettings::event(event);
}

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

// ---------------------------------------------------------------- the table

void MSettings::buildItems()
{
    m_table.clear();
    m_items.clear();
    m_categories.clear();
    const QString user = QStringLiteral("User"), document = QStringLiteral("Document"), grid = QStringLiteral("Grid"),
                  display = QStringLiteral("Display"), editor = QStringLiteral("Editor"), hidden;
    m_categories.append({user, tr("User"), QString(), false});
    m_categories.append({document, tr("Document"), QString(), false});
    m_categories.append({grid, tr("Grid"), QString(), false});
    m_categories.append({display, tr("Display"), QString(), false});
    m_categories.append({editor, tr("Editor"), QString(), false});
    m_categories.append({QStringLiteral("Shortcuts"), tr("Shortcuts"), QString(), false});

    constexpr int Bool = QMetaType::Bool, Int = QMetaType::Int, Double = QMetaType::Double,
                  Text = QMetaType::QString, Font = QMetaType::QFont, Color = QMetaType::QColor,
                  TextList = QMetaType::QStringList;
    struct Row
    {
        const char *key;
        QString label;
        QString category;
        int type;
        QVariant defaultValue;
        double minimum = -1.0;
        double maximum = -1.0;
        const char *enumName = "";
        bool clamped = false;
    };
    const Row rows[] = {
        {"saveLayout", tr("Save layout"), user, Bool, true},
        {"userLangId", tr("User language"), user, Text, QStringLiteral("en")},
        {"translateCompositionModes", tr("Translate composition modes"), user, Bool, true},
        {"showInstructions", tr("Show instructions"), user, Bool, true},
        {"textDuration", tr("Texts duration"), user, Int, 5, 1, 30},
        {"openGlSdkUrl", tr("OpenGL SDK documentation url"), user, Text,
         QStringLiteral("https://registry.khronos.org/OpenGL-Refpages/gl4/")},
        {"colorListLength", tr("Color history length"), user, Int, 10},
        {"swatchSize", tr("Palette swatch size"), user, Int, 16, 10, 60},
        {"pointSize", tr("Control point size"), user, Int, 12, 5, 25},
        {"defaultWidth", tr("Default width"), document, Int, 1000},
        {"defaultHeight", tr("Default height"), document, Int, 1000},
        {"paperType", tr("Paper type"), document, Int, 1, -1, -1, "PaperType"},
        {"paperColor", tr("Paper color"), document, Color, QColor(255, 255, 255, 255)},
        {"paperName", tr("Paper name"), document, Text, QStringLiteral("paper-01.jpg")},
        {"showEmptyPaper", tr("Show empty paper background"), document, Bool, true},
        {"resolutionUnit", tr("Resolution unit"), document, Int, 0, -1, -1, "ResolutionUnit"},
        {"undoLimit", tr("Undo/redo limit (8 to 64)"), document, Int, 32, 8, 64},
        {"undoMemoryMax", tr("Undo/redo memory size (128 to 1024 MB)"), document, Double, 256.0, 128, 1024},
        {"autoExtent", tr("Auto extent document"), document, Bool, true},
        {"paintMargin", tr("Paint margin"), document, Int, 20, 0, 1000},
        {"widgetBackgroundColor", tr("Document background color"), document, Color, QColor(Qt::darkGray)},
        {"gridSize", tr("Grid size"), grid, Int, 30, 2, 10000, "", true},
        {"showGrid", tr("Show grid"), grid, Bool, false},
        {"gridColor", tr("Grid color"), grid, Color, QColor(200, 200, 200, 255)},
        {"alignToGrid", tr("Align to grid"), grid, Bool, true},
        {"alignToGridSize", tr("Align to grid size"), grid, Int, 10, 2, 10000, "", true},
        {"smoothPixels", tr("Smooth pixels"), display, Bool, true},
        {"smoothMaxScale", tr("Smooth until zoom reaches X"), display, Double, 6.0, 1, 100},
        {"showThumbnails", tr("Show thumbnails"), display, Bool, true},
        {"showThumbnailsNamesOnly", tr("Show thumbnails names only"), display, Bool, false},
        {"thumbnailSize", tr("Thumbnail size"), display, Int, 70, 16, 128},
        {"thumbnailOpacity", tr("Thumbnail opacity"), display, Double, 0.8, 0.1, 1},
        {"thumbnailColor", tr("Thumbnail color"), display, Color, QColor(QStringLiteral("#eeeeee"))},
        {"thumbnailSelectionColor", tr("Thumbnail selection color"), display, Color, QColor(QStringLiteral("#ffffff"))},
        {"thumbnailPosition", tr("Thumbnail position"), display, Int, 0, -1, -1, "Edge"},
        {"showTiling", tr("Show tiling"), display, Bool, false},
        {"editorTabSize", tr("Tab size"), editor, Int, 4, 2, 10},
        {"editorFontName", tr("Font name"), editor, Font, QStringLiteral("Courier new")},
        {"editorFontSize", tr("Font size"), editor, Int, 11, 5, 60},
        {"editorSmartTab", tr("Smart tab"), editor, Bool, true},
        // Kept by the system, not shown in the preferences dialog.
        {"tableSelectionColor", QString(), hidden, Color, QColor(QStringLiteral("#CCDDFF"))},
        {"textSelectionColor", QString(), hidden, Color, QColor(Qt::white)},
        {"userMail", QString(), hidden, Text, QString()},
        {"serverUrl", QString(), hidden, Text, QStringLiteral("https://www.vantorel.com")},
        {"lastFilesDir", QString(), hidden, Text, QString()},
        {"openGL", QString(), hidden, Bool, true},
        {"recentFiles", QString(), hidden, TextList, QStringList()},
        {"startupFile", QString(), hidden, Text, QString()},
        {"lastFile", QString(), hidden, Text, QString()},
        {"undoType", QString(), hidden, Int, 0},
        {"undoMemorySize", QString(), hidden, Double, 0.0},
        {"drawTiles", QString(), hidden, Bool, false},
        {"gradientPanelIndex", QString(), hidden, Int, 0},
        {"firstUse", QString(), hidden, Bool, true},
        {"paletteIndex", QString(), hidden, Int, 0},
        {"autoHidePanels", QString(), hidden, Bool, true},
        {"generateMipmaps", QString(), hidden, Bool, true},
    };

    m_keyIndex.clear();
    for (const Row &row : rows) {
        MSettingItem item(QLatin1String(row.key), row.label, row.category, row.type, QLatin1String(row.enumName),
                          row.minimum, row.maximum);
        item.defaultValue = row.defaultValue;
        item.defaultValue.convert(item.storageType());
        item.clamped = row.clamped;
        item.visible = !row.category.isEmpty();
        m_keyIndex.insert(item.key, m_table.size());
        m_table.append(item);
        if (item.visible)
            m_items.append(item);
    }
}

MSettingItem MSettings::settingItem(const QString &key) const
{
    const auto it = m_keyIndex.constFind(key);
    if (it == m_keyIndex.constEnd())
        return MSettingItem();
    return m_table.at(it.value());
}

QVariant MSettings::read(const QString &key) const
{
    Q_ASSERT(m_keyIndex.contains(key));
    const MSettingItem &row = m_table.at(m_keyIndex.value(key));
    const QVariant &fallback = row.defaultValue;
    switch (row.storageType()) {
    case QMetaType::Bool:
        return boolValue(key, fallback.toBool());
    case QMetaType::Int:
        return intValue(key, fallback.toInt());
    case QMetaType::Double:
        return doubleValue(key, fallback.toDouble());
    case QMetaType::QColor:
        return colorValue(key, fallback.value<QColor>());
    case QMetaType::QStringList:
        return stringListValue(key, fallback.toStringList());
    default:
        return stringValue(key, fallback.toString());
    }
}

void MSettings::write(const QString &key, const QVariant &value)
{
    Q_ASSERT(m_keyIndex.contains(key));
    const MSettingItem &row = m_table.at(m_keyIndex.value(key));
    QVariant stored = value;
    if (row.clamped)
        stored = qBound(row.minimum, stored.toDouble(), row.maximum);
    stored.convert(row.storageType());
    const bool changed = read(key) != stored;
    setValue(key, stored);
    if (!changed)
        return;
    const QMetaProperty property = metaObject()->property(metaObject()->indexOfProperty(key.toLatin1().constData()));
    property.notifySignal().invoke(this, Qt::DirectConnection, QGenericArgument(stored.typeName(), stored.constData()));
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
    MSettingsFormat::sync(store);
    MSettingsFormat::sync(*this);
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
        // An action without an entry keeps its built-in shortcut; an empty
        // entry is a shortcut the painter cleared.
        if (!store.contains(name))
            continue;
        // Stored as portable text, so read back as portable text: native text
        // would lose the shortcut under a translation.
        action->setShortcut(QKeySequence::fromString(store.value(name).toString(), QKeySequence::PortableText));
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
    MSettingsFormat::sync(store);
}

QString MSettings::defaultShortcut(QAction *action) const
{
    const auto it = m_defaultShortcuts.constFind(action);
    if (it == m_defaultShortcuts.constEnd())
        return QString();
    return it.value().toString(QKeySequence::PortableText);
}

// ---------------------------------------------------------------- accessors

// Each property reads and writes through its row of the table.
#define M_SETTING(Type, Argument, name, setter)                                                                        \
    Type MSettings::name() const { return read(QStringLiteral(#name)).value<Type>(); }                               \
    void MSettings::setter(Argument value) { write(QStringLiteral(#name), QVariant::fromValue<Type>(value)); }

M_SETTING(bool, bool, saveLayout, set_saveLayout)
M_SETTING(QString, const QString &, userLangId, set_userLangId)
M_SETTING(bool, bool, translateCompositionModes, set_translateCompositionModes)
M_SETTING(bool, bool, showInstructions, set_showInstructions)
M_SETTING(int, int, textDuration, set_textDuration)
M_SETTING(QString, const QString &, openGlSdkUrl, set_openGlSdkUrl)
M_SETTING(int, int, colorListLength, set_colorListLength)
M_SETTING(int, int, swatchSize, set_swatchSize)
M_SETTING(int, int, pointSize, set_pointSize)
M_SETTING(int, int, defaultWidth, set_defaultWidth)
M_SETTING(int, int, defaultHeight, set_defaultHeight)
M_SETTING(int, int, paperType, set_paperType)
M_SETTING(QColor, const QColor &, paperColor, set_paperColor)
M_SETTING(QString, const QString &, paperName, set_paperName)
M_SETTING(bool, bool, showEmptyPaper, set_showEmptyPaper)
M_SETTING(int, int, resolutionUnit, set_resolutionUnit)
M_SETTING(int, int, undoLimit, set_undoLimit)
M_SETTING(double, double, undoMemoryMax, set_undoMemoryMax)
M_SETTING(bool, bool, autoExtent, set_autoExtent)
M_SETTING(int, int, paintMargin, set_paintMargin)
M_SETTING(QColor, const QColor &, widgetBackgroundColor, set_widgetBackgroundColor)
M_SETTING(int, int, gridSize, setGridSize)
M_SETTING(bool, bool, showGrid, setShowGrid)
M_SETTING(QColor, const QColor &, gridColor, setGridColor)
M_SETTING(bool, bool, alignToGrid, set_alignToGrid)
M_SETTING(int, int, alignToGridSize, set_alignToGridSize)
M_SETTING(bool, bool, smoothPixels, set_smoothPixels)
// The view compares the zoom with it in single precision.
double MSettings::smoothMaxScale() const
{
    return double(float(read(QStringLiteral("smoothMaxScale")).toDouble()));
}

void MSettings::set_smoothMaxScale(double value)
{
    write(QStringLiteral("smoothMaxScale"), value);
}

M_SETTING(bool, bool, showThumbnails, set_showThumbnails)
M_SETTING(bool, bool, showThumbnailsNamesOnly, set_showThumbnailsNamesOnly)
M_SETTING(int, int, thumbnailSize, set_thumbnailSize)
M_SETTING(double, double, thumbnailOpacity, set_thumbnailOpacity)
M_SETTING(QColor, const QColor &, thumbnailColor, set_thumbnailColor)
M_SETTING(QColor, const QColor &, thumbnailSelectionColor, set_thumbnailSelectionColor)
M_SETTING(int, int, thumbnailPosition, set_thumbnailPosition)
M_SETTING(bool, bool, showTiling, set_showTiling)
M_SETTING(int, int, editorTabSize, set_editorTabSize)
M_SETTING(QString, const QString &, editorFontName, set_editorFontName)
M_SETTING(int, int, editorFontSize, set_editorFontSize)
M_SETTING(bool, bool, editorSmartTab, set_editorSmartTab)
M_SETTING(QColor, const QColor &, tableSelectionColor, set_tableSelectionColor)
M_SETTING(QColor, const QColor &, textSelectionColor, set_textSelectionColor)
M_SETTING(QString, const QString &, userMail, set_userMail)
M_SETTING(QString, const QString &, serverUrl, set_serverUrl)
M_SETTING(QString, const QString &, lastFilesDir, set_lastFilesDir)
M_SETTING(bool, bool, openGL, set_openGL)
M_SETTING(QStringList, const QStringList &, recentFiles, set_recentFiles)
M_SETTING(QString, const QString &, startupFile, set_startupFile)
M_SETTING(QString, const QString &, lastFile, set_lastFile)
M_SETTING(int, int, undoType, set_undoType)
M_SETTING(double, double, undoMemorySize, set_undoMemorySize)
M_SETTING(bool, bool, drawTiles, set_drawTiles)
M_SETTING(int, int, gradientPanelIndex, set_gradientPanelIndex)
M_SETTING(bool, bool, firstUse, set_firstUse)
M_SETTING(int, int, paletteIndex, set_paletteIndex)
M_SETTING(bool, bool, autoHidePanels, set_autoHidePanels)
M_SETTING(bool, bool, generateMipmaps, set_generateMipmaps)

#undef M_SETTING

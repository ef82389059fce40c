#include "mbrush.h"

#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mbrushstream.h"
#include "mcurve.h"
#include "mlogger.h"

#include <QFileInfo>
#include <QMetaProperty>
#include <QUuid>

MBrush::MBrush(QObject *parent)
    : MShaderObject(parent)
    , m_id(QUuid::createUuid().toString().toUpper())
    , m_description(QStringLiteral("New brush"))
    , m_group(QStringLiteral("system"))
    , m_autoSpacingCurve(new MCurve(MCurve::Multiply, this))
    , m_values(new MValues())
{
    // Stamp size (0 to 500 pixels) to spacing (0 to 50 pixels).
    m_autoSpacingCurve->setRanges(0, 500, 0, 50);
    const QPointF points[] = {{0, 0}, {1, 1}, {2, 1.5}, {10, 2}, {30, 3}, {500, 50}};
    for (const QPointF &point : points)
        m_autoSpacingCurve->addRangePoint(point.x(), point.y());
    resetValues();
    resetQuickSettings();
}

MBrush::~MBrush()
{
    deleteCurves();
}

// ---------------------------------------------------------------- identity

void MBrush::set_borderColor(const QColor &value)
{
    if (m_borderColor == value)
        return;
    m_borderColor = value;
    emit borderColorChanged(value);
}

void MBrush::setId(const QString &value)
{
    if (m_id == value)
        return;
    m_id = value;
    emit idChanged(value);
}

void MBrush::setGroup(const QString &value)
{
    if (m_group == value)
        return;
    m_group = value;
    emit groupChanged(value);
}

void MBrush::setDescription(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MBrush::setVersion(int value)
{
    if (m_version == value)
        return;
    m_version = value;
    emit versionChanged(value);
}

// ---------------------------------------------------------------- settings

QVariant MBrush::storedSetting(int setting) const
{
    return m_values->value(MBrushSettingInfoList::instance()->name(setting));
}

void MBrush::storeSettingValue(int setting, const QVariant &value)
{
    const QByteArray name = MBrushSettingInfoList::instance()->name(setting);
    if (!name.isEmpty())
        m_values->setValue(name, value);
}

template <typename T>
void MBrush::storeSetting(int setting, T value, void (MBrush::*changed)(T))
{
    const double stored = storedSetting(setting).toDouble();
    if constexpr (std::is_same<T, bool>::value) {
        if ((stored != 0.0) == value)
            return;
    } else {
        if (stored == double(value))
            return;
    }
    storeSettingValue(setting, QVariant::fromValue(value));
    emit(this->*changed)(value);
}

#define M_BRUSH_SETTING_SETTER_BODY(Id, Key, name, Type, ...) \
    void MBrush::set##Key(Type value) { storeSetting(MEnum::bs##Key, value, &MBrush::name##Changed); }
M_BRUSH_SETTINGS(M_BRUSH_SETTING_SETTER_BODY)
#undef M_BRUSH_SETTING_SETTER_BODY

void MBrush::setTexture(const QImage &image)
{
    m_texture = image;
    if (m_texture.isNull())
        return;
    if (m_texture.format() != QImage::Format_RGBA8888_Premultiplied)
        m_texture = m_texture.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    setRatio(double(m_texture.height()) / double(m_texture.width()));
}

double MBrush::value(int setting) const
{
    return storedSetting(setting).toDouble();
}

void MBrush::setBaseValue(int setting, double value)
{
    if (value == this->value(setting))
        return;
    storeSettingValue(setting, QVariant(value));
    applySetting(setting, value);
}

void MBrush::applySetting(int setting, double value)
{
    const QByteArray name = MBrushSettingInfoList::instance()->name(setting);
    const int index = name.isEmpty() ? -1 : metaObject()->indexOfProperty(name.constData());
    if (index < 0)
        return;
    const QMetaProperty property = metaObject()->property(index);
    if (!property.hasNotifySignal())
        return;
    const QMetaMethod changed = property.notifySignal();
    switch (property.userType()) {
    case QMetaType::Double:
        changed.invoke(this, Qt::DirectConnection, Q_ARG(double, value));
        break;
    case QMetaType::Bool:
        changed.invoke(this, Qt::DirectConnection, Q_ARG(bool, value != 0.0));
        break;
    case QMetaType::Int:
        changed.invoke(this, Qt::DirectConnection, Q_ARG(int, int(value)));
        break;
    default:
        MLogger::instance()->systemError(QStringLiteral("Invalid variant type"));
        break;
    }
}

void MBrush::resetValues()
{
    MBrushSettingInfoList *table = MBrushSettingInfoList::instance();
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const MField *info = table->info(setting);
        if (!info || info->name().isEmpty())
            continue;
        QVariant value = info->value();
        value.convert(info->type());
        m_values->setValue(info->name(), value);
    }
    deleteCurves();
}

// ---------------------------------------------------------------- curves

void MBrush::deleteCurves()
{
    qDeleteAll(m_curves);
    m_curves.clear();
}

MCurve *MBrush::curve(int setting, int input) const
{
    return m_curves.value(CurveKey(setting, input));
}

MCurve *MBrush::addCurve(int setting, int input)
{
    const CurveKey key(setting, input);
    if (MCurve *existing = m_curves.value(key))
        return existing;
    auto *created = new MCurve(setting, input, MCurve::Multiply);
    m_curves.insert(key, created);
    return created;
}

bool MBrush::removeCurve(int setting, int input)
{
    MCurve *removed = m_curves.take(CurveKey(setting, input));
    delete removed;
    return removed != nullptr;
}

bool MBrush::hasCurve(int setting, int input) const
{
    return m_curves.contains(CurveKey(setting, input));
}

bool MBrush::settingHasCurve(int setting) const
{
    for (auto it = m_curves.cbegin(); it != m_curves.cend(); ++it) {
        if (it.key().first == setting)
            return true;
    }
    return false;
}

QList<MCurve *> MBrush::curves(int setting) const
{
    QList<MCurve *> result;
    for (auto it = m_curves.cbegin(); it != m_curves.cend(); ++it) {
        if (it.key().first == setting)
            result.append(it.value());
    }
    return result;
}

// ---------------------------------------------------------------- quick settings

QVector<int> MBrush::defaultQuickSettings()
{
    return {MEnum::bsRadius, MEnum::bsHardness, MEnum::bsFlow, MEnum::bsOpacity};
}

void MBrush::addQuickSetting(int setting)
{
    if (!m_quickSettings.contains(setting))
        m_quickSettings.append(setting);
}

void MBrush::clearQuickSettings()
{
    m_quickSettings.clear();
}

void MBrush::resetQuickSettings()
{
    m_quickSettings = defaultQuickSettings();
}

void MBrush::setQuickSettings(const QVector<int> &settings)
{
    m_quickSettings = settings;
}

// ---------------------------------------------------------------- copy

void MBrush::copyFrom(const MBrush *other)
{
    if (!other || other == this)
        return;
    m_description = other->m_description;
    m_group = other->m_group;
    m_version = other->m_version;
    m_quickSettings = other->m_quickSettings;
    m_texture = other->m_texture;
    m_borderColor = other->m_borderColor;
    MShaderObject::copyFrom(other);
    m_values->copyFrom(other->m_values.get());
    deleteCurves();
    for (auto it = other->m_curves.cbegin(); it != other->m_curves.cend(); ++it)
        addCurve(it.key().first, it.key().second)->copyFrom(it.value());
}

// ---------------------------------------------------------------- files

// The library that holds the brush knows its folders and files; any other
// brush goes by the program's library.
const MBrushList *MBrush::library() const
{
    if (const auto *owner = qobject_cast<const MBrushList *>(parent()))
        return owner;
    return MBrushList::instance();
}

QString MBrush::userFilePath() const
{
    return library()->userFilePath(this);
}

QString MBrush::systemFilePath() const
{
    return library()->systemFilePath(m_id);
}

bool MBrush::systemFileExists() const
{
    const QString path = systemFilePath();
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool MBrush::loadFromFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const bool read = MBrushStream(this).loadFromJsonFile(path);
    for (int setting = 0; setting < MEnum::bsCount; ++setting)
        applySetting(setting, value(setting));
    return read;
}

bool MBrush::load()
{
    return loadFromFile(userFilePath());
}

bool MBrush::save(QString *why)
{
    const QString path = userFilePath();
    if (MBrushStream(this).saveToJsonFile(path))
        return true;
    const QString line =
        MLogger::instance()->systemError(QStringLiteral("Unable to save brush %1 to \"%2\"").arg(m_id, path));
    if (why)
        *why = line;
    return false;
}

void MBrush::reload()
{
    const QString user = userFilePath();
    loadFromFile(!user.isEmpty() && QFileInfo::exists(user) ? user : systemFilePath());
    updatePreview();
}

void MBrush::restore()
{
    loadFromFile(systemFilePath());
    save();
    updatePreview();
}

// ---------------------------------------------------------------- preview

void MBrush::setPreview(const QImage &image)
{
    if (image.isNull())
        return;
    m_preview = image.format() == QImage::Format_ARGB32_Premultiplied
                    ? image
                    : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

namespace {
MBrush::PreviewPainter &previewPainter()
{
    static MBrush::PreviewPainter painter;
    return painter;
}
} // namespace

bool MBrush::setPreviewPainter(const PreviewPainter &painter)
{
    previewPainter() = painter;
    return true;
}

void MBrush::updatePreview()
{
    if (previewPainter().update)
        previewPainter().update(this);
}

QImage MBrush::createPreview(const QColor &first, const QColor &second) const
{
    return previewPainter().render ? previewPainter().render(this, QSize(), first, second) : QImage();
}

QImage MBrush::drawPreview(double width, double height, const QColor &first, const QColor &second) const
{
    return previewPainter().render ? previewPainter().render(this, QSize(int(width), int(height)), first, second)
                                   : QImage();
}

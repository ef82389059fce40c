#include "mbrush.h"

#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mbrushstream.h"
#include "mcanvas.h"
#include "mcurve.h"
#include "mevent.h"
#include "mgeometry.h"
#include "mlogger.h"
#include "mopengl.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMetaProperty>
#include <QPainter>
#include <QUuid>

#include <cmath>

namespace {
const QSize kPreviewSize(150, 60);
} // namespace

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

template <typename T>
void MBrush::storeSetting(int setting, T value, void (MBrush::*changed)(T))
{
    const double stored = m_values->doubleValue(setting);
    if constexpr (std::is_same<T, bool>::value) {
        if ((stored != 0.0) == value)
            return;
    } else {
        if (stored == double(value))
            return;
    }
    m_values->setSettingValue(setting, QVariant::fromValue(value));
    emit(this->*changed)(value);
}

void MBrush::setRadius(double value)
{
    storeSetting(MEnum::bsRadius, value, &MBrush::radiusChanged);
}

void MBrush::setSpacing(double value)
{
    storeSetting(MEnum::bsSpacing, value, &MBrush::spacingChanged);
}

void MBrush::setSpacingType(int value)
{
    storeSetting(MEnum::bsSpacingType, value, &MBrush::spacingTypeChanged);
}

void MBrush::setFlow(double value)
{
    storeSetting(MEnum::bsFlow, value, &MBrush::flowChanged);
}

void MBrush::setOpacity(double value)
{
    storeSetting(MEnum::bsOpacity, value, &MBrush::opacityChanged);
}

void MBrush::setHardness(double value)
{
    storeSetting(MEnum::bsHardness, value, &MBrush::hardnessChanged);
}

void MBrush::setCompositionMode(int value)
{
    storeSetting(MEnum::bsCompositionMode, value, &MBrush::compositionModeChanged);
}

void MBrush::setAntialiasing(int value)
{
    storeSetting(MEnum::bsAntialiasing, value, &MBrush::antialiasingChanged);
}

void MBrush::setRatio(double value)
{
    storeSetting(MEnum::bsRatio, value, &MBrush::ratioChanged);
}

void MBrush::setAngle(double value)
{
    storeSetting(MEnum::bsAngle, value, &MBrush::angleChanged);
}

void MBrush::setAngleType(int value)
{
    storeSetting(MEnum::bsAngleType, value, &MBrush::angleTypeChanged);
}

void MBrush::setMinDistance(double value)
{
    storeSetting(MEnum::bsMinDistance, value, &MBrush::minDistanceChanged);
}

void MBrush::setSmoothing(double value)
{
    storeSetting(MEnum::bsSmoothing, value, &MBrush::smoothingChanged);
}

void MBrush::setShape(int value)
{
    storeSetting(MEnum::bsShape, value, &MBrush::shapeChanged);
}

void MBrush::setOffsetX(double value)
{
    storeSetting(MEnum::bsOffsetX, value, &MBrush::offsetXChanged);
}

void MBrush::setOffsetY(double value)
{
    storeSetting(MEnum::bsOffsetY, value, &MBrush::offsetYChanged);
}

void MBrush::setNoise(double value)
{
    storeSetting(MEnum::bsNoise, value, &MBrush::noiseChanged);
}

void MBrush::setDensity(double value)
{
    storeSetting(MEnum::bsDensity, value, &MBrush::densityChanged);
}

void MBrush::setAccumulatorDistance(double value)
{
    storeSetting(MEnum::bsAccumulatorDistance, value, &MBrush::accumulatorDistanceChanged);
}

void MBrush::setEraser(bool value)
{
    storeSetting(MEnum::bsEraser, value, &MBrush::eraserChanged);
}

void MBrush::setInheritAlphaUnder(bool value)
{
    storeSetting(MEnum::bsInheritAlphaUnder, value, &MBrush::inheritAlphaUnderChanged);
}

void MBrush::setInheritAlphaCurrent(bool value)
{
    storeSetting(MEnum::bsInheritAlphaCurrent, value, &MBrush::inheritAlphaCurrentChanged);
}

void MBrush::setSourceRgbBlendMode(int value)
{
    storeSetting(MEnum::bsSourceRgbBlendMode, value, &MBrush::sourceRgbBlendModeChanged);
}

void MBrush::setDestinationRgbBlendMode(int value)
{
    storeSetting(MEnum::bsDestinationRgbBlendMode, value, &MBrush::destinationRgbBlendModeChanged);
}

void MBrush::setSourceAlphaBlendMode(int value)
{
    storeSetting(MEnum::bsSourceAlphaBlendMode, value, &MBrush::sourceAlphaBlendModeChanged);
}

void MBrush::setDestinationAlphaBlendMode(int value)
{
    storeSetting(MEnum::bsDestinationAlphaBlendMode, value, &MBrush::destinationAlphaBlendModeChanged);
}

void MBrush::setRgbBlendEquation(int value)
{
    storeSetting(MEnum::bsRgbBlendEquation, value, &MBrush::rgbBlendEquationChanged);
}

void MBrush::setAlphaBlendEquation(int value)
{
    storeSetting(MEnum::bsAlphaBlendEquation, value, &MBrush::alphaBlendEquationChanged);
}

void MBrush::setPreserveTextureColor(int value)
{
    storeSetting(MEnum::bsPreserveTextureColor, value, &MBrush::preserveTextureColorChanged);
}

void MBrush::setColorAbsorbtionRate(double value)
{
    storeSetting(MEnum::bsColorAbsorbtionRate, value, &MBrush::colorAbsorbtionRateChanged);
}

void MBrush::setColorFlowingRate(double value)
{
    storeSetting(MEnum::bsColorFlowingRate, value, &MBrush::colorFlowingRateChanged);
}

void MBrush::setFactor(double value)
{
    storeSetting(MEnum::bsFactor, value, &MBrush::factorChanged);
}

void MBrush::setUseBorderColor(bool value)
{
    storeSetting(MEnum::bsUseBorderColor, value, &MBrush::useBorderColorChanged);
}

void MBrush::setBrushColorHue(double value)
{
    storeSetting(MEnum::bsBrushColorHue, value, &MBrush::brushColorHueChanged);
}

void MBrush::setBrushColorSaturation(double value)
{
    storeSetting(MEnum::bsBrushColorSaturation, value, &MBrush::brushColorSaturationChanged);
}

void MBrush::setBrushColorValue(double value)
{
    storeSetting(MEnum::bsBrushColorValue, value, &MBrush::brushColorValueChanged);
}

void MBrush::setBorderColorHue(double value)
{
    storeSetting(MEnum::bsBorderColorHue, value, &MBrush::borderColorHueChanged);
}

void MBrush::setBorderColorSaturation(double value)
{
    storeSetting(MEnum::bsBorderColorSaturation, value, &MBrush::borderColorSaturationChanged);
}

void MBrush::setBorderColorValue(double value)
{
    storeSetting(MEnum::bsBorderColorValue, value, &MBrush::borderColorValueChanged);
}

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
    return m_values->doubleValue(setting);
}

void MBrush::setBaseValue(int setting, double value)
{
    if (m_values->doubleValue(setting) == value)
        return;
    m_values->setSettingValue(setting, QVariant(value));
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

bool MBrush::save()
{
    const QString path = userFilePath();
    if (MBrushStream(this).saveToJsonFile(path))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to save brush %1 to \"%2\"").arg(m_id, path));
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

QImage MBrush::preview() const
{
    if (m_preview.isNull())
        m_preview = createPreview(QColor(128, 128, 128), Qt::white);
    return m_preview;
}

void MBrush::setPreview(const QImage &image)
{
    if (image.isNull())
        return;
    m_preview = image.format() == QImage::Format_ARGB32_Premultiplied
                    ? image
                    : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void MBrush::updatePreview()
{
    setPreview(createPreview(QColor(128, 128, 128), Qt::white));
}

QImage MBrush::createPreview(const QColor &first, const QColor &second) const
{
    return drawPreview(kPreviewSize.width(), kPreviewSize.height(), first, second);
}

QImage MBrush::drawPreview(double width, double height, const QColor &first, const QColor &second) const
{
    // Drawing needs OpenGL contexts, which only a GUI application can make,
    // and the driver's limits (texture units) that the stamping pass binds by.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()) || !MOpenGL::instance()->initialize()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to draw a brush preview without OpenGL"));
        return QImage();
    }

    // A plain copy, so that the sample stroke neither mixes colours nor
    // erases and shows the brush's own shape.
    MBrush brush;
    brush.copyFrom(this);
    brush.setCompositionMode(0);
    brush.setInheritAlphaCurrent(false);
    brush.setInheritAlphaUnder(false);
    brush.setEraser(false);
    brush.setColorAbsorbtionRate(0.0);
    brush.setColorFlowingRate(1.0);

    MCanvas canvas(nullptr, MCanvas::ScratchDocument);
    canvas.initializeGL();
    if (!canvas.makeCurrent())
        return QImage();
    canvas.setPaintedRect(QRectF());
    canvas.setAutoExtentSilently(true);
    canvas.setPaintMargin(10.0);
    canvas.setPaperType(MEnum::Colored);
    canvas.setPaperColor(Qt::transparent);

    const double r = qMax(qMin(radius(), 10.0), 1.0);
    if (brush.radius() != r) {
        brush.settingValues()->setSettingValue(MEnum::bsRadius, r);
        brush.applySetting(MEnum::bsRadius, r);
    }

    // One sine period, pressure 0.6 to 1.0, one sample every 50 ms.
    const double length = width - 2 * (r + 5);
    const double amplitude = (height - 2 * (r + 5)) / 2;
    const int samples = 40;
    MEvent event;
    float previousX = 0.0f;
    float previousY = 0.0f;
    double totalDistance = 0.0;
    for (int i = 0; i <= samples; ++i) {
        const double s = std::sin(2 * M_PI * i / samples);
        const double x = length * i / samples - length / 2;
        const double y = amplitude * s + height / 2;
        const float dx = i == 0 ? 0.0f : float(x) - previousX;
        const float dy = i == 0 ? 0.0f : float(y) - previousY;
        const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
        totalDistance += d;
        previousX = float(x);
        previousY = float(y);
        event.type = i == 0 ? MEvent::Press : i == samples ? MEvent::Release : MEvent::Move;
        event.inputs[MEnum::biPressure] = 0.8 + 0.2 * s;
        event.inputs[MEnum::biPositionX] = x;
        event.inputs[MEnum::biPositionY] = y;
        event.inputs[MEnum::biDirectionX] = dx;
        event.inputs[MEnum::biDirectionY] = dy;
        event.inputs[MEnum::biDistanceToPrevious] = d;
        event.inputs[MEnum::biSpeed] = d / 50;
        event.inputs[MEnum::biTimeToPrevious] = 50;
        event.inputs[MEnum::biTotalTime] = 50.0 * i;
        event.inputs[MEnum::biTotalDistance] = totalDistance;
        if (i == 0)
            canvas.startStroke(&event, &brush, first, second, 0);
        else
            canvas.stroke(&event, 0);
    }

    const QRectF painted = canvas.paintedRect();
    const QImage rendered = canvas.renderToImage(QStringLiteral("basic"), int(painted.width()), int(painted.height()),
                                                 QPainterPath(), true, true, {});

    QImage result(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    if (!rendered.isNull()) {
        double scale = 1.0;
        const QRectF target = MGeometry::fitRect(painted, QRect(0, 0, int(width), int(height)).adjusted(5, 5, -5, -5), scale);
        QPainter painter(&result);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.drawImage(target, rendered);
    }
    canvas.shutDown();
    return result;
}

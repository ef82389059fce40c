#include "mbrushstream.h"

#include "mlogcategory.h"
#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mcurve.h"
#include "menum.h"
#include "mfield.h"
#include "mlogger.h"
#include "mparamlist.h"
#include "mregularfile.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mutility.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtMath>

#include <limits>

namespace {
const int kFileVersion = 100;

// A finite number, else the fallback.
double number(const QJsonValue &value, double fallback)
{
    const double read = value.toDouble(fallback);
    return qIsFinite(read) ? read : fallback;
}

// No brush value means anything beyond the range of an int, and the int
// settings could not hold it: a number within that range.
double bounded(const QJsonValue &value, double fallback)
{
    return qBound(double(std::numeric_limits<int>::min()), number(value, fallback),
                  double(std::numeric_limits<int>::max()));
}

int settingId(const QString &name)
{
    const MField *info = MBrushSettingInfoList::instance()->info(MUtility::lowerFirst(name).toUtf8());
    return info ? info->index() : -1;
}

QJsonObject curveToJson(const MCurve *curve)
{
    QJsonArray points;
    for (const QPointF &point : curve->points())
        points.append(QJsonArray{point.x(), point.y()});
    return {{QStringLiteral("modulo"), curve->modulo()},
            {QStringLiteral("yMin"), curve->yMin()},
            {QStringLiteral("yMax"), curve->yMax()},
            {QStringLiteral("interpolationType"), curve->interpolationType()},
            {QStringLiteral("points"), points}};
}

void readCurve(MCurve *curve, const QJsonObject &json, const QString &source)
{
    curve->setModulo(bounded(json.value(QStringLiteral("modulo")), 0.0));
    // The range setters keep the minimum below the maximum: a minimum above
    // the present maximum goes in after the maximum, or it would be swapped
    // with the old maximum and lost.
    const double yMin = bounded(json.value(QStringLiteral("yMin")), 0.0);
    const double yMax = bounded(json.value(QStringLiteral("yMax")), 1.0);
    if (yMin >= curve->yMax()) {
        curve->setYMax(yMax);
        curve->setYMin(yMin);
    } else {
        curve->setYMin(yMin);
        curve->setYMax(yMax);
    }
    curve->setInterpolationType(MUtility::jsonWholeNumber(json.value(QStringLiteral("interpolationType")), MCurve::Multiply));
    const QJsonArray points = json.value(QStringLiteral("points")).toArray();
    if (points.isEmpty())
        return;
    if (points.size() > MBrushStream::kMaximumCurvePoints)
        MLogger::instance()->systemError(QStringLiteral("Curve with %1 points in %2, the first %3 kept")
                                             .arg(points.size())
                                             .arg(source)
                                             .arg(MBrushStream::kMaximumCurvePoints));
    QVector<QPointF> read;
    for (int i = 0; i < qMin(points.size(), MBrushStream::kMaximumCurvePoints); ++i) {
        const QJsonArray point = points.at(i).toArray();
        read.append(QPointF(number(point.at(0), 0.0), number(point.at(1), 0.0)));
    }
    curve->setPoints(read);
}
} // namespace

QSize MBrushStream::maximumImageSize()
{
    return MUtility::maximumImageSize();
}

MBrushStream::MBrushStream(MBrush *brush, QObject *parent)
    : QObject(parent)
    , m_brush(brush)
{
}

// ---------------------------------------------------------------- writing

bool MBrushStream::saveToJsonFile(const QString &path)
{
    if (!m_brush)
        return false;
    return MUtility::writeFile(QJsonDocument(toJson()).toJson(QJsonDocument::Indented), path);
}

QJsonObject MBrushStream::toJson()
{
    QJsonObject json;
    if (!m_brush)
        return json;
    json.insert(QStringLiteral("version"), kFileVersion);
    json.insert(QStringLiteral("id"), m_brush->id());
    json.insert(QStringLiteral("group"), m_brush->group().trimmed().toLower());
    json.insert(QStringLiteral("description"), m_brush->description().trimmed().toLower());
    json.insert(QStringLiteral("shaderId"), m_brush->shaderId().trimmed().toUpper());

    MBrushSettingInfoList *table = MBrushSettingInfoList::instance();
    QJsonArray quickSettings;
    for (int setting : m_brush->quickSettings()) {
        const QByteArray name = table->name(setting);
        if (!name.isEmpty())
            quickSettings.append(QString::fromLatin1(name));
    }
    json.insert(QStringLiteral("quickSettings"), quickSettings);

    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const QByteArray name = table->name(setting);
        if (name.isEmpty())
            continue;
        QJsonObject object{{QStringLiteral("value"), m_brush->value(setting)}};
        for (const MCurve *curve : m_brush->curves(setting)) {
            const QByteArray input = MEnum::inputName(curve->input());
            if (!input.isEmpty())
                object.insert(QString::fromLatin1(input), curveToJson(curve));
        }
        json.insert(QString::fromLatin1(name), object);
    }

    QJsonArray shaderValues;
    const QHash<QByteArray, QVariant> values = m_brush->shaderValues()->values();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QJsonValue value;
        switch (it.value().userType()) {
        case QMetaType::Bool:
            value = it.value().toBool();
            break;
        case QMetaType::Int:
        case QMetaType::Double:
        case QMetaType::Float:
            value = it.value().toDouble();
            break;
        case QMetaType::QString:
            value = it.value().toString();
            break;
        case QMetaType::QColor:
            value = it.value().value<QColor>().name();
            break;
        default:
            qCDebug(lcBrush).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mbrushstream"),
                                                               QStringLiteral("MBrushStream::saveToJsonFile"))
                               << m_brush->description() << ": invalid param type" << it.key() << ", :"
                               << it.value().userType();
            continue;
        }
        shaderValues.append(QJsonObject{{QStringLiteral("paramName"), QString::fromLatin1(it.key())},
                                        {QStringLiteral("paramValue"), value}});
    }
    if (!shaderValues.isEmpty())
        json.insert(QStringLiteral("shaderValues"), shaderValues);

    json.insert(QStringLiteral("texture"), MUtility::imageToJson(m_brush->texture()));
    json.insert(QStringLiteral("preview"), MUtility::imageToJson(m_brush->preview()));
    return json;
}

// ---------------------------------------------------------------- reading

bool MBrushStream::loadFromJsonFile(const QString &path)
{
    if (!m_brush)
        return false;
    MRegularFile file(path);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.size() > kMaximumFileSize)
        return false;
    return loadFromJson(file.readAtMost(kMaximumFileSize), QFileInfo(path).absoluteFilePath());
}

bool MBrushStream::loadFromJson(const QByteArray &bytes, const QString &source)
{
    if (!m_brush || bytes.size() > kMaximumFileSize)
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isNull())
        return false;
    fromJson(document.object(), source);
    return true;
}

void MBrushStream::fromJson(const QJsonObject &json, const QString &source)
{
    if (!m_brush)
        return;
    if (json.contains(QStringLiteral("id")))
        readId(json.value(QStringLiteral("id")), source);
    m_brush->setDescription(MUtility::jsonLibraryName(json.value(QStringLiteral("description")), QStringLiteral("brush"), "Brushes"));
    m_brush->set_shaderId(json.value(QStringLiteral("shaderId")).toString().toUpper());
    m_brush->setGroup(MUtility::jsonLibraryName(json.value(QStringLiteral("group")), QStringLiteral("basics"), "Brushes"));
    m_brush->setVersion(MUtility::jsonWholeNumber(json.value(QStringLiteral("version")), 0));

    m_brush->resetValues();
    m_brush->resetQuickSettings();
    // The texture sets the ratio to its own shape: it comes first, so that a
    // ratio the file holds is not lost.
    m_brush->setTexture(MUtility::imageFromJson(json.value(QStringLiteral("texture")), maximumImageSize()));
    for (auto it = json.constBegin(); it != json.constEnd(); ++it) {
        if (it.key() == QLatin1String("quickSettings")) {
            readQuickSettings(it.value());
            continue;
        }
        const int setting = settingId(it.key());
        if (setting >= 0)
            readSetting(setting, it.value().toObject(), source);
    }

    readShaderValues(json.value(QStringLiteral("shaderValues")));
    m_brush->setPreview(MUtility::imageFromJson(json.value(QStringLiteral("preview")), maximumImageSize()));
}

// The id names the brush's file: one that is not a braced UUID could lead
// anywhere, so the brush keeps the id it has (its file's, when a library
// reads it).
void MBrushStream::readId(const QJsonValue &value, const QString &source)
{
    const QString id = value.toString().trimmed().toUpper();
    if (MParamList::isItemId(id)) {
        m_brush->setId(id);
        return;
    }
    MLogger::instance()->systemError(QStringLiteral("Invalid id \"%1\" in %2, using %3")
                                         .arg(value.toVariant().toString().left(80), source, m_brush->id()));
}

void MBrushStream::readSetting(int setting, const QJsonObject &json, const QString &source)
{
    const double fallback = MBrushSettingInfoList::instance()->info(setting)->value().toDouble();
    m_brush->setBaseValue(setting, bounded(json.value(QStringLiteral("value")), fallback));
    for (int input = 0; input < MEnum::biCount; ++input) {
        const QString name = QString::fromLatin1(MEnum::inputName(input));
        if (json.contains(name))
            readCurve(m_brush->addCurve(setting, input), json.value(name).toObject(), source);
    }
}

void MBrushStream::readQuickSettings(const QJsonValue &value)
{
    m_brush->clearQuickSettings();
    const QJsonArray names = value.toArray();
    for (const QJsonValue &name : names) {
        const int setting = settingId(name.toString());
        if (setting >= 0)
            m_brush->addQuickSetting(setting);
    }
    if (m_brush->quickSettings().isEmpty())
        m_brush->resetQuickSettings();
}

void MBrushStream::readShaderValues(const QJsonValue &value)
{
    MValues *values = m_brush->shaderValues();
    values->clear();
    MShader *shader = MShaderList::instance()->find(m_brush->shaderId());
    if (!shader)
        return;
    m_brush->loadDefaultValues(m_brush->shaderId());
    const QJsonArray array = value.toArray();
    for (const QJsonValue &element : array) {
        const QJsonObject object = element.toObject();
        const QByteArray name = object.value(QStringLiteral("paramName")).toString().toLatin1();
        const MField *param = shader->param(name);
        if (!param)
            continue;
        const QJsonValue read = object.value(QStringLiteral("paramValue"));
        QVariant stored = read.toVariant();
        if (param->type() == QMetaType::QColor) {
            const QColor color(read.toString());
            if (!color.isValid())
                continue;
            stored = color;
        }
        // The engine's program takes each value as a uniform of the declared
        // type: a number read for an int parameter must become an int again.
        if (param->type() != QMetaType::UnknownType && stored.userType() != param->type()
            && !stored.convert(param->type()))
            continue;
        values->setValue(name, stored);
    }
}

#include "mshape.h"

#include "mgeometry.h"
#include "mlogger.h"
#include "mregularfile.h"
#include "mshapeparser.h"
#include "mutility.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLinearGradient>
#include <QMetaEnum>
#include <QPainter>
#include <QUuid>

#include <cmath>

namespace {
QString jsonString(const QJsonObject &object, const QString &key, const QString &fallback = QString())
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : fallback;
}

double jsonNumber(const QJsonObject &object, const QString &key, double fallback)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? value.toDouble() : fallback;
}

int enumValue(const QMetaEnum &meta, const QString &key, const QString &fallback)
{
    bool ok = false;
    const int value = meta.keyToValue(key.isEmpty() ? fallback.toLatin1().constData() : key.toLatin1().constData(), &ok);
    return ok ? value : -1;
}
} // namespace

MShape::MShape(QObject *parent)
    : QObject(parent)
    , m_id(QUuid::createUuid().toString().toUpper())
    , m_parser(new MShapeParser)
{
}

MShape::~MShape() = default;

void MShape::setId(const QString &id)
{
    if (m_id == id)
        return;
    m_id = id;
    emit idChanged(m_id);
}

void MShape::setGroup(const QString &group)
{
    if (m_group == group)
        return;
    m_group = group;
    emit groupChanged(m_group);
}

void MShape::setDescription(const QString &description)
{
    if (m_description == description)
        return;
    m_description = description;
    emit descriptionChanged(m_description);
}

bool MShape::readJson(const QString &path)
{
    m_items.clear();
    MRegularFile file(path);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(QStringLiteral("Shape %1 not read: %2").arg(path, file.errorString()));
        return false;
    }
    return readJsonData(file.readAll(), path);
}

bool MShape::readJsonData(const QByteArray &bytes, const QString &origin)
{
    m_items.clear();
    // Like the other libraries, a file that is not a JSON object is a failed
    // read rather than a silent plain rectangle.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject root = document.object();
    // Without an id the shape keeps the one it has: the library sets the
    // file name's id before reading.
    setId(jsonString(root, QStringLiteral("id"), m_id));
    setDescription(jsonString(root, QStringLiteral("description")));
    setGroup(jsonString(root, QStringLiteral("group"), QStringLiteral("basic")));
    m_width = jsonNumber(root, QStringLiteral("width"), 100);
    m_height = jsonNumber(root, QStringLiteral("height"), 100);
    const QJsonValue preview = root.value(QStringLiteral("preview"));
    if (preview.isString()) {
        const QImage image = MUtility::imageFromJson(preview);
        if (!image.isNull())
            m_preview = image;
    }
    const QMetaEnum instructions = QMetaEnum::fromType<ShapeInstruction>();
    const QMetaEnum positions = QMetaEnum::fromType<MGeometry::Position>();
    const QJsonArray items = root.value(QStringLiteral("items")).toArray();
    for (const QJsonValue &value : items) {
        const QJsonObject object = value.toObject();
        MShapeItem item;
        item.instruction = enumValue(instructions, jsonString(object, QStringLiteral("instruction")),
                                     QStringLiteral("PathRectangle"));
        for (int k = 0; k < 4; ++k) {
            const QString n = QString::number(k);
            item.x[k] = jsonString(object, QStringLiteral("x") + n);
            item.y[k] = jsonString(object, QStringLiteral("y") + n);
            item.minx[k] = jsonString(object, QStringLiteral("minx") + n);
            item.miny[k] = jsonString(object, QStringLiteral("miny") + n);
            item.maxx[k] = jsonString(object, QStringLiteral("maxx") + n);
            item.maxy[k] = jsonString(object, QStringLiteral("maxy") + n);
        }
        item.width = jsonString(object, QStringLiteral("width"), item.width);
        item.height = jsonString(object, QStringLiteral("height"), item.height);
        item.startAngle = jsonNumber(object, QStringLiteral("startAngle"), 0);
        item.arcLength = jsonNumber(object, QStringLiteral("arcLength"), 0);
        item.padding = jsonNumber(object, QStringLiteral("padding"), 5);
        item.position = enumValue(positions, jsonString(object, QStringLiteral("position")),
                                  QStringLiteral("CenterCenter"));
        m_items.append(item);
    }
    // A size the parser refuses would be refused at every drawing: the file
    // is refused once, with the reason.
    MShapeParser parser;
    for (const MShapeItem &item : qAsConst(m_items)) {
        QStringList expressions{item.width, item.height};
        for (int k = 0; k < 4; ++k)
            expressions << item.x[k] << item.y[k] << item.minx[k] << item.miny[k] << item.maxx[k] << item.maxy[k];
        for (const QString &expression : qAsConst(expressions)) {
            parser.evaluate(expression);
            if (!parser.error().isEmpty()) {
                MLogger::instance()->systemError(
                    QStringLiteral("Shape %1 refused: a size with %2").arg(origin, parser.error()));
                m_items.clear();
                return false;
            }
        }
    }
    return true;
}

bool MShape::writeJson(const QString &path) const
{
    QJsonObject root;
    root.insert(QStringLiteral("id"), m_id);
    root.insert(QStringLiteral("description"), m_description);
    root.insert(QStringLiteral("group"), m_group);
    root.insert(QStringLiteral("width"), m_width);
    root.insert(QStringLiteral("height"), m_height);
    const QMetaEnum instructions = QMetaEnum::fromType<ShapeInstruction>();
    const QMetaEnum positions = QMetaEnum::fromType<MGeometry::Position>();
    const MShapeItem standard;
    QJsonArray items;
    for (const MShapeItem &item : m_items) {
        QJsonObject object;
        if (const char *name = instructions.valueToKey(item.instruction))
            object.insert(QStringLiteral("instruction"), QString::fromLatin1(name));
        auto put = [&object](const QString &key, const QString &value) {
            if (!value.isEmpty())
                object.insert(key, value);
        };
        for (int k = 0; k < 4; ++k) {
            const QString n = QString::number(k);
            put(QStringLiteral("x") + n, item.x[k]);
            put(QStringLiteral("y") + n, item.y[k]);
            put(QStringLiteral("minx") + n, item.minx[k]);
            put(QStringLiteral("miny") + n, item.miny[k]);
            put(QStringLiteral("maxx") + n, item.maxx[k]);
            put(QStringLiteral("maxy") + n, item.maxy[k]);
        }
        if (item.width != standard.width)
            object.insert(QStringLiteral("width"), item.width);
        if (item.height != standard.height)
            object.insert(QStringLiteral("height"), item.height);
        if (item.startAngle != 0)
            object.insert(QStringLiteral("startAngle"), item.startAngle);
        if (item.arcLength != 0)
            object.insert(QStringLiteral("arcLength"), item.arcLength);
        if (item.padding != standard.padding)
            object.insert(QStringLiteral("padding"), item.padding);
        if (item.position != standard.position) {
            if (const char *name = positions.valueToKey(item.position))
                object.insert(QStringLiteral("position"), QString::fromLatin1(name));
        }
        items.append(object);
    }
    root.insert(QStringLiteral("items"), items);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return file.write(bytes) == bytes.size() && file.flush();
}

double MShape::bounded(const QString &value, const QString &low, const QString &high)
{
    double v = m_parser->evaluate(value);
    if (!low.isEmpty())
        v = qMax(v, m_parser->evaluate(low));
    // The upper bound comes last so it wins when the bounds cross.
    if (!high.isEmpty())
        v = qMin(v, m_parser->evaluate(high));
    return v;
}

double MShape::pointX(int item, int point)
{
    const MShapeItem &i = m_items.at(item);
    return bounded(i.x[point], i.minx[point], i.maxx[point]);
}

double MShape::pointY(int item, int point)
{
    const MShapeItem &i = m_items.at(item);
    return bounded(i.y[point], i.miny[point], i.maxy[point]);
}

QPainterPath MShape::buildPath(const QRectF &rect)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    m_parser->setRect(rect);
    if (m_items.isEmpty()) {
        path.addRect(rect);
        return path;
    }
    const double left = rect.left();
    const double top = rect.top();
    for (int i = 0; i < m_items.size(); ++i) {
        const MShapeItem &item = m_items.at(i);
        auto px = [&](int k) { return pointX(i, k) + left; };
        auto py = [&](int k) { return pointY(i, k) + top; };
        switch (item.instruction) {
        case PathMoveTo: path.moveTo(px(0), py(0)); break;
        case PathLineTo: path.lineTo(px(0), py(0)); break;
        case PathCurveTo: path.cubicTo(px(0), py(0), px(1), py(1), px(2), py(2)); break;
        case PathCloseFigure: path.closeSubpath(); break;
        case PathRectangle: path.addRect(px(0), py(0), pointX(i, 1), pointY(i, 1)); break;
        case PathEllipse: path.addEllipse(px(0), py(0), pointX(i, 1), pointY(i, 1)); break;
        case PathRoundRectangle:
            path.addRoundedRect(px(0), py(0), pointX(i, 1), pointY(i, 1), pointX(i, 2), pointY(i, 2), Qt::AbsoluteSize);
            break;
        case PathArcTo:
            path.arcTo(px(0), py(0), m_parser->evaluate(item.width), m_parser->evaluate(item.height), item.startAngle,
                       item.arcLength);
            break;
        default:
            break;
        }
    }
    return path;
}

namespace {
// Painter coordinates as ints: values beyond what any drawing reaches (or not
// numbers at all) come from a size expression gone wrong, and are clamped
// rather than converted into undefined values.
int pixel(double value, bool &clamped)
{
    constexpr double limit = 1 << 24;
    if (std::isfinite(value) && std::abs(value) <= limit)
        return int(value);
    clamped = true;
    return std::isnan(value) ? 0 : int(value < 0 ? -limit : limit);
}
} // namespace

bool MShape::drawStrokes(QPainter &painter, const QRectF &rect)
{
    painter.drawPath(buildPath(rect));
    m_parser->setRect(rect);
    const double left = rect.left();
    const double top = rect.top();
    bool clamped = false;
    for (int i = 0; i < m_items.size(); ++i) {
        const MShapeItem &item = m_items.at(i);
        auto ix = [&](int k) { return pixel(pointX(i, k) + left, clamped); };
        auto iy = [&](int k) { return pixel(pointY(i, k) + top, clamped); };
        auto iw = [&] { return pixel(m_parser->evaluate(item.width), clamped); };
        auto ih = [&] { return pixel(m_parser->evaluate(item.height), clamped); };
        switch (item.instruction) {
        case DrawLine: painter.drawLine(ix(0), iy(0), ix(1), iy(1)); break;
        case DrawEllispe: painter.drawEllipse(ix(0), iy(0), iw(), ih()); break;
        case DrawRectangle: painter.drawRect(ix(0), iy(0), iw(), ih()); break;
        case DrawArc:
            painter.drawArc(ix(0), iy(0), iw(), ih(), pixel(item.startAngle * 16, clamped),
                            pixel(item.arcLength * 16, clamped));
            break;
        case DrawCurve: {
            QPainterPath curve;
            curve.moveTo(pointX(i, 0) + left, pointY(i, 0) + top);
            curve.cubicTo(pointX(i, 1) + left, pointY(i, 1) + top, pointX(i, 2) + left, pointY(i, 2) + top,
                          pointX(i, 3) + left, pointY(i, 3) + top);
            painter.strokePath(curve, painter.pen());
            break;
        }
        default:
            break;
        }
    }
    if (clamped && !m_clampLogged) {
        m_clampLogged = true;
        MLogger::instance()->systemError(
            QStringLiteral("Shape %1: coordinates beyond %2 pixels clamped").arg(m_id).arg(1 << 24));
    }
    return !clamped;
}

QImage MShape::renderPreview(double width, double height, const QColor &pen, const QColor &gradient,
                             const QColor &background)
{
    QImage image;
    MUtility::newImage(image, int(width), int(height), false);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(pen, 1));
    QLinearGradient fill(0, 0, width, height);
    fill.setColorAt(0, gradient);
    fill.setColorAt(1, gradient.lighter(150));
    painter.setBrush(fill);
    drawStrokes(painter, QRectF(0, 0, width, height));
    return image;
}

QImage MShape::drawnPreview()
{
    if (m_items.size() <= MaximumPreviewItems)
        return renderPreview(50, 50, Qt::lightGray, QColor(120, 120, 120), Qt::transparent);
    const QVector<MShapeItem> all = m_items;
    m_items.resize(MaximumPreviewItems);
    const QImage image = renderPreview(50, 50, Qt::lightGray, QColor(120, 120, 120), Qt::transparent);
    m_items = all;
    return image;
}

QImage MShape::preview()
{
    if (m_preview.isNull())
        m_preview = drawnPreview();
    return m_preview;
}

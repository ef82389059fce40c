#include "mpaper.h"

#include "mdocumentdescription.h"
#include "mimagefile.h"
#include "mlogger.h"
#include "mutility.h"

#include <QFileInfo>

#include <cmath>

MPaper::MPaper(int type, const QColor &color, const QRectF &paintedRect, QObject *parent)
    : QObject(parent)
    , m_type(type)
    , m_color(color)
    , m_paintedRect(paintedRect)
{
}

void MPaper::setPaperColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    emit changed();
}

void MPaper::setPaperType(int type)
{
    if (m_type == type)
        return;
    m_type = type;
    emit changed();
}

void MPaper::setPaintMargin(double margin)
{
    if (m_paintMargin == margin)
        return;
    m_paintMargin = margin;
    emit changed();
}

void MPaper::setAutoExtent(bool value)
{
    if (m_autoExtent == value)
        return;
    m_autoExtent = value;
    emit changed();
}

void MPaper::setPaperTile(const QImage &image)
{
    m_tile = image.format() == QImage::Format_ARGB32_Premultiplied
                 ? image
                 : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The texture of the previous image must not stay on screen.
    emit tileChanged();
}

void MPaper::setPaperName(const QString &name)
{
    if (name == m_name)
        return;
    // Papers are files of the papers folder: of a path only the file name counts.
    const QString fileName = QFileInfo(name.trimmed()).fileName();
    const QString path = MUtility::papersDirectory(MUtility::UserPath) + fileName;
    if (fileName.isEmpty() || !QFileInfo(path).isFile())
        return;
    QString reason;
    const QImage image = MImageFile::read(path, &reason);
    if (image.isNull()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read paper image %1: %2").arg(path, reason));
        return;
    }
    setPaperTile(image);
    m_name = fileName;
    emit changed();
}

bool MPaper::samePaintedRect(const QRectF &a, const QRectF &b)
{
    return qFuzzyCompare(a.x(), b.x()) && qFuzzyCompare(a.y(), b.y()) && qFuzzyCompare(a.width(), b.width())
           && qFuzzyCompare(a.height(), b.height());
}

QRectF MPaper::boundedPaintedRect(const QRectF &rect, bool *limited)
{
    // A document file holds the painted rectangle only this far out; past it
    // the program would save a file it then refuses to open.
    const double limit = MDocumentDescription::CoordinateLimit;
    const bool within = rect.left() >= -limit && rect.top() >= -limit && rect.left() + rect.width() <= limit
                        && rect.top() + rect.height() <= limit && rect.width() >= 0.0 && rect.height() >= 0.0;
    if (limited)
        *limited = !within;
    if (within)
        return rect;
    if (!std::isfinite(rect.left()) || !std::isfinite(rect.top()) || !std::isfinite(rect.width())
        || !std::isfinite(rect.height()))
        return QRectF();
    return rect.intersected(QRectF(-limit, -limit, 2 * limit, 2 * limit));
}

void MPaper::setPaintedRect(const QRectF &rect)
{
    bool limited = false;
    const QRectF bounded = boundedPaintedRect(rect, &limited);
    if (limited)
        emit paintedRectLimited();
    if (bounded.isEmpty() && limited)
        return;
    if (samePaintedRect(bounded, m_paintedRect))
        return;
    // Logged once as the limit is reached, not for every stroke segment past it.
    if (limited)
        MLogger::instance()->log(QStringLiteral("Painted rectangle %1, %2, %3 x %4 kept within the document limit")
                                     .arg(rect.x())
                                     .arg(rect.y())
                                     .arg(rect.width())
                                     .arg(rect.height()));
    m_paintedRect = bounded;
    emit changed();
    emit paintedRectChanged(bounded);
}

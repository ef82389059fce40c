#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QString>

// What the document is painted on: the paper's kind, colour and tiled image,
// the painted rectangle that bounds the picture (kept within what a document
// file can hold), the margin painted around it and whether it grows with the
// strokes.
class MPaper : public QObject
{
    Q_OBJECT
public:
    MPaper(int type, const QColor &color, const QRectF &paintedRect, QObject *parent = nullptr);

    int paperType() const { return m_type; }
    QColor paperColor() const { return m_color; }
    QString paperName() const { return m_name; }
    QImage paperTile() const { return m_tile; }
    QRectF paintedRect() const { return m_paintedRect; }
    double paintMargin() const { return m_paintMargin; }
    bool autoExtent() const { return m_autoExtent; }
    void setAutoExtentSilently(bool value) { m_autoExtent = value; }

    // The rectangle cut to where a document file can hold a painted
    // rectangle; *limited tells whether it was cut (empty when nothing of it
    // is left, or it is not finite).
    static QRectF boundedPaintedRect(const QRectF &rect, bool *limited = nullptr);
    static bool samePaintedRect(const QRectF &a, const QRectF &b);

    void setPaperType(int type);
    void setPaperColor(const QColor &color);
    // A file of the papers folder (of a path only the file name counts); a
    // name with no readable image there changes nothing.
    void setPaperName(const QString &name);
    void setPaperTile(const QImage &image);
    void setPaintMargin(double margin);
    void setAutoExtent(bool value);
    // Kept within the document limit (paintedRectLimited tells when it had
    // to be cut).
    void setPaintedRect(const QRectF &rect);

signals:
    // Something drawn changed: views draw again.
    void changed();
    // The paper's image was replaced: a texture made of the previous one must go.
    void tileChanged();
    void paintedRectChanged(const QRectF &rect);
    // The painted rectangle was asked to grow past the document limit.
    void paintedRectLimited();

private:
    int m_type;
    QColor m_color;
    QString m_name;
    QImage m_tile;
    QRectF m_paintedRect;
    double m_paintMargin = 0.0;
    bool m_autoExtent = false;
};

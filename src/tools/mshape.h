#pragma once

#include "mshapeitem.h"

#include <QImage>
#include <QObject>
#include <QPainterPath>
#include <QVector>

#include <memory>

class MShapeParser;
class QPainter;

// A small vector drawing read from a ".kxh" file whose coordinates follow the
// size of the rectangle it is drawn into.
class MShape : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QImage preview READ preview)
    Q_PROPERTY(QString id READ id WRITE setId NOTIFY idChanged)
    Q_PROPERTY(QString group READ group WRITE setGroup NOTIFY groupChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
public:
    enum ShapeInstruction {
        PathMoveTo, PathLineTo, PathCurveTo, PathCloseFigure, PathRectangle, PathEllipse,
        PathRoundRectangle, PathArcTo, DrawLine,
        DrawEllispe, // the file format's spelling
        DrawRectangle, DrawArc, DrawCurve
    };
    Q_ENUM(ShapeInstruction)
    enum Token {
        NoneToken, PlusToken, MinusToken, MultToken, DivToken, OpenParToken, CloseParToken,
        WidthToken, HeightToken, NumberToken, ErrorToken, EndToken
    };
    Q_ENUM(Token)

    // A preview draws at most this many items: the shipped shapes have a
    // dozen, and a file of hundreds of thousands would hold the start.
    static constexpr int MaximumPreviewItems = 1000;

    explicit MShape(QObject *parent = nullptr);
    ~MShape() override;

    // False when the file cannot be opened or holds no JSON object.
    bool readJson(const QString &path);
    // The same on a file's bytes; origin names them in the log.
    bool readJsonData(const QByteArray &bytes, const QString &origin);
    // Writes what readJson reads back (the shipped shapes are made with it).
    bool writeJson(const QString &path) const;
    void setItems(const QVector<MShapeItem> &items) { m_items = items; }
    void setSize(double width, double height) { m_width = width; m_height = height; }

    QString id() const { return m_id; }
    QString group() const { return m_group; }
    QString description() const { return m_description; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    const QVector<MShapeItem> &items() const { return m_items; }

    double pointX(int item, int point);
    double pointY(int item, int point);
    QPainterPath buildPath(const QRectF &rect);
    // False when coordinates beyond any drawing had to be clamped.
    bool drawStrokes(QPainter &painter, const QRectF &rect);
    QImage renderPreview(double width, double height, const QColor &pen, const QColor &gradient,
                         const QColor &background);
    // The file's embedded preview, else one drawn at the first call (of at
    // most MaximumPreviewItems items) and kept.
    QImage preview();

public slots:
    void setId(const QString &id);
    void setGroup(const QString &group);
    void setDescription(const QString &description);

signals:
    void descriptionChanged(const QString &description);
    void groupChanged(const QString &group);
    void idChanged(const QString &id);

private:
    QImage drawnPreview();
    double bounded(const QString &value, const QString &low, const QString &high);

    QString m_id;
    QString m_group;
    QString m_description;
    double m_width = 100;
    double m_height = 100;
    QVector<MShapeItem> m_items;
    std::unique_ptr<MShapeParser> m_parser;
    QImage m_preview;
    bool m_clampLogged = false;
};

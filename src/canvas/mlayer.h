#pragma once

#include "mshaderobject.h"

#include <QColor>
#include <QImage>
#include <QString>

// A layer of the document as the user sees it. Its state is exposed as
// properties so that the layer list, dialogs and the document file can
// address it by name; subclasses hold its pixels.
class MLayer : public MShaderObject
{
    Q_OBJECT
    // In this order: the layer list's roles follow it.
    Q_PROPERTY(int mask READ mask WRITE set_mask NOTIFY maskChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity NOTIFY opacityChanged)
    Q_PROPERTY(bool locked READ locked WRITE setLocked NOTIFY lockedChanged)
    Q_PROPERTY(bool visible READ visible WRITE setVisible NOTIFY visibleChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(MLayer::Type type READ type)
    Q_PROPERTY(QImage thumbnail READ thumbnail WRITE setThumbnail NOTIFY thumbnailChanged)
    Q_PROPERTY(QString imageGuid READ imageGuid WRITE setImageGuid NOTIFY imageGuidChanged)
    Q_PROPERTY(bool eraserMode READ eraserMode WRITE setEraserMode NOTIFY eraserModeChanged)
public:
    enum Type { BufferLayer = 0, OpenGLLayer = 1, VectorLayer = 2, CloneLayer = 3, UndoLayer = 4 };
    Q_ENUM(Type)
    enum Mask { NoMask = 0, AlphaMask = 1, OneMinusAlphaMask = 2 };
    Q_ENUM(Mask)

    explicit MLayer(QObject *parent = nullptr);
    ~MLayer() override;

    int mask() const { return m_mask; }
    Type type() const { return Type(m_type); }
    QString name() const { return m_name; }
    double opacity() const { return m_opacity; }
    bool locked() const { return m_locked; }
    bool visible() const { return m_visible; }
    QColor color() const { return m_color; }
    QImage thumbnail() const { return m_thumbnail; }
    QString imageGuid() const { return m_imageGuid; }
    bool eraserMode() const { return m_eraserMode; }

    static QString newGuid();

public slots:
    virtual void clear();
    virtual bool isEmpty() const;
    virtual void copyProperties(const MLayer *other);

    void set_mask(int value);
    void setName(const QString &value);
    void setOpacity(double value);
    void setLocked(bool value);
    void setVisible(bool value);
    void setColor(const QColor &value);
    void setThumbnail(const QImage &value);
    void setImageGuid(const QString &value);
    void setEraserMode(bool value);

signals:
    void maskChanged(int value);
    void nameChanged(const QString &value);
    void opacityChanged(double value);
    void lockedChanged(bool value);
    void visibleChanged(bool value);
    void colorChanged(const QColor &value);
    void thumbnailChanged(const QImage &value);
    void imageGuidChanged(const QString &value);
    void eraserModeChanged(bool value);

protected:
    void setType(int type) { m_type = type; }

private:
    int m_mask = NoMask;
    int m_type = BufferLayer;
    QString m_name;
    double m_opacity = 1.0;
    bool m_locked = false;
    bool m_visible = true;
    QColor m_color = QColor(Qt::red);
    QImage m_thumbnail;
    QString m_imageGuid;
    bool m_eraserMode = false;
};

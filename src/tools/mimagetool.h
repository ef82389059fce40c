#pragma once

#include "mplacingtool.h"

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainterPath>

class MAnimFrame;
class MEvent;

// Places a picture as a floating item: moved, resized by eight handles,
// turned by its corners in 5 degree steps, optionally keyed out, then pasted
// into a layer as one undo step.
class MImageTool : public MPlacingTool
{
    Q_OBJECT
    Q_PROPERTY(bool pinned READ pinned WRITE set_pinned NOTIFY pinnedChanged)
    Q_PROPERTY(bool transparentBackground READ transparentBackground WRITE set_transparentBackground NOTIFY
                   transparentBackgroundChanged)
    Q_PROPERTY(bool useTopLeftPixelAsKeyColor READ useTopLeftPixelAsKeyColor WRITE set_useTopLeftPixelAsKeyColor
                   NOTIFY useTopLeftPixelAsKeyColorChanged)
    Q_PROPERTY(QColor keyColor READ keyColor WRITE set_keyColor NOTIFY keyColorChanged)
    Q_PROPERTY(bool clipToSelection READ clipToSelection WRITE set_clipToSelection NOTIFY clipToSelectionChanged)
    Q_PROPERTY(double opacity READ opacity WRITE set_opacity NOTIFY opacityChanged)
public:
    MImageTool(ToolId toolId, QObject *parent = nullptr);
    ~MImageTool() override;

    bool pinned() const { return m_pinned; }
    bool transparentBackground() const { return m_transparentBackground; }
    bool useTopLeftPixelAsKeyColor() const { return m_useTopLeftPixelAsKeyColor; }
    QColor keyColor() const { return m_keyColor; }
    bool clipToSelection() const { return m_clipToSelection; }
    double opacity() const { return m_opacity; }

    double angle() const { return m_angle; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    QPointF imagePoint() const { return m_imagePoint; }
    bool isPlaced() const { return !m_outline.isEmpty(); }
    bool hasItem() const override { return isPlaced(); }
    QPainterPath outline() const { return m_outline; }
    QImage sourceImage() const { return m_source; }
    QImage displayedImage();
    int hitTest(const QPointF &canvasPoint) const;
    // The placed picture as it is pasted, centred on the image point.
    QImage renderImage();

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;

public slots:
    void set_pinned(bool value);
    void set_transparentBackground(bool value);
    void set_useTopLeftPixelAsKeyColor(bool value);
    void set_keyColor(const QColor &value);
    void set_clipToSelection(bool value);
    void set_opacity(double value);

    void init();
    void computeBuildPath();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void apply(Qt::KeyboardModifiers modifiers) override;
    void apply();
    void setImage(const QImage &image);
    void setAngle(double angle);
    void setWidth(double width);
    void setHeight(double height);
    void setImagePoint(const QPointF &point);
    void resetTransfo();
    void loadFromFile();
    void loadFromImage(const QImage &image, const QPointF &point);
    void loadFromImage(const QImage &image);
    void flipHorizontal();
    void flipVertical();

signals:
    void pinnedChanged(bool value);
    void transparentBackgroundChanged(bool value);
    void useTopLeftPixelAsKeyColorChanged(bool value);
    void keyColorChanged(const QColor &value);
    void clipToSelectionChanged(bool value);
    void opacityChanged(double value);
    void angleChanged(double angle);
    void widthChanged(double width);
    void heightChanged(double height);
    void imagePointChanged(const QPointF &point);

private slots:
    void resetImage();

protected:
    bool dropForEscape() override;

private:
    void rebuildDisplayed();
    void forgetImage();
    void cursorFor(int code);
    QRectF frame() const;
    void showApplyHint();

    bool m_pinned = false;
    bool m_transparentBackground = false;
    bool m_useTopLeftPixelAsKeyColor = false;
    QColor m_keyColor = Qt::white;
    bool m_clipToSelection = true;
    double m_opacity = 1.0;

    int m_hitCode = 0;
    QImage m_displayed;
    QImage m_source;
    QPainterPath m_outline;
    QCursor m_rotationCursor;
    QPointF m_pressPoint;
    QPointF m_imagePointAtPress;
    QRectF m_rectAtPress;
    int m_angleAtPress = 0;
    QIcon m_cornerIcons[4];
    double m_naturalWidth = 100;
    double m_naturalHeight = 100;
    double m_angle = 0;
    double m_width = 100;
    double m_height = 100;
    QPointF m_imagePoint;
    bool m_displayedUpToDate = false;
};

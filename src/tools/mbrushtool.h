#pragma once

#include "mevent.h"
#include "mtool.h"

#include <QCursor>
#include <QPointF>
#include <QPointer>

class MBrush;
class MCanvas;

// The painting tool: free strokes of the current brush, one per symmetric
// image of each sample, straight lines by Ctrl+click then click, the magic
// wand on Shift+click, the radius on the wheel, strokes that follow the
// selection outline, and a cursor the size of the brush.
class MBrushTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(bool drawOnPath READ drawOnPath WRITE set_drawOnPath NOTIFY drawOnPathChanged)
public:
    // What the tool is doing between events.
    enum Mode { Idle = 0, LineStarted = 1, Stroking = 3 };

    // The document has this many stroke slots; further images are not drawn.
    static constexpr int maximumImages = 30;

    MBrushTool(ToolId toolId, QObject *parent = nullptr);

    bool drawOnPath() const { return m_drawOnPath; }
    int mode() const { return m_mode; }
    QPointF lineStart() const { return m_lineStart; }
    QPointF lineEnd() const { return m_lineEnd; }

    double size() const override;
    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

    void changeRadius(int delta);
    void drawSymmetryStroke(MEvent *event);
    void constrainToGuides();

public slots:
    void set_drawOnPath(bool value);
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    virtual void init();

signals:
    void drawOnPathChanged(bool value);

private:
    static MBrush *brush();
    void adjustPosition(MEvent *event, bool press);
    // Ends the stroke in progress at its last sample, with its macro.
    void finishStroke();
    void buildCrossCursor();

    bool m_drawOnPath = false;
    int m_mode = Idle;
    int m_lastCursorSize = -1;
    QCursor m_crossCursor;
    bool m_crossCursorBuilt = false;
    QPointF m_lineStart;
    QPointF m_lineEnd;
    // The document whose symmetry macro is open, until the stroke that
    // opened it ends.
    QPointer<MCanvas> m_macroCanvas;
    MEvent m_lastSample;
};

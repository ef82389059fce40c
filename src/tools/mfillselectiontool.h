#pragma once

#include "mtool.h"

class MAnimFrame;
class MCanvas;

// The magic wand: a left click marks the region around the clicked pixel of
// the chosen layer in the document's pixel selection (Ctrl adds to it);
// Shift with the right button, or Return, fills the selection with the
// current colour.
class MFillSelectionTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int threshold READ threshold WRITE set_threshold NOTIFY thresholdChanged)
    Q_PROPERTY(int selectionLayer READ selectionLayer WRITE set_selectionLayer NOTIFY selectionLayerChanged)
public:
    // Which layer the wand samples.
    enum SelectionLayer { CurrentLayer = 0, OverLayer = 1, UnderLayer = 2, TopMostLayer = 3 };
    Q_ENUM(SelectionLayer)

    MFillSelectionTool(ToolId toolId, QObject *parent = nullptr);
    ~MFillSelectionTool() override;

    int threshold() const { return m_threshold; }
    int selectionLayer() const { return m_selectionLayer; }
    MAnimFrame *animFrame() const { return m_animFrame; }

    // The row of the layer to sample in the document, -1 when it has none.
    static int sampledRow(const MCanvas *canvas, int selectionLayer);
    // The magic-wand click at the event's position; -1 when there is no
    // layer to sample.
    int selectAt(MEvent *event);

    bool mousePressEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;

public slots:
    void set_threshold(int value);
    void set_selectionLayer(int value);
    void setThreshold(double value);
    void activate(bool on) override;
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void fill(const QColor &color);

signals:
    void thresholdChanged(int value);
    void selectionLayerChanged(int value);

private:
    int m_threshold = 125;
    int m_selectionLayer = CurrentLayer;
    MAnimFrame *m_animFrame;
};

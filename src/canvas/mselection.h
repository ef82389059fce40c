#pragma once

#include <QObject>
#include <QPainterPath>

class MTextureLayer;

// The document's selection: its outline, the layer it is rasterised into
// (what strokes and fills are clipped with; the magic wand marks it with no
// outline), whether there is one and whether painting keeps inside it.
class MSelection : public QObject
{
    Q_OBJECT
public:
    explicit MSelection(QObject *parent = nullptr);

    QPainterPath path() const { return m_path; }
    MTextureLayer *layer() const { return m_layer; }
    bool hasSelection() const { return m_hasSelection; }
    bool clipStroke() const { return m_clipStroke; }
    // Painting is kept inside the selection.
    bool clipToSelection() const { return m_clipStroke && m_hasSelection; }

    // The outline, and whether there is a selection, follow the path; the
    // layer is the caller's to redraw.
    void setPath(const QPainterPath &path);
    // The outline goes; the layer and the flag stay.
    void resetPath() { m_path = QPainterPath(); }
    // Everything within the rectangle that the outline leaves out.
    QPainterPath invertedPath(const QRectF &within) const;
    // For the span of one paste, told to no one.
    void setClipStrokeSilently(bool value) { m_clipStroke = value; }

public slots:
    void setClipStroke(bool value);
    void setHasSelection(bool value);

signals:
    void clipStrokeChanged(bool value);
    void hasSelectionChanged(bool value);

private:
    QPainterPath m_path;
    MTextureLayer *m_layer;
    bool m_hasSelection = false;
    bool m_clipStroke = true;
};

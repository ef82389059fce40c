#pragma once

#include "msingleton.h"

#include <QObject>
#include <QPointF>

class MEvent;
class MTool;
class QKeyEvent;
class QPainter;
class QWheelEvent;

// Routes the canvas view's input to the current tool and collects the
// tools' overlays. There is always a current tool: without one set, a tool
// that ignores everything stands in.
class MTools : public QObject, public MSingleton<MTools>
{
    Q_OBJECT
public:
    explicit MTools(QObject *parent = nullptr);

    MTool *currentTool() const;
    // Not owned; null brings back the stand-in.
    void setCurrentTool(MTool *tool);

    void mousePressEvent(MEvent *event);
    void mouseMoveEvent(MEvent *event);
    void mouseHoverEvent(MEvent *event);
    void mouseReleaseEvent(MEvent *event);
    void mouseDoubleClickEvent(MEvent *event);
    void wheelEvent(QWheelEvent *event);
    void keyPressEvent(QKeyEvent *event);
    bool updateCursor(const QPointF &viewPosition, double scale);
    void paint(QPainter *painter);

public slots:
    void refresh();

signals:
    void showText(const QString &text);
    void refreshNeeded();

private:
    MTool *m_idleTool;
    MTool *m_currentTool = nullptr;
};

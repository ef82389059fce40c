#pragma once

#include "mtool.h"

class MAnimFrame;

// What the tools that place one item over the canvas (a shape, a text, an
// image) share: Return or the keypad's Enter pastes the item, Escape drops it,
// it can be pasted in a new layer, its frame is animated while the tool is
// on, and the selection mode by which an item
// that becomes a selection combines with the one there.
class MPlacingTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int selectionMode READ selectionMode WRITE set_selectionMode NOTIFY selectionModeChanged)
public:
    MPlacingTool(ToolId toolId, QObject *parent = nullptr);

    MAnimFrame *animation() const { return m_animation; }
    int selectionMode() const { return m_selectionMode; }
    virtual bool hasItem() const = 0;

    bool keyPressEvent(QKeyEvent *event) override;
    bool takesKey(const QKeyEvent *event) const override { return hasItem() && isConfirmKey(event); }

public slots:
    void activate(bool on) override;
    void set_selectionMode(int mode);
    virtual void apply(Qt::KeyboardModifiers modifiers) = 0;
    void applyInNewLayer();

signals:
    void selectionModeChanged(int mode);

protected:
    // Drops the item for Escape; whether the key was taken.
    virtual bool dropForEscape() = 0;

    MAnimFrame *m_animation;
    int m_selectionMode = 0;
};

#pragma once

#include "mcommand.h"

#include <QRectF>

// Sets the painted rectangle of the document.
class MCommandSetPaintedRect : public MCommand
{
public:
    MCommandSetPaintedRect(MCanvas *canvas, const QRectF &oldRect, const QRectF &newRect,
                           QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    QRectF m_newRect;
    QRectF m_oldRect;
};

#pragma once

#include "mcommand.h"

#include <QRectF>

class MPaper;
struct MDocumentParts;

// Sets the painted rectangle of the document.
class MCommandSetPaintedRect : public MCommand
{
public:
    MCommandSetPaintedRect(const MDocumentParts &parts, const QRectF &oldRect, const QRectF &newRect,
                           QUndoCommand *parent = nullptr);

    void undoStep() override;
    void redoStep() override;

private:
    MPaper *m_paper;
    QRectF m_newRect;
    QRectF m_oldRect;
};

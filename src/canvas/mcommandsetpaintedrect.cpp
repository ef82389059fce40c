#include "mcommandsetpaintedrect.h"

#include "mcanvas.h"

#include <QApplication>
#include <QLocale>

MCommandSetPaintedRect::MCommandSetPaintedRect(MCanvas *canvas, const QRectF &oldRect, const QRectF &newRect,
                                               QUndoCommand *parent)
    : MCommand(canvas, parent)
    , m_newRect(newRect)
    , m_oldRect(oldRect)
{
    setText(QApplication::translate("QApplication", "Resize painted rectangle: %1, %2")
                .arg(QString::number(newRect.width(), 'g', QLocale::FloatingPointShortest),
                     QString::number(newRect.height(), 'g', QLocale::FloatingPointShortest)));
    push();
}

void MCommandSetPaintedRect::redoStep()
{
    m_canvas->setPaintedRect(m_newRect);
}

void MCommandSetPaintedRect::undoStep()
{
    m_canvas->setPaintedRect(m_oldRect);
}

#include "mcommandsetpaintedrect.h"

#include "mdocumentparts.h"
#include "mpaper.h"

#include <QApplication>
#include <QLocale>

MCommandSetPaintedRect::MCommandSetPaintedRect(const MDocumentParts &parts, const QRectF &oldRect,
                                               const QRectF &newRect, QUndoCommand *parent)
    : MCommand(parts.history, parent)
    , m_paper(parts.paper)
    , m_newRect(newRect)
    , m_oldRect(oldRect)
{
    setText(QApplication::translate("QApplication", "Resize painted rectangle: %1, %2")
                .arg(QString::number(newRect.width(), 'g', QLocale::FloatingPointShortest),
                     QString::number(newRect.height(), 'g', QLocale::FloatingPointShortest)));
}

void MCommandSetPaintedRect::redoStep()
{
    m_paper->setPaintedRect(m_newRect);
}

void MCommandSetPaintedRect::undoStep()
{
    m_paper->setPaintedRect(m_oldRect);
}

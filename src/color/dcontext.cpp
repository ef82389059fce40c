#include "dcontext.h"

DContext::DContext(QWidget *parent)
    : QDialog(parent, Qt::Popup)
{
    resize(240, 240);
}

void DContext::centerOn(const QPointF &parentPosition)
{
    QPoint global = parentPosition.toPoint();
    if (parentWidget())
        global = parentWidget()->mapToGlobal(global);
    move(global - QPoint(width() / 2, height() / 2));
}

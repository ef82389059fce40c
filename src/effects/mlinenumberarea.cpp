#include "mlinenumberarea.h"

#include "meditor.h"

MLineNumberArea::MLineNumberArea(MEditor *editor)
    : QWidget(editor)
    , m_editor(editor)
{
}

QSize MLineNumberArea::sizeHint() const
{
    return QSize(m_editor->lineNumberAreaWidth(), 0);
}

void MLineNumberArea::paintEvent(QPaintEvent *event)
{
    m_editor->lineNumberAreaPaintEvent(event);
}

#include "mbrushlist.h"

#include "mbrush.h"

MBrushList::MBrushList(QObject *parent)
    : QObject(parent)
    , m_default(new MBrush())
    , m_current(m_default.get())
{
    m_default->setDescription(tr("Default brush"));
}

MBrushList::~MBrushList() = default;

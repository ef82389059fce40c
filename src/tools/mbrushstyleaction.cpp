#include "mbrushstyleaction.h"

#include "mbrushstyle.h"
#include "mbrushstylewidget.h"

MBrushStyleAction::MBrushStyleAction(MBrushStyleWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

MBrushStyleAction::~MBrushStyleAction()
{
    // The editor is the action's own, whichever menu shows it.
    delete m_widget;
}

MBrushStyleWidget *MBrushStyleAction::widget() const
{
    return m_widget;
}

void MBrushStyleAction::showWidget()
{
    if (m_widget)
        m_widget->objectToWidgets();
}

#include "mstrokestyleaction.h"

#include "mstrokestyle.h"
#include "mstrokestylewidget.h"

MStrokeStyleAction::MStrokeStyleAction(MStrokeStyleWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

MStrokeStyleAction::~MStrokeStyleAction()
{
    // The editor is the action's own, whichever menu shows it.
    delete m_widget;
}

MStrokeStyleWidget *MStrokeStyleAction::widget() const
{
    return m_widget;
}

void MStrokeStyleAction::showWidget()
{
    if (m_widget)
        m_widget->objectToWidgets();
}

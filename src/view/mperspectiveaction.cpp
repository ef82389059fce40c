#include "mperspectiveaction.h"

#include "mperspectivewidget.h"

MPerspectiveAction::MPerspectiveAction(MPerspectiveWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

void MPerspectiveAction::showWidget()
{
    if (m_widget)
        m_widget->objectToWidgets();
}

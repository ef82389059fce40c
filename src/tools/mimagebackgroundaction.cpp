#include "mimagebackgroundaction.h"

#include "mimagebackgroundwidget.h"

MImageBackgroundAction::MImageBackgroundAction(MImageBackgroundWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

MImageBackgroundAction::~MImageBackgroundAction()
{
    // The editor is the action's own, whichever menu shows it.
    delete m_widget;
}

MImageBackgroundWidget *MImageBackgroundAction::widget() const
{
    return m_widget;
}

void MImageBackgroundAction::showWidget()
{
    if (m_widget)
        m_widget->objectToWidgets();
}

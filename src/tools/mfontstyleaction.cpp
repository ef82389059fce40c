#include "mfontstyleaction.h"

#include "mfontstyle.h"
#include "mfontstylewidget.h"

MFontStyleAction::MFontStyleAction(MFontStyleWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

MFontStyleAction::~MFontStyleAction() = default;

void MFontStyleAction::showWidget()
{
    if (m_widget)
        m_widget->objectToWidgets();
}

#include "mshapeaction.h"

#include "mshapewidget.h"

MShapeAction::MShapeAction(MShapeWidget *widget, QObject *parent)
    : QWidgetAction(parent)
    , m_widget(widget)
{
    setDefaultWidget(widget);
}

MShapeAction::~MShapeAction() = default;

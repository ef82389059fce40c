#pragma once

#include <QPointer>
#include <QWidgetAction>

class MPerspectiveWidget;

// Holds the perspective options panel in the option bar's popup menu and
// refreshes it from the guide each time the menu opens.
class MPerspectiveAction : public QWidgetAction
{
    Q_OBJECT
public:
    // The action takes the panel: it goes with the action.
    MPerspectiveAction(MPerspectiveWidget *widget, QObject *parent);

    MPerspectiveWidget *widget() const { return m_widget; }

public slots:
    void showWidget();

private:
    QPointer<MPerspectiveWidget> m_widget;
};

#pragma once

#include <QPointer>
#include <QWidgetAction>

class MShapeWidget;

// Holds the shape chooser in the shape tool bar's popup menu.
class MShapeAction : public QWidgetAction
{
    Q_OBJECT
public:
    // The action takes the chooser: it goes with the action.
    MShapeAction(MShapeWidget *widget, QObject *parent);
    ~MShapeAction() override;

    MShapeWidget *widget() const { return m_widget; }

public slots:
    // The chooser follows the library by itself; nothing to refresh.
    void showWidget() {}

private:
    QPointer<MShapeWidget> m_widget;
};

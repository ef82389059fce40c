#pragma once

#include <QPointer>
#include <QWidgetAction>

class MFontStyleWidget;

// Holds a font style editor in an option bar's popup menu and refreshes it
// from the style each time the menu opens.
class MFontStyleAction : public QWidgetAction
{
    Q_OBJECT
public:
    // The action takes the editor: it goes with the action.
    MFontStyleAction(MFontStyleWidget *widget, QObject *parent);
    ~MFontStyleAction() override;

    MFontStyleWidget *widget() const { return m_widget; }

public slots:
    void showWidget();

private:
    QPointer<MFontStyleWidget> m_widget;
};

#pragma once

#include <QPointer>
#include <QWidgetAction>

class MImageBackgroundWidget;

// A menu entry holding the image tool's keying options; opening the menu shows the
// tool's current values in them.
class MImageBackgroundAction : public QWidgetAction
{
    Q_OBJECT
public:
    // Takes the editor, which it deletes.
    explicit MImageBackgroundAction(MImageBackgroundWidget *widget, QObject *parent = nullptr);
    ~MImageBackgroundAction() override;

    MImageBackgroundWidget *widget() const;

public slots:
    void showWidget();

private:
    QPointer<MImageBackgroundWidget> m_widget;
};

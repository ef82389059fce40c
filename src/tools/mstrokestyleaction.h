#pragma once

#include <QPointer>
#include <QWidgetAction>

class MStrokeStyleWidget;

// A menu entry holding a stroke style editor; opening the menu shows the
// style's current values in it.
class MStrokeStyleAction : public QWidgetAction
{
    Q_OBJECT
public:
    // Takes the editor, which it deletes.
    explicit MStrokeStyleAction(MStrokeStyleWidget *widget, QObject *parent = nullptr);
    ~MStrokeStyleAction() override;

    MStrokeStyleWidget *widget() const;

public slots:
    void showWidget();

private:
    QPointer<MStrokeStyleWidget> m_widget;
};

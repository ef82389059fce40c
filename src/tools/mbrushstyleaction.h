#pragma once

#include <QPointer>
#include <QWidgetAction>

class MBrushStyleWidget;

// A menu entry holding a brush style editor; opening the menu shows the
// style's current values in it.
class MBrushStyleAction : public QWidgetAction
{
    Q_OBJECT
public:
    // Takes the editor, which it deletes.
    explicit MBrushStyleAction(MBrushStyleWidget *widget, QObject *parent = nullptr);
    ~MBrushStyleAction() override;

    MBrushStyleWidget *widget() const;

public slots:
    void showWidget();

private:
    QPointer<MBrushStyleWidget> m_widget;
};

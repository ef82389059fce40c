#pragma once

#include <QDialog>

// The floating context panel, opened by Ctrl and the right button on the
// canvas view, near the cursor.
class DContext : public QDialog
{
    Q_OBJECT
public:
    explicit DContext(QWidget *parent = nullptr);

    // Places the panel's centre on a point of its parent.
    void centerOn(const QPointF &parentPosition);
};

#pragma once

#include <QObject>

// Swallows clicks, key presses and tablet presses while a long job runs on the
// GUI thread; moves and paint events still arrive.
class MEventFilter : public QObject
{
    Q_OBJECT
public:
    explicit MEventFilter(QObject *parent = nullptr);

    static MEventFilter *busyFilter();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#pragma once

#include <QList>
#include <QToolButton>

class QAction;

// A tool button with a drop-down menu whose face always runs the action
// chosen last from the menu.
class MMenuButton : public QToolButton
{
public:
    explicit MMenuButton(QWidget *parent = nullptr);

    // The first action becomes the default; an empty list changes nothing.
    void setActions(const QList<QAction *> &actions);
};

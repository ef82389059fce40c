#pragma once

#include "mtablemodel.h"

class QWidget;

// The application's named commands as rows (description, shortcut, action),
// for the shortcut editor.
class MActionList : public MTableModel
{
    Q_OBJECT
public:
    explicit MActionList(QObject *parent = nullptr);

    // Replaces the rows by one per named, shown action under the widget that
    // has a tool tip or a text; the actions of its child windows (not its
    // menus) are theirs and left out. Rows of equal words name their bar.
    void fromWidget(QWidget *widget);

    QObject *createItem() override;
};

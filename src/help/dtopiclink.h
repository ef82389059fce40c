#pragma once

#include <QDialog>

class MHelpEngine;
class MHelpItem;

namespace Ui {
class DTopicLink;
}

// Picks a help topic from the tree.
class DTopicLink : public QDialog
{
    Q_OBJECT
public:
    DTopicLink(MHelpEngine *engine, QWidget *parent = nullptr);
    ~DTopicLink() override;

    MHelpItem *selectedItem() const;
    QString selectedId() const;
    QString selectedTitle() const;

public slots:
    void doubleClick();

private:
    Ui::DTopicLink *ui;
    MHelpEngine *m_engine;
};

#include "dtopiclink.h"
#include "ui_dtopiclink.h"

#include "mhelpengine.h"
#include "mhelpitem.h"

DTopicLink::DTopicLink(MHelpEngine *engine, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DTopicLink)
    , m_engine(engine)
{
    ui->setupUi(this);
    ui->treeView->setModel(m_engine);
    ui->treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->treeView->expandAll();
    for (int column = 0; column < m_engine->columnCount(); ++column)
        ui->treeView->resizeColumnToContents(column);
    connect(ui->treeView, &QAbstractItemView::doubleClicked, this, &DTopicLink::doubleClick);
}

DTopicLink::~DTopicLink()
{
    delete ui;
}

MHelpItem *DTopicLink::selectedItem() const
{
    const QModelIndex current = ui->treeView->selectionModel()->currentIndex();
    if (!current.isValid())
        return nullptr;
    return m_engine->itemOf(m_engine->index(current.row(), 0, current.parent()));
}

QString DTopicLink::selectedId() const
{
    const MHelpItem *item = selectedItem();
    return item ? item->id() : QString();
}

QString DTopicLink::selectedTitle() const
{
    const MHelpItem *item = selectedItem();
    return item ? item->title() : QString();
}

void DTopicLink::doubleClick()
{
    accept();
}

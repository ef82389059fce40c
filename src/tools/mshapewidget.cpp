#include "mshapewidget.h"
#include "ui_mshapewidget.h"

#include "dsortlist.h"
#include "mfield.h"
#include "mproxymodel.h"
#include "mshapelist.h"
#include "mtablemodel.h"
#include "mutility.h"

#include <QHeaderView>

MShapeWidget::MShapeWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_MShapeWidget)
{
    ui->setupUi(this);
    QTableView *view = ui->tableView;
    m_proxy = new MProxyModel(MShapeList::instance(), view, ui->filterEdit, this);
    m_proxy->setColumns({"preview", "description", "group"});
    m_proxy->setSortColumn("description");
    MShapeList::instance()->setupView(view, {"preview", "description", "group"});
    MTableModel::setRowHeight(view, 55);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    MUtility::applySelectionPalette(view);
    view->sortByColumn(MShapeList::instance()->column("description")->index(), Qt::AscendingOrder);
}

MShapeWidget::~MShapeWidget()
{
    delete ui;
}

void MShapeWidget::on_sortBtn_clicked()
{
    MShapeList *library = MShapeList::instance();
    DSortList dialog(library, this);
    if (dialog.exec() == QDialog::Accepted)
        library->reorder();
}

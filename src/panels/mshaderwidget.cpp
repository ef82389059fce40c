#include "mshaderwidget.h"
#include "ui_mshaderwidget.h"

#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderproxy.h"
#include "mutility.h"

#include <QAction>

namespace {
// Stores the action and makes it the button's; false when it was held already.
bool bind(QAction *&held, QAction *action, QToolButton *button)
{
    if (held == action)
        return false;
    held = action;
    button->setDefaultAction(action);
    return true;
}
} // namespace

MShaderWidget::MShaderWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MShaderWidget)
    , m_proxy(new MShaderProxy(this))
{
    ui->setupUi(this);
    MShaderList *library = MShaderList::instance();
    m_proxy->set(MShader::EffectShader);
    m_proxy->setSourceModel(library);
    QTableView *view = ui->tableView;
    view->setModel(m_proxy);
    library->setupView(view, {"preview", "description", "group"});
    library->setColumnWidth(view, "preview", 64);
    MTableModel::setRowHeight(view, 64);
    MUtility::applySelectionPalette(view);
    // Rows are dragged onto the canvas, never within the list.
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    connect(ui->searchLineEdit, &QLineEdit::textChanged, this, &MShaderWidget::search);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MShaderWidget::onCurrentIndexChanged);
    connect(view, &QAbstractItemView::doubleClicked, this, &MShaderWidget::onApplyShader);
}

MShaderWidget::~MShaderWidget()
{
    delete ui;
}

QTableView *MShaderWidget::tableView() const
{
    return ui->tableView;
}

void MShaderWidget::set_newShaderAction(QAction *action)
{
    if (bind(m_newShaderAction, action, ui->btnNewShader))
        emit newShaderActionChanged(action);
}

void MShaderWidget::set_removeShaderAction(QAction *action)
{
    if (bind(m_removeShaderAction, action, ui->btnRemoveShader))
        emit removeShaderActionChanged(action);
}

void MShaderWidget::set_duplicateShaderAction(QAction *action)
{
    if (bind(m_duplicateShaderAction, action, ui->btnDuplicateShader))
        emit duplicateShaderActionChanged(action);
}

void MShaderWidget::set_editShaderAction(QAction *action)
{
    if (bind(m_editShaderAction, action, ui->btnEditShader))
        emit editShaderActionChanged(action);
}

void MShaderWidget::set_applyShaderAction(QAction *action)
{
    if (bind(m_applyShaderAction, action, ui->btnApplyShader))
        emit applyShaderActionChanged(action);
}

void MShaderWidget::onCurrentIndexChanged()
{
    const QModelIndex index = ui->tableView->currentIndex();
    MShaderList::instance()->setCurrentRow(index.isValid() ? m_proxy->mapToSource(index).row() : -1);
}

void MShaderWidget::onApplyShader()
{
    if (m_applyShaderAction)
        m_applyShaderAction->trigger();
}

void MShaderWidget::search()
{
    m_proxy->setSearchText(ui->searchLineEdit->text());
}

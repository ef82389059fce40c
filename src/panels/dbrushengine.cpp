#include "dbrushengine.h"
#include "ui_dbrushengine.h"

#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderproxy.h"
#include "mutility.h"

DBrushEngine::DBrushEngine(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DBrushEngine)
    , m_proxy(new MShaderProxy(this))
{
    ui->setupUi(this);
    MShaderList *library = MShaderList::instance();
    m_proxy->set(MShader::BrushShader);
    m_proxy->setSourceModel(library);
    ui->tableView->setModel(m_proxy);
    library->setupView(ui->tableView, {"description", "group"});
    connect(ui->searchLineEdit, &QLineEdit::textChanged, this, &DBrushEngine::search);
    connect(ui->tableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DBrushEngine::onCurrentIndexChanged);
    connect(ui->tableView, &QAbstractItemView::doubleClicked, this, &DBrushEngine::on_okButton_clicked);
}

DBrushEngine::~DBrushEngine()
{
    delete ui;
}

void DBrushEngine::search()
{
    m_proxy->setSearchText(ui->searchLineEdit->text());
}

void DBrushEngine::onCurrentIndexChanged()
{
}

void DBrushEngine::on_okButton_clicked()
{
    const QModelIndex index = ui->tableView->currentIndex();
    if (index.isValid()) {
        m_shader = MShaderList::instance()->shaderAt(m_proxy->mapToSource(index).row());
        if (m_shader) {
            accept();
            return;
        }
    }
    MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("Please select a valid brush engine."));
}

void DBrushEngine::on_cancelButton_clicked()
{
    reject();
}

#include "dshaderparams.h"
#include "ui_dshaderparams.h"

#include "mfield.h"
#include "mshader.h"

DShaderParams::DShaderParams(MShader *shader, MShaderObject *layer, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DShaderParams)
    , m_layer(layer)
    , m_shader(shader)
{
    ui->setupUi(this);
    if (m_layer) {
        m_entryState = m_layer->shaderState();
        m_layer->set_shaderId(shader ? shader->id() : QString());
    }
    connect(ui->panelWidget, &MFieldPanel::valueChanged, this, &DShaderParams::shaderValuesChanged);
    if (m_layer && shader && shader->parseParams()) {
        ui->panelWidget->setFields(QVector<MField *>::fromList(shader->params()));
        ui->panelWidget->setObject(m_layer->shaderValues());
        adjustSize();
    }
}

DShaderParams::~DShaderParams()
{
    delete ui;
}

void DShaderParams::reject()
{
    if (m_layer && m_layer->shaderState() != m_entryState) {
        m_layer->setShaderState(m_entryState);
        emit shaderValuesChanged();
    }
    QDialog::reject();
}

void DShaderParams::on_previewButton_clicked()
{
    emit shaderValuesChanged();
    accept();
}

void DShaderParams::on_removeButton_clicked()
{
    if (m_layer)
        m_layer->set_shaderId(QString());
    emit shaderValuesChanged();
    accept();
}

void DShaderParams::on_applyButton_clicked()
{
    emit applyShader();
    accept();
}

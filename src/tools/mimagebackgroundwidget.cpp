#include "mimagebackgroundwidget.h"
#include "ui_mimagebackgroundwidget.h"

#include "mconnector.h"
#include "mimagetool.h"
#include "mtools.h"

MImageBackgroundWidget::MImageBackgroundWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MImageBackgroundWidget)
    , m_editors(new MConnector(this))
{
    ui->setupUi(this);
}

MImageBackgroundWidget::~MImageBackgroundWidget()
{
    delete ui;
}

MImageTool *MImageBackgroundWidget::tool()
{
    return MTools::instance()->tool<MImageTool>(MTool::ImageTool);
}

void MImageBackgroundWidget::connectEditors()
{
    m_editors->add(connect(ui->transparentCheckBox, &QCheckBox::clicked, this, &MImageBackgroundWidget::widgetsToObject));
    m_editors->add(
        connect(ui->useTopLeftPixelCheckBox, &QCheckBox::clicked, this, &MImageBackgroundWidget::widgetsToObject));
    m_editors->add(
        connect(ui->transparentColorWidget, &MColorEdit::colorChanged, this, &MImageBackgroundWidget::widgetsToObject));
}

void MImageBackgroundWidget::objectToWidgets()
{
    m_editors->disconnectAll();
    MImageTool *image = tool();
    if (!image)
        return;
    ui->transparentCheckBox->setChecked(image->transparentBackground());
    ui->transparentColorWidget->setColor(image->keyColor());
    ui->useTopLeftPixelCheckBox->setChecked(image->useTopLeftPixelAsKeyColor());
    ui->transparentColorWidget->setEnabled(!image->useTopLeftPixelAsKeyColor());
    connectEditors();
}

void MImageBackgroundWidget::widgetsToObject()
{
    MImageTool *image = tool();
    if (!image)
        return;
    m_editors->disconnectAll();
    image->set_transparentBackground(ui->transparentCheckBox->isChecked());
    image->set_keyColor(ui->transparentColorWidget->color());
    image->set_useTopLeftPixelAsKeyColor(ui->useTopLeftPixelCheckBox->isChecked());
    ui->transparentColorWidget->setEnabled(!ui->useTopLeftPixelCheckBox->isChecked());
    connectEditors();
}

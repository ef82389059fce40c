#include "mbrushstylewidget.h"
#include "ui_mbrushstylewidget.h"

#include "mbrushstyle.h"
#include "mconnector.h"

MBrushStyleWidget::MBrushStyleWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MBrushStyleWidget)
    , m_editors(new MConnector(this))
{
    ui->setupUi(this);
    ui->editGradientStyle->setEnumName(MBrushStyle::staticMetaObject, "GradientStyle");
}

MBrushStyleWidget::~MBrushStyleWidget()
{
    m_editors->disconnectAll();
    delete ui;
}

void MBrushStyleWidget::setStyle(MBrushStyle *style)
{
    m_style = style;
    objectToWidgets();
}

void MBrushStyleWidget::connectEditors()
{
    m_editors->add(connect(ui->editBrushColor, &MColorEdit::colorChanged, this, &MBrushStyleWidget::widgetsToObject));
    m_editors->add(
        connect(ui->editGradientColor, &MColorEdit::colorChanged, this, &MBrushStyleWidget::widgetsToObject));
    m_editors->add(
        connect(ui->editGradientStyle, &MEnumEdit::valueChanged, this, &MBrushStyleWidget::widgetsToObject));
}

void MBrushStyleWidget::objectToWidgets()
{
    m_editors->disconnectAll();
    if (m_style) {
        ui->editBrushColor->setColor(m_style->brushColor());
        ui->editGradientColor->setColor(m_style->gradientColor());
        ui->editGradientStyle->setValue(m_style->gradientStyle());
        m_shownBrushColor = ui->editBrushColor->color();
        m_shownGradientColor = ui->editGradientColor->color();
        m_shownGradientStyle = ui->editGradientStyle->value();
        connectEditors();
    }
}

void MBrushStyleWidget::widgetsToObject()
{
    if (!m_style)
        return;
    m_editors->disconnectAll();
    if (ui->editBrushColor->color() != m_shownBrushColor) {
        m_shownBrushColor = ui->editBrushColor->color();
        m_style->set_brushColor(m_shownBrushColor);
    }
    if (ui->editGradientColor->color() != m_shownGradientColor) {
        m_shownGradientColor = ui->editGradientColor->color();
        m_style->set_gradientColor(m_shownGradientColor);
    }
    if (ui->editGradientStyle->value() != m_shownGradientStyle) {
        m_shownGradientStyle = ui->editGradientStyle->value();
        m_style->set_gradientStyle(m_shownGradientStyle);
    }
    connectEditors();
}

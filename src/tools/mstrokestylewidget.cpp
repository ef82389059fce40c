#include "mstrokestylewidget.h"
#include "ui_mstrokestylewidget.h"

#include "mconnector.h"
#include "mstrokestyle.h"

MStrokeStyleWidget::MStrokeStyleWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MStrokeStyleWidget)
    , m_editors(new MConnector(this))
{
    ui->setupUi(this);
    ui->editStrokeStyle->setEnumName(MStrokeStyle::staticMetaObject, "StrokeStyle");
}

MStrokeStyleWidget::~MStrokeStyleWidget()
{
    m_editors->disconnectAll();
    delete ui;
}

void MStrokeStyleWidget::setStyle(MStrokeStyle *style)
{
    m_style = style;
    objectToWidgets();
}

void MStrokeStyleWidget::connectEditors()
{
    m_editors->add(connect(ui->editStrokeColor, &MColorEdit::colorChanged, this, &MStrokeStyleWidget::widgetsToObject));
    m_editors->add(connect(ui->editStrokeSize, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                           &MStrokeStyleWidget::widgetsToObject));
    m_editors->add(connect(ui->editStrokeStyle, &MEnumEdit::valueChanged, this, &MStrokeStyleWidget::widgetsToObject));
}

void MStrokeStyleWidget::objectToWidgets()
{
    m_editors->disconnectAll();
    if (m_style) {
        ui->editStrokeColor->setColor(m_style->strokeColor());
        ui->editStrokeSize->setValue(m_style->strokeSize());
        ui->editStrokeStyle->setValue(m_style->strokeStyle());
        m_shownColor = ui->editStrokeColor->color();
        m_shownSize = ui->editStrokeSize->value();
        m_shownStyle = ui->editStrokeStyle->value();
        connectEditors();
    }
}

void MStrokeStyleWidget::widgetsToObject()
{
    if (!m_style)
        return;
    m_editors->disconnectAll();
    if (ui->editStrokeColor->color() != m_shownColor) {
        m_shownColor = ui->editStrokeColor->color();
        m_style->set_strokeColor(m_shownColor);
    }
    if (ui->editStrokeSize->value() != m_shownSize) {
        m_shownSize = ui->editStrokeSize->value();
        m_style->set_strokeSize(m_shownSize);
    }
    if (ui->editStrokeStyle->value() != m_shownStyle) {
        m_shownStyle = ui->editStrokeStyle->value();
        m_style->set_strokeStyle(m_shownStyle);
    }
    connectEditors();
}

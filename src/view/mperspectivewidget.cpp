#include "mperspectivewidget.h"
#include "ui_mperspectivewidget.h"

#include "mconnector.h"
#include "mperspectivetool.h"
#include "mtools.h"

MPerspectiveWidget::MPerspectiveWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MPerspectiveWidget)
    , m_editors(new MConnector(this))
{
    ui->setupUi(this);
    for (QDoubleSpinBox *box : {ui->leftDistanceSpinBox, ui->rightDistanceSpinBox, ui->verticalDistanceSpinBox})
        box->setMaximum(100000);
    ui->verticalDistanceSpinBox->setMinimum(-100000);
}

MPerspectiveWidget::~MPerspectiveWidget()
{
    delete ui;
}

void MPerspectiveWidget::connectEditors()
{
    for (QCheckBox *box : {ui->leftCheckBox, ui->rightCheckBox, ui->verticalCheckBox, ui->showLinesCheckBox,
                           ui->showCursorLinesCheckBox, ui->lockLinesCheckBox})
        m_editors->add(connect(box, &QCheckBox::clicked, this, &MPerspectiveWidget::widgetsToObject));
    for (QDoubleSpinBox *box : {ui->leftDistanceSpinBox, ui->rightDistanceSpinBox, ui->verticalDistanceSpinBox})
        m_editors->add(connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                               &MPerspectiveWidget::widgetsToObject));
    m_editors->add(connect(ui->lockAngleSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
                           &MPerspectiveWidget::widgetsToObject));
}

void MPerspectiveWidget::objectToWidgets()
{
    if (m_editors->isConnected())
        m_editors->disconnectAll();
    auto *tool = MTools::instance()->tool<MPerspectiveTool>(MTool::PerspectiveTool);
    if (tool) {
        ui->leftCheckBox->setChecked(tool->leftVanishingPoint());
        ui->leftDistanceSpinBox->setValue(tool->leftDistance());
        ui->rightCheckBox->setChecked(tool->rightVanishingPoint());
        ui->rightDistanceSpinBox->setValue(tool->rightDistance());
        ui->verticalCheckBox->setChecked(tool->verticalVanishingPoint());
        ui->verticalDistanceSpinBox->setValue(tool->verticalDistance());
        ui->showLinesCheckBox->setChecked(tool->showLines());
        ui->showCursorLinesCheckBox->setChecked(tool->showCursorLines());
        ui->lockLinesCheckBox->setChecked(tool->lockLines());
        ui->lockAngleSpinBox->setValue(tool->lockAngle());
    }
    connectEditors();
}

void MPerspectiveWidget::widgetsToObject()
{
    m_editors->disconnectAll();
    if (auto *tool = MTools::instance()->tool<MPerspectiveTool>(MTool::PerspectiveTool)) {
        tool->set_leftVanishingPoint(ui->leftCheckBox->isChecked());
        tool->set_rightVanishingPoint(ui->rightCheckBox->isChecked());
        tool->set_verticalVanishingPoint(ui->verticalCheckBox->isChecked());
        tool->set_leftDistance(ui->leftDistanceSpinBox->value());
        tool->set_rightDistance(ui->rightDistanceSpinBox->value());
        tool->set_verticalDistance(ui->verticalDistanceSpinBox->value());
        tool->set_showLines(ui->showLinesCheckBox->isChecked());
        tool->set_showCursorLines(ui->showCursorLinesCheckBox->isChecked());
        tool->set_lockLines(ui->lockLinesCheckBox->isChecked());
        tool->set_lockAngle(ui->lockAngleSpinBox->value());
    }
    connectEditors();
}

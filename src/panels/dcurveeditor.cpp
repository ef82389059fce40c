#include "dcurveeditor.h"
#include "ui_dcurveeditor.h"

#include "mbrush.h"
#include "mbrushinputinfolist.h"
#include "mbrushsettinginfolist.h"
#include "mconnector.h"
#include "mcurve.h"
#include "menum.h"
#include "mfield.h"
#include "mutility.h"

#include <QListWidgetItem>

DCurveEditor::DCurveEditor(MBrush *brush, int setting, QWidget *parent)
    : QDialog(parent), ui(new Ui_DCurveEditor), m_brush(new MBrush), m_libraryBrush(brush), m_setting(setting),
      m_connector(new MConnector(this))
{
    ui->setupUi(this);
    m_brush->copyFrom(brush);
    MUtility::fillEnumCombo(MCurve::staticMetaObject, "InitType", ui->initTypeComboBox, 4);
    MUtility::fillEnumCombo(MCurve::staticMetaObject, "InterpolationType", ui->formulaComboBox, 1);
    for (int input = 0; input < MEnum::biCount; ++input) {
        // The inputs and the setting by the names the brush settings show.
        auto *item = new QListWidgetItem(MBrushInputInfoList::instance()->info(input).label(), ui->listWidget);
        item->setData(Qt::UserRole, input);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setBackground(m_brush->hasCurve(setting, input) ? m_highlight : QColor(Qt::white));
    }
    // The input's range is shown, not edited.
    ui->xMinSpinBox->setEnabled(false);
    ui->xMaxSpinBox->setEnabled(false);
    const MField *settingInfo = MBrushSettingInfoList::instance()->info(setting);
    setWindowTitle(settingInfo ? settingInfo->label()
                               : MUtility::translatedEnumKey(MEnum::staticMetaObject, "BrushSetting", setting));
    connect(ui->initTypeComboBox, QOverload<int>::of(&QComboBox::activated), this, &DCurveEditor::onInitTypeChosen);
    connect(ui->formulaComboBox, QOverload<int>::of(&QComboBox::activated), this, &DCurveEditor::onFormulaActivated);
    connect(ui->widget, &MCurveWidget::pointMoved, this, [this] { m_modified = true; });
    m_modified = false;
    refreshPanel();
    connectSignals();
}

DCurveEditor::~DCurveEditor()
{
    m_connector->disconnectAll();
    // The curve widget shows a curve of the working brush.
    ui->widget->setCurve(nullptr);
}

void DCurveEditor::connectSignals()
{
    if (m_connector->isConnected())
        return;
    m_connector->add(connect(ui->listWidget, &QListWidget::currentRowChanged, this, &DCurveEditor::selectInput))
        ->add(connect(ui->yMinSpinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                      &DCurveEditor::setYMin))
        ->add(connect(ui->yMaxSpinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                      &DCurveEditor::setYMax))
        ->add(connect(ui->moduloSpinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                      &DCurveEditor::setModulo))
        ->add(connect(ui->initTypeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                      &DCurveEditor::onInitTypeChosen));
}

int DCurveEditor::currentInput() const
{
    const QListWidgetItem *item = ui->listWidget->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

MCurve *DCurveEditor::currentCurve() const
{
    const int input = currentInput();
    return input >= 0 ? m_brush->curve(m_setting, input) : nullptr;
}

void DCurveEditor::fillEditors(const MCurve *curve)
{
    ui->xMinSpinBox->setValue(curve ? curve->xMin() : 0.0);
    ui->xMaxSpinBox->setValue(curve ? curve->xMax() : 1.0);
    ui->yMinSpinBox->setValue(curve ? curve->yMin() : 0.0);
    ui->yMaxSpinBox->setValue(curve ? curve->yMax() : 1.0);
    ui->moduloSpinBox->setValue(curve ? curve->modulo() : 0.0);
    ui->formulaComboBox->setCurrentIndex(curve ? curve->interpolationType() : 1);
}

void DCurveEditor::selectInput(int)
{
    m_connector->disconnectAll();
    MCurve *curve = currentCurve();
    ui->widget->setCurve(curve);
    fillEditors(curve);
    refreshPanel();
    connectSignals();
}

void DCurveEditor::refreshPanel()
{
    QListWidgetItem *item = ui->listWidget->currentItem();
    QWidget *const curveControls[] = {ui->widget,      ui->removeCurveBtn, ui->yMinSpinBox,
                                      ui->yMaxSpinBox, ui->moduloSpinBox,  ui->formulaComboBox};
    if (!item) {
        for (QWidget *control : curveControls)
            control->setEnabled(false);
        ui->addCurveBtn->setEnabled(false);
        return;
    }
    MCurve *curve = currentCurve();
    const bool has = curve != nullptr;
    for (QWidget *control : curveControls)
        control->setEnabled(has);
    ui->addCurveBtn->setEnabled(!has);
    const bool connected = m_connector->isConnected();
    m_connector->disconnectAll();
    if (ui->widget->curve() != curve)
        ui->widget->setCurve(curve);
    fillEditors(curve);
    if (connected)
        connectSignals();
    item->setBackground(has ? m_highlight : QColor(Qt::white));
}

void DCurveEditor::on_addCurveBtn_clicked()
{
    const int input = currentInput();
    if (input < 0 || m_brush->hasCurve(m_setting, input))
        return;
    m_brush->addCurve(m_setting, input);
    m_modified = true;
    refreshPanel();
}

void DCurveEditor::on_removeCurveBtn_clicked()
{
    const int input = currentInput();
    if (input < 0 || !m_brush->hasCurve(m_setting, input))
        return;
    ui->widget->setCurve(nullptr);
    m_brush->removeCurve(m_setting, input);
    m_modified = true;
    refreshPanel();
}

void DCurveEditor::on_btnAddPoint_clicked()
{
    if (!currentCurve())
        return;
    ui->widget->addPoint();
    m_modified = true;
}

void DCurveEditor::on_btnRemovePoint_clicked()
{
    if (!currentCurve())
        return;
    ui->widget->removePoint();
    m_modified = true;
}

void DCurveEditor::on_btnReset_clicked()
{
    onInitTypeChosen(ui->initTypeComboBox->currentIndex());
}

void DCurveEditor::onInitTypeChosen(int index)
{
    if (!currentCurve() || index < 0)
        return;
    ui->widget->initCurve(index);
    m_modified = true;
}

void DCurveEditor::onFormulaActivated(int)
{
    MCurve *curve = currentCurve();
    if (!curve)
        return;
    curve->setInterpolationType(ui->formulaComboBox->currentData().toInt());
    ui->widget->refresh();
    m_modified = true;
}

void DCurveEditor::on_invertXBtn_clicked()
{
    if (MCurve *curve = currentCurve()) {
        curve->invertX();
        ui->widget->refresh();
        m_modified = true;
    }
}

void DCurveEditor::on_invertYBtn_clicked()
{
    if (MCurve *curve = currentCurve()) {
        curve->invertY();
        ui->widget->refresh();
        m_modified = true;
    }
}

void DCurveEditor::setYMin(double value)
{
    if (MCurve *curve = currentCurve()) {
        curve->setYMin(value);
        ui->widget->refresh();
        m_modified = true;
    }
}

void DCurveEditor::setYMax(double value)
{
    if (MCurve *curve = currentCurve()) {
        curve->setYMax(value);
        ui->widget->refresh();
        m_modified = true;
    }
}

void DCurveEditor::setModulo(double value)
{
    if (MCurve *curve = currentCurve()) {
        curve->setModulo(value);
        ui->widget->refresh();
        m_modified = true;
    }
}

void DCurveEditor::copyBack()
{
    m_libraryBrush->copyFrom(m_brush.get());
}

void DCurveEditor::on_okBtn_clicked()
{
    if (m_modified)
        copyBack();
    accept();
}

void DCurveEditor::reject()
{
    if (m_modified) {
        const int choice = MUtility::askChoice({tr("Save"), tr("Don't save"), tr("Cancel")}, tr("Close"),
                                               tr("Do you want to save modifications?"));
        // A question closed without an answer keeps the dialog open, like Cancel.
        if (choice == 1) {
            m_modified = false;
        } else if (choice == 0) {
            copyBack();
        } else {
            return;
        }
    }
    QDialog::reject();
}

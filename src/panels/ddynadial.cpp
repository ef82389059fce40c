#include "ddynadial.h"
#include "ui_ddynadial.h"

#include "mcoloredit.h"
#include "mfield.h"
#include "mfilenameedit.h"
#include "mintspinbox.h"
#include "mpicklist.h"
#include "msliderspinbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace {
const char *const fieldProperty = "VanFieldPanelProperty";
}

DDynaDial::DDynaDial(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DDynaDial)
{
    ui->setupUi(this);
}

DDynaDial::~DDynaDial()
{
    qDeleteAll(m_fields);
    delete ui;
}

MField *DDynaDial::addBoolField(const QByteArray &name, const QString &label, bool value)
{
    auto *field = new MField;
    field->setName(name);
    field->setLabel(label);
    field->setType(QMetaType::Bool);
    field->setValue(value);
    m_fields.append(field);
    return field;
}

MField *DDynaDial::addIntField(const QByteArray &name, const QString &label, int value, int minimum, int maximum,
                               int step)
{
    auto *field = new MField;
    field->setName(name);
    field->setLabel(label);
    field->setType(QMetaType::Int);
    field->setValue(value);
    // Both bounds at once: a minimum above the default maximum would be swapped away.
    field->setRange(minimum, maximum);
    field->setSingleStep(step);
    m_fields.append(field);
    return field;
}

QVariant DDynaDial::value(const QByteArray &name) const
{
    if (!m_built)
        return QVariant();
    for (const MField *field : m_fields) {
        if (field->name() == name)
            return field->value();
    }
    return QVariant();
}

QWidget *DDynaDial::editor(const QByteArray &name) const
{
    return m_editors.value(name).second;
}

void DDynaDial::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_built) {
        // Set first: building adjusts the size, which comes back here.
        m_built = true;
        buildFields();
    }
}

void DDynaDial::on_okBtn_clicked()
{
    widgetsToValues();
    accept();
}

void DDynaDial::on_cancelBtn_clicked()
{
    reject();
}

bool DDynaDial::buildFields()
{
    m_editors.clear();
    while (QLayoutItem *item = ui->gridLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    adjustSize();
    if (m_fields.isEmpty())
        return false;
    for (int row = 0; row < m_fields.size(); ++row) {
        MField *field = m_fields.at(row);
        ui->gridLayout->addWidget(new QLabel(field->label(), this), row, 0);
        QWidget *editor = nullptr;
        switch (field->type()) {
        case QMetaType::Bool:
            editor = new QCheckBox(this);
            break;
        case QMetaType::Int:
            if (field->pickList() && field->pickList()->count() > 0) {
                auto *combo = new QComboBox(this);
                combo->setEditable(true);
                for (int i = 0; i < field->pickList()->count(); ++i)
                    combo->addItem(field->pickList()->item(i).text(), field->pickList()->item(i).value());
                editor = combo;
            } else {
                auto *spin = new MIntSpinBox(this);
                spin->set_minimum(int(field->minimum()));
                spin->set_maximum(int(field->maximum()));
                spin->set_singleStep(int(field->singleStep()));
                spin->set_suffix(field->suffixText());
                editor = spin;
            }
            break;
        case QMetaType::Double: {
            auto *slider = new MSliderSpinbox(this);
            slider->set_minimum(field->minimum());
            slider->set_maximum(field->maximum());
            slider->set_singleStep(field->singleStep());
            slider->set_showSpinBox(true);
            slider->set_isLogarithmic(field->isLogarithmic());
            slider->set_isPercentage(field->isPercentage());
            slider->set_suffix(field->suffixText());
            slider->set_sliderTracking(true);
            editor = slider;
            break;
        }
        case QMetaType::QColor:
            editor = new MColorEdit(this);
            break;
        case QMetaType::QImage:
            editor = new MFileNameEdit(this);
            break;
        default:
            break;
        }
        if (!editor)
            continue;
        editor->setProperty(fieldProperty, field->name());
        ui->gridLayout->addWidget(editor, row, 1);
        m_editors.insert(field->name(), qMakePair(field, editor));
    }
    valuesToWidgets();
    adjustSize();
    return true;
}

void DDynaDial::valuesToWidgets()
{
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        const QVariant value = it.value().first->value();
        QWidget *editor = it.value().second;
        if (auto *check = qobject_cast<QCheckBox *>(editor)) {
            check->setChecked(value.toBool());
        } else if (auto *spin = qobject_cast<MIntSpinBox *>(editor)) {
            spin->set_value(value.toInt());
        } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            combo->setCurrentIndex(combo->findData(value.toInt()));
        } else if (auto *slider = qobject_cast<MSliderSpinbox *>(editor)) {
            slider->set_value(value.toDouble());
        } else if (auto *color = qobject_cast<MColorEdit *>(editor)) {
            color->setColor(value.isValid() ? value.value<QColor>() : QColor(Qt::black));
        } else if (auto *file = qobject_cast<MFileNameEdit *>(editor)) {
            file->setFileName(value.isValid() ? value.toString() : QString());
        }
    }
}

void DDynaDial::widgetsToValues()
{
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        MField *field = it.value().first;
        QWidget *editor = it.value().second;
        if (auto *check = qobject_cast<QCheckBox *>(editor))
            field->setValue(check->isChecked());
        else if (auto *spin = qobject_cast<MIntSpinBox *>(editor))
            field->setValue(spin->value());
        else if (auto *combo = qobject_cast<QComboBox *>(editor))
            field->setValue(combo->currentData());
        else if (auto *slider = qobject_cast<MSliderSpinbox *>(editor))
            field->setValue(slider->value());
        else if (auto *color = qobject_cast<MColorEdit *>(editor))
            field->setValue(color->color());
        else if (auto *file = qobject_cast<MFileNameEdit *>(editor))
            field->setValue(file->fileName());
    }
}

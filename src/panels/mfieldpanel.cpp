#include "mfieldpanel.h"

#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mcoloredit.h"
#include "mcompositionmodelist.h"
#include "mconnector.h"
#include "menum.h"
#include "menumedit.h"
#include "mfield.h"
#include "mfilenameedit.h"
#include "mintspinbox.h"
#include "mpicklist.h"
#include "msliderspinbox.h"
#include "mvalues.h"
#include "mvector3dedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVector3D>

const char *const MFieldPanel::fieldProperty = "VanFieldPanelProperty";
const char *const MFieldPanel::settingProperty = "VAN_BRUSHSETTING";

namespace {
bool hasPickList(const MField *field)
{
    return field->pickList() && field->pickList()->count() > 0;
}

// A pick-list combo: the row whose value is exactly the value, -1 when none.
int pickIndex(const QComboBox *combo, const QVariant &value)
{
    if (!value.isValid())
        return -1;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        if (data.isValid() && data.toInt() == value.toInt())
            return i;
    }
    return -1;
}
} // namespace

MFieldPanel::MFieldPanel(QWidget *parent)
    : QWidget(parent), m_grid(new QGridLayout(this)), m_connector(new MConnector(this))
{
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setVerticalSpacing(2);
}

MFieldPanel::~MFieldPanel()
{
    m_connector->disconnectAll();
    deleteFields();
}

void MFieldPanel::deleteFields()
{
    qDeleteAll(m_fields);
    m_fields.clear();
}

void MFieldPanel::clearGrid()
{
    m_editors.clear();
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    adjustSize();
}

void MFieldPanel::setFields(const QVector<MField *> &list)
{
    m_connector->disconnectAll();
    clearGrid();
    deleteFields();
    for (const MField *field : list) {
        if (field)
            m_fields.append(new MField(*field));
    }
}

void MFieldPanel::setBrushSettingGroup(int category)
{
    setFields(MBrushSettingInfoList::instance()->categorySettings(category));
}

void MFieldPanel::setObject(QObject *object)
{
    m_connector->disconnectAll();
    m_object = object;
    if (object)
        buildFields();
    else
        clearGrid();
}

QWidget *MFieldPanel::createEditor(const MField *field)
{
    const QString suffix = field->suffixText();
    switch (field->type()) {
    case QMetaType::Int:
        if (hasPickList(field)) {
            auto *combo = new QComboBox(this);
            combo->setEditable(true);
            for (int i = 0; i < field->pickList()->count(); ++i) {
                const MPickItem item = field->pickList()->item(i);
                combo->addItem(item.text(), item.value());
            }
            return combo;
        }
        if (!field->enumName().isEmpty()) {
            auto *edit = new MEnumEdit(this);
            edit->setMaximumWidth(200);
            if (field->enumName() == "CompositionMode")
                edit->setItems([](QComboBox *combo) {
                    for (const MCompositionModeList::Entry &entry : MCompositionModeList::instance()->entries(true))
                        combo->addItem(entry.label, entry.value);
                });
            else
                edit->setEnumName(MEnum::staticMetaObject, field->enumName());
            return edit;
        } else {
            auto *edit = new MIntSpinBox(this);
            edit->set_minimum(int(field->minimum()));
            edit->set_maximum(int(field->maximum()));
            edit->set_singleStep(int(field->singleStep()));
            edit->set_suffix(suffix);
            return edit;
        }
    case QMetaType::Double: {
        auto *edit = new MSliderSpinbox(this);
        edit->set_minimum(field->minimum());
        edit->set_maximum(field->maximum());
        edit->set_singleStep(field->singleStep());
        edit->set_showSpinBox(m_showSpinBoxes);
        edit->set_isLogarithmic(field->isLogarithmic());
        edit->set_isPercentage(field->isPercentage());
        edit->set_suffix(suffix);
        edit->set_sliderTracking(m_slidersTracking);
        return edit;
    }
    case QMetaType::Bool: {
        auto *edit = new QCheckBox(this);
        edit->setChecked(field->value().toBool());
        return edit;
    }
    case QMetaType::QColor: {
        auto *edit = new MColorEdit(this);
        edit->setColor(field->value().value<QColor>());
        return edit;
    }
    case QMetaType::QImage: {
        auto *edit = new MFileNameEdit(this);
        edit->setFileName(field->value().toString());
        return edit;
    }
    case QMetaType::QVector3D: {
        auto *edit = new MVector3DEdit(this);
        edit->setMinimum(field->minimum());
        edit->setMaximum(field->maximum());
        edit->setValue(field->value().value<QVector3D>());
        return edit;
    }
    case QMetaType::QString: {
        auto *edit = new QLineEdit(this);
        edit->setText(field->value().toString());
        return edit;
    }
    default:
        return nullptr;
    }
}

bool MFieldPanel::buildFields()
{
    clearGrid();
    if (m_fields.isEmpty())
        return false;
    auto *brush = qobject_cast<MBrush *>(m_object.data());
    const bool curveButtons = m_showCurveButtons && brush;
    const int span = curveButtons ? 3 : 2;
    int n = 0;
    for (MField *field : qAsConst(m_fields)) {
        if (!field->isVisible())
            continue;
        auto *label = new QLabel(field->label(), this);
        if (m_boldLabels)
            label->setStyleSheet(QStringLiteral("QLabel{font-weight: bold;}"));
        if (m_labelsOnTop) {
            m_grid->addWidget(label, n, 0, 1, 2);
            ++n;
        } else {
            m_grid->addWidget(label, n, 0);
        }
        if (QWidget *editor = createEditor(field)) {
            if (m_labelsOnTop)
                m_grid->addWidget(editor, n, 0, 1, span);
            else
                m_grid->addWidget(editor, n, 1);
            editor->setProperty(fieldProperty, field->name());
            m_editors.insert(field->name(), qMakePair(field, editor));
            if (curveButtons && field->type() == QMetaType::Double && field->isDynamic()) {
                auto *button = new QToolButton(this);
                button->setToolTip(tr("Edit dynamic settings"));
                button->setProperty(settingProperty, field->index());
                button->setIcon(QIcon(brush->settingHasCurve(field->index()) ? QStringLiteral("://icons/check.ico")
                                                                             : QStringLiteral("://icons/plus.ico")));
                m_grid->addWidget(button, n, 3);
                connect(button, &QToolButton::clicked, this, &MFieldPanel::onButtonClicked);
            }
        }
        if (m_addLines) {
            ++n;
            auto *line = new QLabel(this);
            line->setFrameStyle(QFrame::HLine);
            line->setStyleSheet(QStringLiteral("QFrame {color: darkGray;}"));
            m_grid->addWidget(line, n, 0, 1, span);
        }
        ++n;
    }
    if (m_addSpacer)
        m_grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), n, 0);
    valuesToWidgets();
    adjustSize();
    return true;
}

void MFieldPanel::setObjectValue(const QByteArray &name, const QVariant &value)
{
    if (!m_object)
        return;
    if (auto *values = qobject_cast<MValues *>(m_object.data()))
        values->setValue(name, value);
    else
        m_object->setProperty(name.constData(), value);
}

QVariant MFieldPanel::objectValue(const QByteArray &name) const
{
    if (!m_object)
        return QVariant();
    if (auto *values = qobject_cast<MValues *>(m_object.data()))
        return values->value(name);
    return m_object->property(name.constData());
}

void MFieldPanel::setEditorValue(QWidget *editor, const QVariant &value)
{
    if (auto *edit = qobject_cast<QCheckBox *>(editor))
        edit->setChecked(value.toBool());
    else if (auto *edit = qobject_cast<MEnumEdit *>(editor))
        edit->setValue(value.toInt());
    else if (auto *edit = qobject_cast<MIntSpinBox *>(editor))
        edit->set_value(value.toInt());
    else if (auto *edit = qobject_cast<QComboBox *>(editor))
        edit->setCurrentIndex(pickIndex(edit, value));
    else if (auto *edit = qobject_cast<MSliderSpinbox *>(editor))
        edit->set_value(value.toDouble());
    else if (auto *edit = qobject_cast<MColorEdit *>(editor))
        edit->setColor(value.isValid() ? value.value<QColor>() : QColor(Qt::black));
    else if (auto *edit = qobject_cast<MFileNameEdit *>(editor))
        edit->setFileName(value.isValid() ? value.toString() : QString());
    else if (auto *edit = qobject_cast<MVector3DEdit *>(editor))
        edit->setValue(value.value<QVector3D>());
    else if (auto *edit = qobject_cast<QLineEdit *>(editor))
        edit->setText(value.toString());
}

QVariant MFieldPanel::editorValue(const QWidget *editor) const
{
    if (auto *edit = qobject_cast<const QCheckBox *>(editor))
        return edit->isChecked();
    if (auto *edit = qobject_cast<const MEnumEdit *>(editor))
        return edit->value();
    if (auto *edit = qobject_cast<const MIntSpinBox *>(editor))
        return edit->value();
    if (auto *edit = qobject_cast<const QComboBox *>(editor))
        return edit->currentData();
    if (auto *edit = qobject_cast<const MSliderSpinbox *>(editor))
        return edit->value();
    if (auto *edit = qobject_cast<const MColorEdit *>(editor))
        return edit->color();
    if (auto *edit = qobject_cast<const MFileNameEdit *>(editor))
        return edit->fileName();
    if (auto *edit = qobject_cast<const MVector3DEdit *>(editor))
        return edit->value();
    if (auto *edit = qobject_cast<const QLineEdit *>(editor))
        return edit->text();
    return QVariant();
}

void MFieldPanel::valuesToWidgets()
{
    if (m_fields.isEmpty())
        return;
    m_connector->disconnectAll();
    for (const MField *field : qAsConst(m_fields)) {
        const auto it = m_editors.constFind(field->name());
        if (it != m_editors.cend())
            setEditorValue(it->second, objectValue(field->name()));
    }
    connectEditors();
}

void MFieldPanel::connectEditors()
{
    for (const MField *field : qAsConst(m_fields)) {
        const auto it = m_editors.constFind(field->name());
        if (it == m_editors.cend())
            continue;
        QWidget *editor = it->second;
        if (auto *edit = qobject_cast<QCheckBox *>(editor))
            m_connector->add(connect(edit, &QCheckBox::clicked, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MEnumEdit *>(editor))
            m_connector->add(connect(edit, &MEnumEdit::valueChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MIntSpinBox *>(editor))
            m_connector->add(connect(edit, &MIntSpinBox::valueChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<QComboBox *>(editor))
            m_connector->add(connect(edit, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                     &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MSliderSpinbox *>(editor))
            m_connector->add(connect(edit, &MSliderSpinbox::valueChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MColorEdit *>(editor))
            m_connector->add(connect(edit, &MColorEdit::colorChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MFileNameEdit *>(editor))
            m_connector->add(connect(edit, &MFileNameEdit::fileNameChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<MVector3DEdit *>(editor))
            m_connector->add(connect(edit, &MVector3DEdit::valueChanged, this, &MFieldPanel::widgetsToValues));
        else if (auto *edit = qobject_cast<QLineEdit *>(editor))
            m_connector->add(connect(edit, &QLineEdit::textEdited, this, &MFieldPanel::widgetsToValues));
    }
}

void MFieldPanel::widgetsToValues()
{
    if (m_fields.isEmpty())
        return;
    auto *editor = qobject_cast<QWidget *>(sender());
    if (!editor)
        return;
    const QByteArray name = editor->property(fieldProperty).toByteArray();
    if (!m_editors.contains(name))
        return;
    m_connector->disconnectAll();
    const QVariant value = editorValue(editor);
    setObjectValue(name, value);
    emit valueChanged(name, value);
    connectEditors();
}

void MFieldPanel::onButtonClicked()
{
    if (auto *button = qobject_cast<QToolButton *>(sender()))
        emit editCurve(button, button->property(settingProperty).toInt());
}

void MFieldPanel::set_labelsOnTop(bool value)
{
    if (m_labelsOnTop == value)
        return;
    m_labelsOnTop = value;
    emit labelsOnTopChanged(value);
}

void MFieldPanel::set_addSpacer(bool value)
{
    if (m_addSpacer == value)
        return;
    m_addSpacer = value;
    emit addSpacerChanged(value);
}

void MFieldPanel::set_addLines(bool value)
{
    if (m_addLines == value)
        return;
    m_addLines = value;
    emit addLinesChanged(value);
}

void MFieldPanel::set_addScrollBox(bool value)
{
    if (m_addScrollBox == value)
        return;
    m_addScrollBox = value;
    emit addScrollBoxChanged(value);
}

void MFieldPanel::set_showCurveButtons(bool value)
{
    if (m_showCurveButtons == value)
        return;
    m_showCurveButtons = value;
    emit showCurveButtonsChanged(value);
}

void MFieldPanel::set_showSpinBoxes(bool value)
{
    if (m_showSpinBoxes == value)
        return;
    m_showSpinBoxes = value;
    emit showSpinBoxesChanged(value);
}

void MFieldPanel::set_boldLabels(bool value)
{
    if (m_boldLabels == value)
        return;
    m_boldLabels = value;
    emit boldLabelsChanged(value);
}

void MFieldPanel::set_slidersTracking(bool value)
{
    if (m_slidersTracking == value)
        return;
    m_slidersTracking = value;
    emit slidersTrackingChanged(value);
}

#include "mobjectwidget.h"

#include "mcoloredit.h"
#include "mfield.h"
#include "mpicklist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QSpinBox>

namespace {
bool hasPickList(const MField *field)
{
    return field->pickList() && field->pickList()->count() > 0;
}

QMetaMethod slotNamed(const QObject *object, const char *signature)
{
    const QMetaObject *meta = object->metaObject();
    return meta->method(meta->indexOfSlot(signature));
}
} // namespace

MObjectWidget::MObjectWidget(QWidget *parent) : QWidget(parent)
{
}

MObjectWidget::~MObjectWidget() = default;

void MObjectWidget::bindField(MField *field, QWidget *editor)
{
    if (!field || !editor || m_fieldMap.contains(field->name()))
        return;
    if (editor->objectName().isEmpty())
        editor->setObjectName(QString::fromLatin1(field->name()));
    m_fields.append(field);
    m_fieldMap.insert(field->name(), field);
    m_editors.insert(field->name(), editor);
    editor->setEnabled(m_object);
}

QByteArray MObjectWidget::changeSignal(const MField *field, const QWidget *editor) const
{
    switch (field->type()) {
    case QMetaType::Int:
        if (hasPickList(field))
            return qobject_cast<const QComboBox *>(editor) ? QByteArray("currentIndexChanged(int)") : QByteArray();
        return qobject_cast<const QSpinBox *>(editor) ? QByteArray("valueChanged(int)") : QByteArray();
    case QMetaType::Double:
        return qobject_cast<const QDoubleSpinBox *>(editor) ? QByteArray("valueChanged(double)") : QByteArray();
    case QMetaType::Bool:
        return qobject_cast<const QCheckBox *>(editor) ? QByteArray("clicked()") : QByteArray();
    case QMetaType::QColor:
        return qobject_cast<const MColorEdit *>(editor) ? QByteArray("colorChanged(QColor)") : QByteArray();
    default:
        return QByteArray();
    }
}

void MObjectWidget::setEditorValue(const MField *field, QWidget *editor, const QVariant &value) const
{
    if (changeSignal(field, editor).isEmpty())
        return;
    switch (field->type()) {
    case QMetaType::Int:
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            int index = -1;
            if (value.isValid()) {
                for (int i = 0; i < combo->count() && index == -1; ++i) {
                    if (combo->itemData(i).toInt() == value.toInt())
                        index = i;
                }
            }
            combo->setCurrentIndex(index);
        } else {
            static_cast<QSpinBox *>(editor)->setValue(value.toInt());
        }
        break;
    case QMetaType::Double:
        static_cast<QDoubleSpinBox *>(editor)->setValue(value.toDouble());
        break;
    case QMetaType::Bool:
        static_cast<QCheckBox *>(editor)->setChecked(value.toBool());
        break;
    case QMetaType::QColor:
        static_cast<MColorEdit *>(editor)->setColor(value.isValid() ? value.value<QColor>() : QColor(Qt::black));
        break;
    default:
        break;
    }
}

QVariant MObjectWidget::readEditor(const MField *field, const QWidget *editor) const
{
    if (changeSignal(field, editor).isEmpty())
        return QVariant();
    switch (field->type()) {
    case QMetaType::Int:
        if (auto *combo = qobject_cast<const QComboBox *>(editor))
            return combo->currentData();
        return static_cast<const QSpinBox *>(editor)->value();
    case QMetaType::Double:
        return static_cast<const QDoubleSpinBox *>(editor)->value();
    case QMetaType::Bool:
        return static_cast<const QCheckBox *>(editor)->isChecked();
    case QMetaType::QColor:
        return static_cast<const MColorEdit *>(editor)->color();
    default:
        return QVariant();
    }
}

QVariant MObjectWidget::editorValue(const QByteArray &name) const
{
    const MField *field = m_fieldMap.value(name);
    const QWidget *editor = m_editors.value(name);
    return field && editor ? readEditor(field, editor) : QVariant();
}

void MObjectWidget::set_object(QObject *object)
{
    if (object == m_object)
        return;
    if (m_object)
        bind(m_object, false);
    for (QWidget *editor : qAsConst(m_editors))
        editor->setEnabled(object);
    setVisible(object);
    m_object = object;
    if (!object)
        return;
    objectToWidget();
    bind(object, true);
    emit objectChanged(object);
}

void MObjectWidget::bind(QObject *object, bool connecting)
{
    const QMetaMethod toObject = slotNamed(this, "widgetsToObject()");
    const QMetaMethod toWidget = slotNamed(this, "objectToWidget()");
    for (const MField *field : qAsConst(m_fields)) {
        QWidget *editor = m_editors.value(field->name());
        if (!editor)
            continue;
        const QByteArray signature = changeSignal(field, editor);
        const int signalIndex = signature.isEmpty() ? -1 : editor->metaObject()->indexOfSignal(signature.constData());
        if (signalIndex >= 0) {
            const QMetaMethod signal = editor->metaObject()->method(signalIndex);
            if (connecting)
                connect(editor, signal, this, toObject, Qt::UniqueConnection);
            else
                disconnect(editor, signal, this, toObject);
        }
        if (!object)
            continue;
        const int propertyIndex = object->metaObject()->indexOfProperty(field->name().constData());
        if (propertyIndex < 0)
            continue;
        const QMetaProperty property = object->metaObject()->property(propertyIndex);
        if (!property.hasNotifySignal())
            continue;
        if (connecting)
            connect(object, property.notifySignal(), this, toWidget, Qt::UniqueConnection);
        else
            disconnect(object, property.notifySignal(), this, toWidget);
    }
}

void MObjectWidget::objectToWidget()
{
    if (m_filling)
        return;
    m_filling = true;
    for (const MField *field : qAsConst(m_fields)) {
        QWidget *editor = m_editors.value(field->name());
        if (!editor)
            continue;
        setEditorValue(field, editor, m_object ? m_object->property(field->name().constData()) : QVariant());
        m_shown.insert(field->name(), readEditor(field, editor));
    }
    m_filling = false;
}

void MObjectWidget::widgetsToObject()
{
    if (!m_object || m_filling)
        return;
    // Writing a property refreshes the editors through its change signal.
    const QPointer<QObject> object = m_object;
    for (auto it = m_editors.cbegin(); it != m_editors.cend() && object; ++it) {
        const MField *field = m_fieldMap.value(it.key());
        if (!field)
            continue;
        const QVariant value = readEditor(field, it.value());
        // An editor the painter has not touched since it was filled writes
        // nothing: a value beyond its range or outside its pick list would
        // otherwise come back clamped or lost.
        const bool present = object->property(it.key().constData()).isValid();
        if (present && m_shown.contains(it.key()) && m_shown.value(it.key()) == value)
            continue;
        m_shown.insert(it.key(), value);
        object->setProperty(it.key().constData(), value);
    }
}

void MObjectWidget::onWidgetValueChanged()
{
    if (!m_object)
        return;
    auto *widget = qobject_cast<QWidget *>(sender());
    if (!widget)
        return;
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        if (it.value() != widget)
            continue;
        if (const MField *field = m_fieldMap.value(it.key()))
            m_object->setProperty(it.key().constData(), readEditor(field, widget));
        return;
    }
}

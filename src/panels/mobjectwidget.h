#pragma once

#include <QHash>
#include <QPointer>
#include <QVector>
#include <QWidget>

class MField;

// Binds child editors to the properties of one object by name: the object's
// values fill the editors, an edit writes the editors back into the object,
// and the object's change signals refresh the editors. The derived panel
// makes one editor per descriptor and enters both (bindField) before an
// object is bound; it owns the descriptors.
class MObjectWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QObject *object READ object WRITE set_object NOTIFY objectChanged)
public:
    explicit MObjectWidget(QWidget *parent = nullptr);
    ~MObjectWidget() override;

    QObject *object() const { return m_object; }
    // Enters a descriptor and its editor; the editor takes the field's name as
    // its object name when it has none.
    void bindField(MField *field, QWidget *editor);
    const QVector<MField *> &fields() const { return m_fields; }
    QWidget *editor(const QByteArray &name) const { return m_editors.value(name); }
    // The editor's value for its field, invalid for an editor the table does not bind.
    QVariant editorValue(const QByteArray &name) const;

public slots:
    void set_object(QObject *object);

signals:
    void objectChanged(QObject *object);
    void widgetValueChanged();

private slots:
    void onWidgetValueChanged();
    void widgetsToObject();
    void objectToWidget();

private:
    // The editor's change signal for the field, empty when the editor is not
    // of the class the field's type asks for.
    QByteArray changeSignal(const MField *field, const QWidget *editor) const;
    void setEditorValue(const MField *field, QWidget *editor, const QVariant &value) const;
    QVariant readEditor(const MField *field, const QWidget *editor) const;
    void bind(QObject *object, bool connecting);

    QPointer<QObject> m_object;
    QVector<MField *> m_fields;
    QHash<QByteArray, MField *> m_fieldMap;
    QHash<QByteArray, QWidget *> m_editors;
    // What each editor showed when it was last filled from the object.
    QHash<QByteArray, QVariant> m_shown;
    bool m_filling = false;
};

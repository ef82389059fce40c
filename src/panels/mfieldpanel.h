#pragma once

#include <QHash>
#include <QPair>
#include <QPointer>
#include <QVector>
#include <QWidget>

class MConnector;
class MField;
class QGridLayout;
class QToolButton;

// A grid of typed editors, one per visible field descriptor, bound to one
// object: every edit is written into the object at once. The object is an
// MValues (brush-engine and effect parameters) or any object whose
// properties bear the fields' names (brush settings).
class MFieldPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool labelsOnTop READ labelsOnTop WRITE set_labelsOnTop NOTIFY labelsOnTopChanged)
    Q_PROPERTY(bool addSpacer READ addSpacer WRITE set_addSpacer NOTIFY addSpacerChanged)
    Q_PROPERTY(bool addLines READ addLines WRITE set_addLines NOTIFY addLinesChanged)
    Q_PROPERTY(bool addScrollBox READ addScrollBox WRITE set_addScrollBox NOTIFY addScrollBoxChanged)
    Q_PROPERTY(bool showCurveButtons READ showCurveButtons WRITE set_showCurveButtons NOTIFY showCurveButtonsChanged)
    Q_PROPERTY(bool showSpinBoxes READ showSpinBoxes WRITE set_showSpinBoxes NOTIFY showSpinBoxesChanged)
    Q_PROPERTY(bool boldLabels READ boldLabels WRITE set_boldLabels NOTIFY boldLabelsChanged)
    Q_PROPERTY(bool slidersTracking READ slidersTracking WRITE set_slidersTracking NOTIFY slidersTrackingChanged)
public:
    // The editor property holding its field's name, and the curve button
    // property holding the brush setting id.
    static const char *const fieldProperty;
    static const char *const settingProperty;

    explicit MFieldPanel(QWidget *parent = nullptr);
    ~MFieldPanel() override;

    bool labelsOnTop() const { return m_labelsOnTop; }
    bool addSpacer() const { return m_addSpacer; }
    bool addLines() const { return m_addLines; }
    // Stored only: the panel is placed in a scroll area by its owner.
    bool addScrollBox() const { return m_addScrollBox; }
    bool showCurveButtons() const { return m_showCurveButtons; }
    bool showSpinBoxes() const { return m_showSpinBoxes; }
    bool boldLabels() const { return m_boldLabels; }
    bool slidersTracking() const { return m_slidersTracking; }

    // Copies of the descriptors; the grid is built by setObject().
    void setFields(const QVector<MField *> &list);
    void setBrushSettingGroup(int category);
    void setObject(QObject *object);
    QObject *object() const { return m_object; }
    const QVector<MField *> &fields() const { return m_fields; }
    QWidget *editor(const QByteArray &name) const { return m_editors.value(name).second; }
    // Rebuilds the grid from the fields; false when there are none.
    bool buildFields();

    virtual void setObjectValue(const QByteArray &name, const QVariant &value);
    virtual QVariant objectValue(const QByteArray &name) const;

public slots:
    void set_labelsOnTop(bool value);
    void set_addSpacer(bool value);
    void set_addLines(bool value);
    void set_addScrollBox(bool value);
    void set_showCurveButtons(bool value);
    void set_showSpinBoxes(bool value);
    void set_boldLabels(bool value);
    void set_slidersTracking(bool value);
    void valuesToWidgets();
    void widgetsToValues();
    void onButtonClicked();

signals:
    void labelsOnTopChanged(bool value);
    void addSpacerChanged(bool value);
    void addLinesChanged(bool value);
    void addScrollBoxChanged(bool value);
    void showCurveButtonsChanged(bool value);
    void showSpinBoxesChanged(bool value);
    void boldLabelsChanged(bool value);
    void slidersTrackingChanged(bool value);
    void valueChanged(const QByteArray &name, const QVariant &value);
    void editCurve(QToolButton *button, int setting);

private:
    void clearGrid();
    void deleteFields();
    QWidget *createEditor(const MField *field);
    void setEditorValue(QWidget *editor, const QVariant &value);
    QVariant editorValue(const QWidget *editor) const;
    void connectEditors();

    bool m_labelsOnTop = true;
    bool m_addSpacer = true;
    bool m_addLines = false;
    bool m_addScrollBox = false;
    bool m_showCurveButtons = false;
    bool m_showSpinBoxes = true;
    bool m_boldLabels = false;
    bool m_slidersTracking = true;

    QVector<MField *> m_fields;
    QPointer<QObject> m_object;
    QHash<QByteArray, QPair<MField *, QWidget *>> m_editors;
    QGridLayout *m_grid;
    MConnector *m_connector;
};

#pragma once

#include <QWidget>

class QAbstractSpinBox;

// What the integer and the real spin boxes share: a box showing a value that
// is kept as it was set, even where the box's range clips what it shows. The
// numbers are held as doubles (exact for every int); the subclasses give them
// their types, fill their box and announce the changes.
class MSpinBoxBase : public QWidget
{
    Q_OBJECT
protected:
    enum Field { Value, Minimum, Maximum, SingleStep, Suffix };

    MSpinBoxBase(QAbstractSpinBox *box, double maximum, double singleStep, QWidget *parent);

    double field(Field which) const { return m_fields[which]; }
    QString suffixText() const { return m_suffix; }
    // Stores the number; when it changed, shows it and announces it.
    void setField(Field which, double number);
    void setSuffixText(const QString &text);
    // A number the painter typed or stepped to in the box.
    void takeShownNumber(double shown);
    // Puts the range in the box again, then the value.
    void refresh();

    // The box's number for a value, and the value of a number in the box.
    virtual double shownNumber(double value) const { return value; }
    virtual double valueOfShown(double shown) const { return shown; }
    // Fills the box's range, step and suffix; its signals are blocked.
    virtual void applyRange() = 0;
    virtual void setShownNumber(double number) = 0;

private:
    void showValue();
    // Emits the change signal of the field's property with its typed value.
    void announce(Field which);

    QAbstractSpinBox *m_box;
    double m_fields[SingleStep + 1];
    QString m_suffix;
};

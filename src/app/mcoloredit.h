#pragma once

#include <QColor>
#include <QWidget>

class MColorPickerButton;
class MConnector;
class QLineEdit;
class QToolButton;

// A colour typed as "#rrggbb", chosen in the colour dialog or picked from the
// screen; the button beside the text shows it as a swatch. Only a complete
// "#rrggbb" counts: "#123" on the way to "#123456" must not turn into
// "#112233" under the user's fingers.
class MColorEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
public:
    explicit MColorEdit(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Typing alone changes nothing until Return is pressed.
    bool applyOnReturnOnly() const { return m_applyOnReturnOnly; }
    void setApplyOnReturnOnly(bool on) { m_applyOnReturnOnly = on; }

public slots:
    void setColor(const QColor &color);
    void onTextChanged(const QString &text);
    void onReturnPressed();
    void onButtonClick();

signals:
    void colorChanged(const QColor &color);

private:
    void applyText(const QString &text);

    QColor m_color;
    MConnector *m_textConnection;
    bool m_applyOnReturnOnly = false;
    QLineEdit *m_lineEdit;
    QToolButton *m_button;
    MColorPickerButton *m_pickerButton;
};

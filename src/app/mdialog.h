#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

class QMessageBox;
class QPushButton;

// A message box with buttons of the caller's own texts that tells which of
// them was pressed.
class MDialog : public QObject
{
public:
    explicit MDialog(QObject *parent = nullptr);
    ~MDialog() override;

    void setText(const QString &text);
    void setInformativeText(const QString &text);
    // Buttons of earlier calls stay.
    void setButtons(const QStringList &texts);
    // 1 + the position of the pressed button, 0 when the box was closed otherwise.
    int exec();

    QMessageBox *box() const { return m_box; }
    const QVector<QPushButton *> &buttons() const { return m_buttons; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMessageBox *m_box;
    QVector<QPushButton *> m_buttons;
};

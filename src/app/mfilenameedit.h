#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A file name typed in or chosen in the open-file dialog. Typing only stores
// the text; setting the name or choosing a file announces it.
class MFileNameEdit : public QWidget
{
    Q_OBJECT
public:
    explicit MFileNameEdit(QWidget *parent = nullptr);

    QString fileName() const { return m_fileName; }

public slots:
    void setFileName(const QString &name);
    void onTextChanged(const QString &text);
    void onButtonClick();

signals:
    void fileNameChanged(const QString &name);
    void fileButtonClicked();

private:
    QString m_fileName;
    QLineEdit *m_lineEdit;
    QToolButton *m_button;
};

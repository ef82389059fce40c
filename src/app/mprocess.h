#pragma once

#include <QProcess>
#include <QString>

class QPlainTextEdit;

// Runs an external program and turns its standard output and its failures
// into text, optionally appended to a text view.
class MProcess : public QProcess
{
    Q_OBJECT
public:
    explicit MProcess(QObject *parent = nullptr);
    // The view is not owned; null sends the text to the signals only.
    void setTextEdit(QPlainTextEdit *edit);

    static QString errorName(QProcess::ProcessError error);

signals:
    void message(const QString &text);
    void error(const QString &text);

private slots:
    void readStdOutput();
    void readError();

private:
    bool m_toTextEdit = false;
    QPlainTextEdit *m_textEdit = nullptr;
};

#include "mprocess.h"

#include <QPlainTextEdit>

MProcess::MProcess(QObject *parent)
    : QProcess(parent)
{
    connect(this, &QProcess::readyReadStandardOutput, this, &MProcess::readStdOutput);
    connect(this, &QProcess::errorOccurred, this, &MProcess::readError);
}

void MProcess::setTextEdit(QPlainTextEdit *edit)
{
    m_textEdit = edit;
    m_toTextEdit = edit != nullptr;
}

QString MProcess::errorName(QProcess::ProcessError error)
{
    switch (error) {
    case QProcess::FailedToStart:
        return QStringLiteral("file not found, resource error");
    case QProcess::Crashed:
        return QStringLiteral("crash error");
    case QProcess::Timedout:
        return QStringLiteral("timeout error");
    case QProcess::ReadError:
        return QStringLiteral("read error");
    case QProcess::WriteError:
        return QStringLiteral("write error");
    default:
        return QStringLiteral("unknown error");
    }
}

void MProcess::readStdOutput()
{
    // Programs on this system write UTF-8.
    const QString text = QString::fromUtf8(readAllStandardOutput());
    emit message(text);
    if (m_toTextEdit && m_textEdit)
        m_textEdit->appendPlainText(text);
}

void MProcess::readError()
{
    const QString text = QStringLiteral("Error: %1").arg(errorName(QProcess::error()));
    emit error(text);
    if (m_toTextEdit && m_textEdit)
        m_textEdit->appendPlainText(text);
}

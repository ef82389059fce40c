#include "dshowlogs.h"

#include "mhttprequest.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "msettingstream.h"
#include "mutility.h"
#include "ui_dshowlogs.h"

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QUrl>

namespace {
enum { RememberMe = 0, Sizes = 1, Geometry = 2 };
}

DShowLogs::DShowLogs(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DShowLogs)
    , m_settings(new MSettingStream(this))
{
    ui->setupUi(this);
    QFont font = ui->logsEdit->font();
    const qreal ratio = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->devicePixelRatio() : 1.0;
    font.setPointSize(int(10 * ratio));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    ui->logsEdit->setFont(font);
    ui->commentEdit->setFont(font);

    QString log;
    MUtility::readTextFile(log, MLogger::logFilePath());
    ui->logsEdit->setPlainText(log);

    m_settings->setGroup(QStringLiteral("ShowLogs"));
    m_settings->add(RememberMe, QStringLiteral("rememberMe"), false);
    m_settings->add(Sizes, QStringLiteral("sizes"), QStringList());
    m_settings->add(Geometry, QStringLiteral("geometry"), QByteArray());
    m_settings->load();

    ui->remembeMeEdit->setChecked(m_settings->value(RememberMe).toBool());
    const QString mail = MSettings::instance()->userMail().trimmed();
    if (ui->remembeMeEdit->isChecked())
        ui->emailEdit->setText(mail);
    connect(ui->remembeMeEdit, &QCheckBox::toggled, this, &DShowLogs::onRememberMe);
    connect(ui->emailEdit, &QLineEdit::textEdited, this, &DShowLogs::onEmailEdited);

    restoreGeometry(m_settings->value(Geometry).toByteArray());
    QList<int> sizes;
    bool allNumbers = true;
    for (const QString &text : m_settings->value(Sizes).toStringList()) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok) {
            allNumbers = false;
            break;
        }
        sizes.append(size);
    }
    if (allNumbers && sizes.size() == 2)
        ui->splitter->setSizes(sizes);

    connect(&m_timer, &QTimer::timeout, this, &DShowLogs::compilAll);
    m_timer.setSingleShot(true);
    m_timer.setInterval(500);
    m_timer.start();
}

DShowLogs::~DShowLogs()
{
    delete ui;
}

QString DShowLogs::sendUrl()
{
    return MHttpRequest::serverUrl(QStringLiteral("/van/download/send_logs.php"));
}

QString DShowLogs::supportMail()
{
    return QStringLiteral("support@vantorel.com");
}

QString DShowLogs::serverHost()
{
    return QUrl(MHttpRequest::siteRoot()).host();
}

void DShowLogs::onRememberMe(bool checked)
{
    m_settings->value(RememberMe) = checked;
    if (checked && ui->emailEdit->text().trimmed().isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Please enter an email address."));
        ui->remembeMeEdit->setChecked(false);
    }
    MSettings::instance()->set_userMail(ui->emailEdit->text());
}

void DShowLogs::onEmailEdited(const QString &text)
{
    if (!text.trimmed().isEmpty())
        MSettings::instance()->set_userMail(text);
}

void DShowLogs::compilAll()
{
    QStringList report;
    MOpenGL::compileAllShaders(report);
    if (!report.isEmpty())
        ui->logsEdit->appendPlainText(report.join(QLatin1Char('\n')));
}

QString DShowLogs::composeText() const
{
    QString text;
    const QString comment = ui->commentEdit->toPlainText();
    if (!comment.trimmed().isEmpty())
        text += QStringLiteral("User comment:\n\n") + comment + QStringLiteral("\n\n");
    text += QStringLiteral("System logs:\n\n") + ui->logsEdit->toPlainText();
    return text;
}

void DShowLogs::on_btnCopyLogs_clicked()
{
    QApplication::clipboard()->setText(composeText());
    MUtility::showMessage(QMessageBox::Information, QString(),
                          tr("The system logs have been copied to the clipboard. You can send them to ") + supportMail()
                              + tr(" for debugging purpose."));
}

void DShowLogs::on_btnSendLogs_clicked()
{
    const QString mail = ui->emailEdit->text().trimmed();
    if (mail.isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Please enter an email address before sending to support."));
        return;
    }
    // The log tells about the painter's files and machine: it leaves only
    // when the painter agrees, and only for the configured server.
    const QString url = sendUrl();
    if (!MHttpRequest::isAllowedAddress(QUrl(url, QUrl::TolerantMode))) {
        MLogger::instance()->systemError(QStringLiteral("Log upload refused: %1 is not an https address").arg(url));
        MUtility::showMessage(QMessageBox::Critical, QString(),
                              tr("The system logs can't be sent: %1 is not a secure (https) address.").arg(url));
        return;
    }
    if (MUtility::showMessage(QMessageBox::Question, QString(),
                              tr("The system logs, your comment and your email address will be sent to %1. Do you "
                                 "want to send them?")
                                  .arg(serverHost()),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    auto *answer = new QByteArray;
    auto *request = new MHttpRequest(url, answer, this);
    request->method = MHttpRequest::Post;
    request->addParameter(QStringLiteral("email"), mail);
    request->addParameter(QStringLiteral("system_logs"), composeText());
    connect(request, &MHttpRequest::error, this, &DShowLogs::onSendError);
    connect(request, &MHttpRequest::finished, this, &DShowLogs::onSend);
    connect(request, &MHttpRequest::finished, request, &QObject::deleteLater);
    // The answer buffer lives as long as its request.
    connect(request, &QObject::destroyed, [answer] { delete answer; });
    MUtility::setBusyCursor();
    request->send();
    MUtility::restoreCursor();
}

void DShowLogs::onSend(const QByteArray *answer)
{
    if (!answer) {
        MLogger::instance()->log(QStringLiteral("Send log: invalid datas"));
    } else if (answer->isEmpty()) {
        MLogger::instance()->log(QStringLiteral("Send log: no response from ") + serverHost() + QStringLiteral(" server"));
    } else {
        MUtility::showMessage(QMessageBox::Information, QString(), tr("The system logs has been sent to the support."));
        accept();
    }
}

void DShowLogs::onSendError(const QString &text)
{
    MLogger::instance()->log(QStringLiteral("Error during logs upload: ") + text);
    MUtility::showMessage(QMessageBox::Critical, QString(),
                          tr("Unable to connect to ") + serverHost()
                              + tr(" server, please try later. You can also copy and paste the logs in a mail and send "
                                   "it to ")
                              + supportMail());
}

void DShowLogs::saveSettings()
{
    MSettings::instance()->set_userMail(ui->emailEdit->text());
    m_settings->value(Geometry) = saveGeometry();
    QStringList sizes;
    for (int size : ui->splitter->sizes())
        sizes.append(QString::number(size));
    m_settings->value(Sizes) = sizes;
    m_settings->save();
}

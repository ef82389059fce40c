#pragma once

#include <QDialog>
#include <QTimer>

class MSettingStream;
namespace Ui {
class DShowLogs;
}

// The log of this run with a comment of the painter's, copied to the
// clipboard or, once the painter confirms, sent to the support form of the
// configured web server.
class DShowLogs : public QDialog
{
    Q_OBJECT
public:
    explicit DShowLogs(QWidget *parent = nullptr);
    ~DShowLogs() override;

    void saveSettings();
    QString composeText() const;
    // The support form's address on the configured server.
    static QString sendUrl();
    static QString supportMail();

private slots:
    void on_btnSendLogs_clicked();
    void onSendError(const QString &text);
    void onSend(const QByteArray *answer);
    void compilAll();
    void on_btnCopyLogs_clicked();
    void onRememberMe(bool checked);
    void onEmailEdited(const QString &text);

private:
    static QString serverHost();

    Ui::DShowLogs *ui;
    QTimer m_timer;
    MSettingStream *m_settings;
};

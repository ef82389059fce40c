#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

class QLocalSocket;

// Keeps a second start from running beside the first: a start first says hello
// on the named local socket; when nobody answers it listens there itself.
class MSingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit MSingleInstance(QObject *parent = nullptr);
    ~MSingleInstance() override;

    static bool sendMessage(const QString &name, const QStringList &lines, int timeoutMs = 30000);
    void listen(const QString &name);
    void close();

signals:
    void newInstance();

private slots:
    void newConnection();
    void readyRead();

private:
    QLocalServer m_server;
    QLocalSocket *m_socket = nullptr;
};

#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>

// Connections an editor drops while it writes into its own controls, so that
// writing a value never comes back to it as a change, and makes again after.
class MConnector : public QObject
{
    Q_OBJECT
public:
    explicit MConnector(QObject *parent = nullptr);
    ~MConnector() override;

    void add(const QMetaObject::Connection &connection);
    void disconnectAll();
    bool isConnected() const { return m_connected; }
    int count() const { return m_connections.size(); }

private:
    QList<QMetaObject::Connection> m_connections;
    bool m_connected = false;
};

#pragma once

#include <QMetaObject>
#include <QObject>
#include <QVector>

// Connections an editor drops while it writes into its own controls, so that
// writing a value never comes back to it as a change, and makes again after.
class MConnector : public QObject
{
    Q_OBJECT
public:
    explicit MConnector(QObject *parent = nullptr);
    // Forgets the handles; the connections themselves live on.
    ~MConnector() override;

    // Returns the connector, so that several connections chain.
    MConnector *add(const QMetaObject::Connection &connection);
    void disconnectAll();
    bool isConnected() const { return m_connected; }
    int count() const { return m_connections.size(); }

private:
    QVector<QMetaObject::Connection> m_connections;
    bool m_connected = false;
};

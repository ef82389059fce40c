#include "mconnector.h"

MConnector::MConnector(QObject *parent) : QObject(parent)
{
}

MConnector::~MConnector() = default;

MConnector *MConnector::add(const QMetaObject::Connection &connection)
{
    m_connections.append(connection);
    m_connected = true;
    return this;
}

void MConnector::disconnectAll()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        QObject::disconnect(connection);
    // Editors drop and remake their connections on every write: keep the room.
    m_connections.resize(0);
    m_connected = false;
}

#include "mconnector.h"

MConnector::MConnector(QObject *parent) : QObject(parent)
{
}

MConnector::~MConnector()
{
    disconnectAll();
}

void MConnector::add(const QMetaObject::Connection &connection)
{
    m_connections.append(connection);
    m_connected = true;
}

void MConnector::disconnectAll()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    m_connected = false;
}

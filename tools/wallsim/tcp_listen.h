#pragma once

#include <QHostAddress>
#include <QString>

class QTcpServer;

// Opens a virtual device's TCP port. On failure error says which device
// (name, e.g. "gateway 127.0.0.1") could not listen on which port, and why.
bool ListenTcp(QTcpServer* server, const QHostAddress& address, quint16 port, const QString& name,
               QString* error);

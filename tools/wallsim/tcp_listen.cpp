#include "tcp_listen.h"

#include <QTcpServer>

bool ListenTcp(QTcpServer* server, const QHostAddress& address, quint16 port, const QString& name,
               QString* error) {
  if (server->listen(address, port)) return true;
  *error = QStringLiteral("%1: cannot listen on TCP %2: %3")
               .arg(name)
               .arg(port)
               .arg(server->errorString());
  return false;
}

#pragma once

#include <netinet/in.h>

#include <QtGlobal>

// The IPv4 socket address of hostOrder:port, for the namespace fakes' sends.
sockaddr_in Ipv4SocketAddress(quint32 hostOrder, quint16 port);

// A socket of type (SOCK_DGRAM, SOCK_STREAM) bound to hostOrder:port, or -1.
// reuseAddress sets SO_REUSEADDR before binding.
int BoundIpv4Socket(int type, quint32 hostOrder, quint16 port, bool reuseAddress);

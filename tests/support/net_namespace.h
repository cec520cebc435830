#pragma once

#include <QString>
#include <QStringList>

// Gives a test its own network: moves the calling thread into a fresh
// network namespace (threads and programs it starts afterwards share it),
// brings loopback up and creates the interface "qv0" (one end of a veth
// pair whose other end, "qv0p", stays empty) carrying the given IPv4
// addresses (/24) with a default route through it. Broadcasts to
// 255.255.255.255 then reach every socket of the namespace that listens on
// the port, and unicasts between the addresses go through loopback; nothing
// leaves the namespace. Returns an empty string on success, else the reason
// (the test should GTEST_SKIP with it):
//
//   if (const QString why = EnterNetNamespace({"10.0.1.10", "10.0.1.21"}); !why.isEmpty())
//     GTEST_SKIP() << why.toStdString();
QString EnterNetNamespace(const QStringList& addresses);

// Adds one more address to "qv0" of the namespace entered before.
QString AddNetNamespaceAddress(const QString& dotted);

#pragma once

#include <QHostAddress>
#include <QList>
#include <QStringList>

// The web addresses under which other machines of the office network open the board, one
// "http://<address>:<port>/" for each address they can reach: IPv4 ones first, then global
// IPv6 ones in brackets, each family in ascending order and every address once. Loopback
// and link-local addresses reach no other machine and are left out. With nothing left the
// list holds "http://localhost:<port>/", which at least works on this machine.
QStringList boardAddresses(const QList<QHostAddress> &addresses, int port);

// The addresses of this machine's interfaces that are up and running, loopback excepted.
QList<QHostAddress> machineAddresses();

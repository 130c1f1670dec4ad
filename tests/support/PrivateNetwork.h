#pragma once
// Port 21, the first start's port, is open to anonymous users once served. A test that lets the
// program serve it runs in a network namespace of its own (tests/support/private-network), out
// of the network's reach; elsewhere it may go on only where this process cannot bind the port.
#include <QString>

// Empty when a first start may go on here; else why it would open port 21 to the network.
QString WhyPort21WouldBeExposed();

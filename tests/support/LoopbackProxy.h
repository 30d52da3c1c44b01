#pragma once

#include <QThread>

class QTcpServer;

namespace kelvra::test {

// A TCP relay on loopback in a thread of its own, standing between the program and the test server, so that a
// test can cut every connection in the middle of a run (the server "goes away") while the run blocks in the driver.
class LoopbackProxy
{
public:
    explicit LoopbackProxy(quint16 targetPort);
    ~LoopbackProxy();
    quint16 port() const { return m_port; }
    // Closes every relayed connection at once; new connections are relayed again.
    void cut();

private:
    QThread m_thread;
    class Relay* m_relay = nullptr;
    quint16 m_port = 0;
};

} // namespace kelvra::test

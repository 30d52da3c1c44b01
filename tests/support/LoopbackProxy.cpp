#include "support/LoopbackProxy.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace kelvra::test {

class Relay : public QObject
{
public:
    explicit Relay(quint16 target) : m_target(target) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket* client = m_server->nextPendingConnection()) {
                auto* upstream = new QTcpSocket(this);
                client->setParent(this);
                m_pairs.append(qMakePair(client, upstream));
                connect(client, &QTcpSocket::readyRead, upstream, [client, upstream]() {
                    if (upstream->state() == QAbstractSocket::ConnectedState)
                        upstream->write(client->readAll());
                });
                connect(upstream, &QTcpSocket::connected, client, [client, upstream]() { upstream->write(client->readAll()); });
                connect(upstream, &QTcpSocket::readyRead, client, [client, upstream]() { client->write(upstream->readAll()); });
                connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
                connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
                upstream->connectToHost(QHostAddress::LocalHost, m_target);
            }
        });
        return m_server->serverPort();
    }

    void cut()
    {
        for (const auto& [client, upstream] : std::as_const(m_pairs)) {
            client->abort();
            upstream->abort();
            client->deleteLater();
            upstream->deleteLater();
        }
        m_pairs.clear();
    }

private:
    quint16 m_target;
    QTcpServer* m_server = nullptr;
    QList<QPair<QTcpSocket*, QTcpSocket*>> m_pairs;
};

LoopbackProxy::LoopbackProxy(quint16 targetPort)
{
    m_relay = new Relay(targetPort);
    m_relay->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(m_relay, [this]() { m_port = m_relay->listen(); }, Qt::BlockingQueuedConnection);
}

LoopbackProxy::~LoopbackProxy()
{
    QMetaObject::invokeMethod(m_relay, [this]() { delete m_relay; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void LoopbackProxy::cut()
{
    QMetaObject::invokeMethod(m_relay, [this]() { m_relay->cut(); }, Qt::BlockingQueuedConnection);
}

} // namespace kelvra::test

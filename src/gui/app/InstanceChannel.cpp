#include "gui/app/InstanceChannel.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

namespace quarvo::gui {

namespace {

constexpr int staleProbeMilliseconds = 1000;

} // namespace

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QLocalServer(this))
{
    // No socket options: with them Qt binds elsewhere and renames the socket into place, which would
    // silently take the name from an instance that is listening there. Without them the bind itself
    // fails when the name is taken, and the socket file is restricted right after it.
    m_server->setSocketOptions(QLocalServer::NoOptions);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& path)
{
    if (!m_server->listen(path)) {
        if (m_server->serverError() != QAbstractSocket::AddressInUseError)
            return false;
        if (instanceIsListening(path, staleProbeMilliseconds))
            return false;
        // Nobody answers: the socket file is what an instance that ended abruptly left behind.
        QLocalServer::removeServer(path);
        if (!m_server->listen(path))
            return false;
    }
    // The directory is the user's alone already; the socket is made so as well.
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_server->close();
        return false;
    }
    return true;
}

bool InstanceServer::isListening() const
{
    return m_server->isListening();
}

void InstanceServer::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readRequest(socket);
    }
}

void InstanceServer::readRequest(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < 4)
        return;
    char header[4];
    socket->peek(header, sizeof header);
    quint32 length = qFromBigEndian<quint32>(header);
    if (length > InstanceProtocol::maximumRequestBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + length))
        return;
    socket->skip(4);
    QByteArray text = socket->read(length);
    // One request per connection: whatever follows is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    m_requests.push_back({socket, text.toStdString()});
    QTimer::singleShot(0, this, &InstanceServer::handleNext);
}

void InstanceServer::handleNext()
{
    if (m_handling || m_requests.empty())
        return;
    m_handling = true;
    Request request = std::move(m_requests.front());
    m_requests.pop_front();
    bool handled = m_handler && m_handler(request.text);
    if (request.socket && request.socket->state() == QLocalSocket::ConnectedState) {
        char answer = handled ? InstanceProtocol::handled : InstanceProtocol::notHandled;
        request.socket->write(&answer, 1);
        request.socket->flush();
        request.socket->disconnectFromServer();
    }
    m_handling = false;
    emit requestHandled(QString::fromStdString(request.text), handled);
    if (!m_requests.empty())
        QTimer::singleShot(0, this, &InstanceServer::handleNext);
}

Delivery deliverExecuteString(const QString& path, const std::string& executeString, int timeoutMilliseconds)
{
    if (executeString.size() > InstanceProtocol::maximumRequestBytes)
        return Delivery::NotDelivered;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMilliseconds))
        return Delivery::NotDelivered;
    char header[4];
    qToBigEndian<quint32>(quint32(executeString.size()), header);
    socket.write(header, sizeof header);
    socket.write(executeString.data(), qint64(executeString.size()));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMilliseconds))
            return Delivery::NotDelivered;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMilliseconds))
            return Delivery::Unanswered;
    }
    char answer = 0;
    socket.read(&answer, 1);
    return answer == InstanceProtocol::handled ? Delivery::Handled : Delivery::NotHandled;
}

std::optional<bool> sendExecuteString(const QString& path, const std::string& executeString,
                                      int timeoutMilliseconds)
{
    switch (deliverExecuteString(path, executeString, timeoutMilliseconds)) {
    case Delivery::Handled:
        return true;
    case Delivery::NotHandled:
        return false;
    case Delivery::NotDelivered:
    case Delivery::Unanswered:
        break;
    }
    return std::nullopt;
}

bool instanceIsListening(const QString& path, int timeoutMilliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    bool listening = socket.waitForConnected(timeoutMilliseconds);
    socket.abort();
    return listening;
}

} // namespace quarvo::gui

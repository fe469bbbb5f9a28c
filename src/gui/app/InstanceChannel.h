#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace quarvo::gui {

// How a running instance hears from other processes. A request is one execute string: a 4-byte
// big-endian length and that many bytes of UTF-8. The answer is one byte: '1' when the instance
// handled the request, '0' when it did not.
namespace InstanceProtocol {
constexpr quint32 maximumRequestBytes = 64 * 1024;
constexpr char handled = '1';
constexpr char notHandled = '0';
} // namespace InstanceProtocol

// The listening side, in the running instance. Requests are handled one at a time, each to its end
// before the next, in the order they arrived, and never inside the socket's own notification (the
// handler may open dialogs).
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(const std::string& executeString)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens at path, which should lie in a directory only the user can reach; the socket itself is
    // made for the user alone too. A socket file left by an instance that no longer runs is replaced.
    // False when another instance answers at path or the socket cannot be made.
    bool listen(const QString& path);
    bool isListening() const;

signals:
    // After each request was handled, with its answer.
    void requestHandled(const QString& executeString, bool handled);

private:
    struct Request {
        QPointer<QLocalSocket> socket;
        std::string text;
    };

    void acceptConnections();
    void readRequest(QLocalSocket* socket);
    void handleNext();

    Handler m_handler;
    QLocalServer* m_server;
    std::deque<Request> m_requests;
    bool m_handling = false;
};

// What became of a request sent to a running instance.
enum class Delivery {
    NotDelivered, // no instance listens, or the request could not be written whole
    Handled,      // the instance answered that it handled the request
    NotHandled,   // the instance answered that it did not
    Unanswered,   // the instance took the request but gave no answer in time: it is still busy with
                  // it (a dialog the request opened) or with requests before it, and will get to it
};

// The sending side, in a second start of the program. Sends one execute string to the instance at
// path and waits up to timeoutMilliseconds for each step, connecting, writing and the answer.
Delivery deliverExecuteString(const QString& path, const std::string& executeString, int timeoutMilliseconds);

// deliverExecuteString's answer as a yes or no; nothing when the request was not delivered or got
// no answer in time.
std::optional<bool> sendExecuteString(const QString& path, const std::string& executeString,
                                      int timeoutMilliseconds);

// True when an instance accepts a connection at path.
bool instanceIsListening(const QString& path, int timeoutMilliseconds);

} // namespace quarvo::gui

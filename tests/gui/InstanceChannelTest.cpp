#include "gui/app/InstanceChannel.h"

#include "support/TemporaryDirectory.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quarvo::gui;
using quarvo::testing::TemporaryDirectory;

// The sending side blocks until the answer arrives, as a second start of the program does; the
// listening side needs this thread's event loop, so the sender runs on a thread of its own.
static std::optional<bool> sendFromAnotherThread(const QString& path, const std::string& text)
{
    auto answer = std::async(std::launch::async, [path, text] { return sendExecuteString(path, text, 10000); });
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return answer.get();
}

static QByteArray frame(const std::string& text)
{
    char header[4];
    qToBigEndian<quint32>(quint32(text.size()), header);
    return QByteArray(header, 4) + QByteArray::fromStdString(text);
}

class InstanceChannelTest : public QObject {
    Q_OBJECT

private slots:
    void carriesTheExecuteStringAndItsAnswer()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        std::vector<std::string> received;
        InstanceServer server([&](const std::string& text) {
            received.push_back(text);
            return text.starts_with("[open(");
        });
        QVERIFY(server.listen(path));
        // Only the user may talk to the instance.
        struct stat status {};
        QCOMPARE(::stat(path.toLocal8Bit().constData(), &status), 0);
        QVERIFY(S_ISSOCK(status.st_mode));
        QCOMPARE(status.st_mode & 0777, mode_t(0600));

        QCOMPARE(sendFromAnotherThread(path, "[open(\"/home/ann/a b.zip\")]"), std::optional<bool>(true));
        QCOMPARE(sendFromAnotherThread(path, "[OPEN(\"/x.zip\")]"), std::optional<bool>(false));
        // Text is carried byte for byte, multi-byte names and quotes included.
        QCOMPARE(sendFromAnotherThread(path, "[open(\"/tmp/Ärger \\\"x\\\".zip\")]"), std::optional<bool>(true));
        QCOMPARE(received.size(), size_t(3));
        QCOMPARE(received[0], std::string("[open(\"/home/ann/a b.zip\")]"));
        QCOMPARE(received[2], std::string("[open(\"/tmp/Ärger \\\"x\\\".zip\")]"));
    }

    void answersNothingWhenNoInstanceListens()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        QCOMPARE(sendExecuteString(path, "[open(\"/a.zip\")]", 1000), std::nullopt);
        QVERIFY(!instanceIsListening(path, 1000));
    }

    void handlesARequestToItsEndBeforeTheNext()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        std::vector<std::string> order;
        std::vector<std::unique_ptr<QLocalSocket>> late;
        bool inside = false;
        bool nestedCall = false;
        InstanceServer server([&](const std::string& text) {
            nestedCall = nestedCall || inside;
            inside = true;
            order.push_back(text);
            if (text == "first") {
                // Two more requests arrive while the first one spins the event loop, as it does while
                // a dialog is open: they wait their turn.
                for (const char* next : {"second", "third"}) {
                    late.push_back(std::make_unique<QLocalSocket>());
                    late.back()->connectToServer(path);
                    late.back()->waitForConnected(2000);
                    late.back()->write(frame(next));
                    late.back()->flush();
                }
                for (int i = 0; i < 20; ++i)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
            inside = false;
            return true;
        });
        QVERIFY(server.listen(path));

        QCOMPARE(sendFromAnotherThread(path, "first"), std::optional<bool>(true));
        QTRY_COMPARE_WITH_TIMEOUT(order.size(), size_t(3), 5000);
        QVERIFY(!nestedCall);
        QCOMPARE(order.front(), std::string("first"));
        std::sort(order.begin() + 1, order.end());
        QCOMPARE(order, (std::vector<std::string>{"first", "second", "third"}));
        for (auto& socket : late) {
            QTRY_VERIFY_WITH_TIMEOUT(socket->bytesAvailable() > 0, 5000);
            QCOMPARE(socket->read(1), QByteArray("1"));
        }
    }

    void dropsARequestLongerThanTheLimit()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        bool called = false;
        InstanceServer server([&](const std::string&) { return called = true; });
        QVERIFY(server.listen(path));
        QLocalSocket socket;
        socket.connectToServer(path);
        QVERIFY(socket.waitForConnected(2000));
        char header[4];
        qToBigEndian<quint32>(InstanceProtocol::maximumRequestBytes + 1, header);
        socket.write(header, 4);
        socket.write(QByteArray(64, 'x'));
        socket.flush();
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);
        QVERIFY(!called);
        QCOMPARE(sendExecuteString(path, std::string(InstanceProtocol::maximumRequestBytes + 1, 'x'), 1000),
                 std::nullopt);
    }

    void replacesTheSocketOfAnInstanceThatIsGone()
    {
        TemporaryDirectory directory;
        std::string file = directory.file("quarvosystem");
        // An instance that ended abruptly leaves its socket file behind, with nobody listening.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, file.c_str(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(QString::fromStdString(file)));

        QString path = QString::fromStdString(file);
        InstanceServer server([](const std::string&) { return true; });
        QVERIFY(server.listen(path));
        QCOMPARE(sendFromAnotherThread(path, "[open(\"/a.zip\")]"), std::optional<bool>(true));
    }

    // A second start must tell an instance still busy with its request (the Extract action's dialog
    // is open) from no instance at all: only the latter makes it start one of its own.
    void tellsARequestStillBeingHandledFromOneNobodyTook()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        QCOMPARE(deliverExecuteString(path, "[extract(\"/a.zip\")]", 300), Delivery::NotDelivered);

        InstanceServer server([](const std::string& text) {
            if (text.starts_with("[extract(")) {
                QElapsedTimer dialogOpen;
                dialogOpen.start();
                while (dialogOpen.elapsed() < 1500)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            return text.starts_with("[open(") || text.starts_with("[extract(");
        });
        QVERIFY(server.listen(path));
        auto deliver = [&](const std::string& text) {
            auto outcome = std::async(std::launch::async, [path, text] { return deliverExecuteString(path, text, 300); });
            while (outcome.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            return outcome.get();
        };
        QCOMPARE(deliver("[open(\"/a.zip\")]"), Delivery::Handled);
        QCOMPARE(deliver("[OPEN(\"/a.zip\")]"), Delivery::NotHandled);
        QCOMPARE(deliver("[extract(\"/a.zip\")]"), Delivery::Unanswered);
    }

    void refusesToListenWhereAnotherInstanceAnswers()
    {
        TemporaryDirectory directory;
        QString path = QString::fromStdString(directory.file("quarvosystem"));
        InstanceServer first([](const std::string&) { return true; });
        QVERIFY(first.listen(path));
        InstanceServer second([](const std::string&) { return false; });
        QVERIFY(!second.listen(path));
        QVERIFY(first.isListening());
        QCOMPARE(sendFromAnotherThread(path, "[open(\"/a.zip\")]"), std::optional<bool>(true));
    }
};

QTEST_MAIN(InstanceChannelTest)
#include "InstanceChannelTest.moc"

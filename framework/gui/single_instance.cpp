// The single-instance door: a local socket only the user can reach.
#include "framework/gui/private/single_instance.h"

#include "framework/core/folder_item.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr char kMagic[] = "QUOBLY-OPEN/1\n";
constexpr size_t kMagicLength = sizeof kMagic - 1;
constexpr size_t kHeaderLength = kMagicLength + 4;
// Far more paths than a file manager hands over at once; a longer message is no message of ours.
constexpr size_t kMaxPayload = 1 << 20;
constexpr char kTaken = 'k';

// Deadlines of the handover. A running instance answers between two turns of its event loop;
// one that does not answer within these is taken as unable to.
constexpr int kConnectMs = 2000;
constexpr int kAnswerMs = 10000;
// A connection that has not sent a whole message by then is dropped.
constexpr int kConnectionMs = 5000;

void warn(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()), what, qPrintable(detail));
}

bool allExist(const std::vector<String>& items)
{
    return std::all_of(items.begin(), items.end(), [](const String& path) { return FolderItem::FromPath(path)->Exists(); });
}

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

String SingleInstance::DefaultSocketPath()
{
    // Qt checks that the runtime folder belongs to the user and is private (0700), and makes
    // one that is when $XDG_RUNTIME_DIR is unset.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    return QFile::encodeName(folder).toStdString() + "/quobly.socket";
}

std::string SingleInstance::Encode(const std::vector<String>& items)
{
    std::string payload;
    for (const String& item : items) {
        payload += item;
        payload += '\0';
    }
    std::string message(kMagic, kMagicLength);
    const auto length = static_cast<uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        message += static_cast<char>((length >> shift) & 0xff);
    return message + payload;
}

SingleInstance::Parsed SingleInstance::Parse(const std::string& received)
{
    using State = Parsed::State;
    const size_t magicSeen = std::min(received.size(), kMagicLength);
    if (received.compare(0, magicSeen, kMagic, magicSeen) != 0)
        return { State::Invalid, {} };
    if (received.size() < kHeaderLength)
        return { State::Incomplete, {} };
    size_t length = 0;
    for (size_t i = kMagicLength; i < kHeaderLength; ++i)
        length = (length << 8) | static_cast<unsigned char>(received[i]);
    if (length > kMaxPayload)
        return { State::Invalid, {} };
    if (received.size() < kHeaderLength + length)
        return { State::Incomplete, {} };
    if (received.size() > kHeaderLength + length)
        return { State::Invalid, {} };

    const std::string_view payload(received.data() + kHeaderLength, length);
    if (!payload.empty() && payload.back() != '\0')
        return { State::Invalid, {} };
    std::vector<String> items;
    for (size_t start = 0; start < payload.size();) {
        const size_t end = payload.find('\0', start);
        const std::string_view path = payload.substr(start, end - start);
        if (path.empty() || path.front() != '/')
            return { State::Invalid, {} };
        items.emplace_back(path);
        start = end + 1;
    }
    return { State::Complete, std::move(items) };
}

SingleInstance::Outcome SingleInstance::Open(const String& socketPath, const std::vector<String>& items)
{
    if (socketPath.empty()) {
        warn("no private runtime folder; running without a door for later launches", {});
        return Outcome::Alone;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(socketPath));

    // Two launches at once must not both find no instance and both listen: the look and the
    // listening happen under a lock. Qt takes over a lock whose holder has died.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(kAnswerMs))
        warn("could not lock the door", path);

    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(kConnectMs)) {
        lock.unlock();
        const std::string message = Encode(items);
        socket.write(message.data(), static_cast<qint64>(message.size()));
        // The answer comes once the whole message has arrived and was taken.
        while (socket.bytesAvailable() < 1 && socket.waitForReadyRead(kAnswerMs)) { }
        char answer = 0;
        if (socket.read(&answer, 1) == 1 && answer == kTaken)
            return Outcome::HandedOver;
        warn("the running instance did not take the items", socket.errorString());
        return Outcome::NoAnswer;
    }

    // Nobody listens: a socket file still there is a crashed instance's.
    QLocalServer::removeServer(path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        warn("could not open the door for later launches", m_server->errorString());
        m_server.reset();
        return Outcome::Alone;
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { acceptConnections(); });
    return Outcome::Listening;
}

void SingleInstance::Close()
{
    if (m_server)
        m_server->close();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto received = std::make_shared<std::string>();
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionMs, socket, [socket] { socket->abort(); });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, received] {
            const QByteArray chunk = socket->readAll();
            received->append(chunk.constData(), static_cast<size_t>(chunk.size()));
            Parsed parsed = Parse(*received);
            if (parsed.state == Parsed::State::Incomplete)
                return;
            if (parsed.state == Parsed::State::Invalid || !allExist(parsed.items)) {
                socket->abort();
                return;
            }
            socket->write(&kTaken, 1);
            socket->disconnectFromServer();
            if (OnItems) {
                auto hook = OnItems;
                hook(parsed.items);
            }
        });
    }
}

#include "gui/shell/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMetaMethod>
#include <QStandardPaths>
#include <optional>

namespace lbv {
namespace {

constexpr int kConnectTimeoutMs = 1000;
// The running program may be busy for a moment (a modal dialog still serves the socket).
constexpr int kReplyTimeoutMs = 5000;
constexpr int kLockTimeoutMs = 5000;
// A hand-over is a few paths; anything larger is not one of ours.
constexpr qint64 kLargestRequest = 64 * 1024;
const QByteArray kAcknowledgement = QByteArrayLiteral("ok\n");

// Each argument in UTF-8 followed by a NUL; an empty argument ends the request.
QByteArray EncodeRequest(const QStringList& arguments)
{
    QByteArray request;
    for (const QString& argument : arguments)
        if (!argument.isEmpty())
            request += argument.toUtf8() + '\0';
    return request + '\0';
}

// The arguments of a complete request at the start of `data`, or nothing while it is incomplete.
std::optional<QStringList> DecodeRequest(const QByteArray& data)
{
    QStringList arguments;
    qsizetype start = 0;
    for (qsizetype end = data.indexOf('\0'); end >= 0; end = data.indexOf('\0', start)) {
        if (end == start)
            return arguments;
        arguments.append(QString::fromUtf8(data.mid(start, end - start)));
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace

SingleInstance::SingleInstance(QString serverPath, QObject* parent)
    : QObject(parent)
    , serverPath_(std::move(serverPath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerPath()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString()
                             : QDir(runtime).filePath(QStringLiteral("libravon.socket"));
}

SingleInstance::Outcome SingleInstance::Start(const QStringList& arguments)
{
    if (serverPath_.isEmpty())
        return Outcome::Alone;
    // Held while asking and while taking over, so two starts at once can't both become first.
    QLockFile lock(serverPath_ + QLatin1String(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return Outcome::Alone;

    QLocalSocket socket;
    socket.connectToServer(serverPath_);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        socket.write(EncodeRequest(arguments));
        QByteArray reply;
        while (reply.size() < kAcknowledgement.size() && socket.waitForReadyRead(kReplyTimeoutMs))
            reply += socket.readAll();
        // A program that listens but does not answer keeps its socket: this one runs alone.
        return reply.startsWith(kAcknowledgement) ? Outcome::HandedOver : Outcome::Alone;
    }
    // Nobody answers: the socket file, if any, was left by a program that ended abnormally.
    QLocalServer::removeServer(serverPath_);
    return Listen() ? Outcome::Serving : Outcome::Alone;
}

bool SingleInstance::Listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverPath_)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Receive);
    return true;
}

void SingleInstance::Receive()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        if (socket->bytesAvailable() > 0)
            ReadRequest(socket);
    }
}

void SingleInstance::ReadRequest(QLocalSocket* socket)
{
    // Peek until the whole request is there.
    const QByteArray pending = socket->peek(kLargestRequest + 1);
    const std::optional<QStringList> arguments = DecodeRequest(pending);
    if (!arguments) {
        if (pending.size() > kLargestRequest)
            socket->abort();
        return;
    }
    socket->readAll();
    // Answer first: the other program exits while this one opens the file.
    socket->write(kAcknowledgement);
    socket->flush();
    socket->disconnectFromServer();
    held_.append(*arguments);
    if (isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::argumentsReceived)))
        DeliverHeld();
}

void SingleInstance::connectNotify(const QMetaMethod& signal)
{
    // Delivered once the connection is complete, which it is not yet here.
    if (signal == QMetaMethod::fromSignal(&SingleInstance::argumentsReceived) && !held_.isEmpty())
        QMetaObject::invokeMethod(this, &SingleInstance::DeliverHeld, Qt::QueuedConnection);
}

void SingleInstance::DeliverHeld()
{
    while (!held_.isEmpty())
        Q_EMIT argumentsReceived(held_.takeFirst());
}

} // namespace lbv

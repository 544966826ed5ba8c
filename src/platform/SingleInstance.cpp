#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace vexamo {

namespace {

// Message: quint32 count, then `count` QStrings; the answer is one byte.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
constexpr char kAcknowledge = 'A';
// More than a full message may ever need (10 strings of 300 UTF-16 characters).
constexpr qint64 kMaxMessageBytes = 16 * 1024;

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName() {
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (program.isEmpty()) program = QStringLiteral("vexamo");
    return program + QLatin1Char('-') + QString::number(::getuid());
}

QStringList SingleInstance::Limit(const QStringList& parameters) {
    QStringList limited;
    for (const QString& parameter : parameters) {
        if (limited.size() == kMaxParameters) break;
        limited.append(parameter.left(kMaxParameterLength));
    }
    return limited;
}

bool SingleInstance::HandOver(const QStringList& parameters, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;

    const QStringList limited = Limit(parameters);
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << static_cast<quint32>(limited.size());
        for (const QString& parameter : limited) out << parameter;
    }
    socket.write(message);

    const QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kAcknowledge;
}

bool SingleInstance::Listen() {
    if (server_ != nullptr) return server_->isListening();
    // Listening replaces whatever holds the name, so ask first whether an instance lives
    // there: it may be one that did not answer in time, and it keeps its name.
    {
        QLocalSocket probe;
        probe.connectToServer(serverName_);
        if (probe.waitForConnected(1000)) {
            probe.abort();
            return false;
        }
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName_)) {
        // A socket file left behind by a program that ended abnormally.
        QLocalServer::removeServer(serverName_);
        if (!server->listen(serverName_)) {
            delete server;
            return false;
        }
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
    return true;
}

bool SingleInstance::IsListening() const { return server_ != nullptr && server_->isListening(); }

void SingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadParameters(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) ReadParameters(socket);
    }
}

void SingleInstance::ReadParameters(QLocalSocket* socket) {
    if (socket->property("done").toBool()) return;
    if (socket->bytesAvailable() > kMaxMessageBytes) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(kStreamVersion);
    in.startTransaction();
    quint32 count = 0;
    in >> count;
    if (in.status() == QDataStream::Ok && count > static_cast<quint32>(kMaxParameters)) {
        socket->abort(); // not one of ours
        return;
    }
    QStringList parameters;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString parameter;
        in >> parameter;
        parameters.append(parameter);
    }
    if (!in.commitTransaction()) {
        if (in.status() != QDataStream::ReadPastEnd) socket->abort(); // malformed
        return;                                                       // else: wait for the rest
    }
    socket->setProperty("done", true);
    // The sender cuts them already; a foreign sender gets the same limits.
    const QStringList limited = Limit(parameters);
    socket->putChar(kAcknowledge);
    socket->flush();
    emit ParametersReceived(limited);
}

} // namespace vexamo

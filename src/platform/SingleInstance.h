#pragma once
// Keeps one running copy of the program per user. The first start listens on a local socket
// named after the executable and the user; a later start hands its parameters over that
// socket and ends, and the first one receives them through ParametersReceived.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace vexamo {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxParameters = 10;
    static constexpr int kMaxParameterLength = 300;
    static constexpr int kDefaultTimeoutMs = 10000;

    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The executable's file name and the user's id, e.g. "vexamo-1000".
    static QString DefaultServerName();
    // At most kMaxParameters parameters, each cut to kMaxParameterLength characters.
    static QStringList Limit(const QStringList& parameters);

    // Second start: hands the parameters to a running instance. True when that instance
    // confirmed it got them (the caller then ends without a window). False when no instance
    // answers within `timeoutMs`: the caller runs as a first instance.
    bool HandOver(const QStringList& parameters, int timeoutMs = kDefaultTimeoutMs);

    // First start: listens for later starts. A socket file left behind by a program that
    // ended abnormally is replaced; a live instance that does not answer is left alone and
    // this one runs without listening (false).
    bool Listen();
    bool IsListening() const;
    const QString& ServerName() const { return serverName_; }

signals:
    void ParametersReceived(const QStringList& parameters);

private:
    void AcceptConnections();
    void ReadParameters(QLocalSocket* socket);

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

} // namespace vexamo

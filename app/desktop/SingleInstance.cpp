// The lock file and the activation socket behind TSingleInstance.
#include "SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

constexpr char kRequest[] = "activate\n";
constexpr char kReply[] = "shown\n";

// The settings file's path with its folder's links resolved, so that two spellings of one file
// give one lock and one socket.
QString CanonicalSettingsPath(const QString& settingsFile) {
    const QFileInfo info(settingsFile);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

// "kelvane-<user>-<16 hex digits of the settings path's hash>"
QString InstanceName(const QString& canonicalSettings) {
    const QByteArray hash =
        QCryptographicHash::hash(canonicalSettings.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("kelvane-%1-%2")
        .arg(static_cast<qulonglong>(getuid()))
        .arg(QString::fromLatin1(hash.toHex().left(16)));
}

}  // namespace

TSingleInstance::TSingleInstance(const QString& settingsFile, QObject* parent) : QObject(parent) {
    const QString canonical = CanonicalSettingsPath(settingsFile);
    const QString name = InstanceName(canonical);
    lockPath_ = canonical + QStringLiteral(".lock");
    socketPath_ = RuntimeFolder() + QLatin1Char('/') + name + QStringLiteral(".socket");
    const QFileInfo folder(QFileInfo(lockPath_).absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        lockPath_ = RuntimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock");
}

TSingleInstance::~TSingleInstance() {
    if (server_ != nullptr)
        server_->close();  // removes the socket file
}

bool TSingleInstance::Claim() {
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // The lock lives as long as the program: it is stale only when its process is gone, never
    // because of its age.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        // A lock that cannot be made at all (a read-only folder) does not keep the program from
        // starting; only a lock held by a running program does.
        if (lock_->error() != QLockFile::LockFailedError) {
            Listen();
            return true;
        }
        return false;
    }
    Listen();
    return true;
}

void TSingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket of that name was left by a program that died.
    QLocalServer::removeServer(socketPath_);
    if (!server_->listen(socketPath_)) {
        qWarning("Kelvane: cannot listen for later starts on %s: %s", qPrintable(socketPath_),
                 qPrintable(server_->errorString()));
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::Serve);
}

void TSingleInstance::Serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(64);
            if (line == kRequest) {
                emit ActivationRequested();
                socket->write(kReply);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool TSingleInstance::ActivateRunning(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(
                static_cast<int>(qMin<qint64>(500, deadline.remainingTime())))) {
            socket.write(kRequest);
            if (socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
                QByteArray reply;
                while (!reply.contains('\n') && !deadline.hasExpired() &&
                       socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                    reply += socket.readAll();
                }
                if (reply == kReply)
                    return true;
            }
        }
        // The running program may not listen yet: it is still building its window.
        QThread::msleep(100);
    }
    return false;
}

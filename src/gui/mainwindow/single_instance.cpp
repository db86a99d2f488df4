#include "gui/mainwindow/single_instance.h"
#include "gui/common/qtext.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace movra {
namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& programFolder, QObject* parent)
    : QObject(parent) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(programFolder, ec);
    if (ec) canonical = programFolder;
    const QString folder = PathToQString(canonical);
    // One copy per program folder: the name of the system's mutex, made unique for the folder.
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    serverName_ = QStringLiteral("movra-for-win-") + QString::fromLatin1(hash);
    lock_ = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral(".movra.lock")));
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_ != nullptr) server_->close();
    if (lock_) lock_->unlock();
}

bool SingleInstance::TryLock() { return lock_->tryLock(100); }

bool SingleInstance::RaiseRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(1000)) return false;
    socket.write(kRaise);
    const bool written = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return written;
}

bool SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    // A socket left by a copy that crashed is stale: this copy holds the lock now.
    QLocalServer::removeServer(serverName_);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            auto answer = [this, socket] {
                if (socket->bytesAvailable() == 0) return;
                if (socket->readAll().contains("raise")) emit raiseRequested();
                socket->disconnectFromServer();
            };
            connect(socket, &QLocalSocket::readyRead, this, answer);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            answer();
        }
    });
    return true;
}

}  // namespace movra

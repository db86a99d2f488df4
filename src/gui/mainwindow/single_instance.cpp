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

bool SingleInstance::RaiseRunningCopy(const QString& file) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(1000)) return false;
    QByteArray message(kRaise);
    if (!file.isEmpty()) message += "\nopen:" + file.toUtf8() + "\n";
    socket.write(message);
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
            // The message is read whole once the other copy has gone: "raise", and the file it
            // was asked to open as a line "open:<path>".
            auto take = [socket] { socket->setProperty("message", socket->property("message").toByteArray() + socket->readAll()); };
            auto answer = [this, socket, take] {
                take();
                const QByteArray message = socket->property("message").toByteArray();
                if (message.contains("raise")) emit raiseRequested();
                for (const QByteArray& line : message.split('\n')) {
                    if (line.startsWith("open:")) emit openRequested(QString::fromUtf8(line.mid(5)));
                }
                socket->deleteLater();
            };
            connect(socket, &QLocalSocket::readyRead, this, take);
            connect(socket, &QLocalSocket::disconnected, this, answer);
            take();
        }
    });
    return true;
}

}  // namespace movra

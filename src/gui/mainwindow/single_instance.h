#pragma once
// The single running copy: a lock file in the program folder marks the running copy, and a local
// socket lets a second copy ask it to come to the front before the second one ends.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

namespace movra {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const std::filesystem::path& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock; false when another running copy holds it.
    bool TryLock();
    // Asks the running copy to bring its window to the front, and to open `file` when one is
    // given; false when it cannot be reached.
    bool RaiseRunningCopy(const QString& file = {});
    // Starts answering later copies (after TryLock succeeded).
    bool Listen();

signals:
    void raiseRequested();
    void openRequested(const QString& file);

private:
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace movra

#pragma once

#include <QFileSystemWatcher>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace ornvale {

// The one-instance rule. The first instance holds a lock file in the given folder for as long
// as it runs; a later one finds the lock taken, leaves a raise request beside it and ends. The
// running instance sees the request and brings its window to the front.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only instance (the lock is now held). A folder that cannot be used
    // counts as no other instance: being unable to tell must not keep the program from starting.
    bool acquire();
    // Asks the running instance to show its window.
    void requestRaise();

    QString lockPath() const;
    QString raiseRequestPath() const;

signals:
    void raiseRequested();

private:
    void checkRaiseRequest();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QFileSystemWatcher m_watcher;
};

} // namespace ornvale

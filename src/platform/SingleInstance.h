#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace ornvale {

// The one-instance rule. The first instance holds a lock file in the given folder for as long
// as it runs; a later one finds the lock taken and ends without showing anything.
class SingleInstance {
public:
    explicit SingleInstance(const QString& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the only instance (the lock is now held). A folder that cannot be used
    // counts as no other instance: being unable to tell must not keep the program from starting.
    bool acquire();

    QString lockPath() const;

private:
    bool takeOverOwnLeftover(QLockFile& lock);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace ornvale

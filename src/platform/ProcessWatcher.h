#pragma once

#include <QObject>
#include <QtGlobal>

#include <memory>

namespace ornvale {

// Watches a started program (by process id) for its end without polling it in a loop, and can
// end it. The program need not be a child of this process.
class ProcessWatcher : public QObject {
    Q_OBJECT
public:
    explicit ProcessWatcher(QObject* parent = nullptr);
    ~ProcessWatcher() override;

    // Starts watching; ended() follows once the process is gone (at once when it already is).
    void watch(qint64 pid);
    void stop();
    bool isRunning() const { return m_running; }
    // Asks the process to end (SIGTERM; TerminateProcess on Windows).
    void terminate();

signals:
    void ended();

private:
    void markEnded();

    struct Handle;
    std::unique_ptr<Handle> m_handle;
    qint64 m_pid = 0;
    bool m_running = false;
};

} // namespace ornvale

#pragma once

#include "ProgramStarter.h"

#include <QObject>
#include <QtGlobal>

#include <memory>

class QTimer;

namespace ornvale {

// Watches a started program and every process it started in turn (its process group on Linux,
// its job object on Windows) until the last of them is gone, without polling while the program
// itself runs, and can end them all. The program need not be a child of this process.
class ProcessWatcher : public QObject {
    Q_OBJECT
public:
    explicit ProcessWatcher(QObject* parent = nullptr);
    ~ProcessWatcher() override;

    // Starts watching; ended() follows once the whole tree is gone (at once when it already is).
    void watch(const StartedProgram& program);
    // Stops watching; whatever runs goes on running.
    void stop();
    bool isRunning() const { return m_running; }
    // Asks every process of the tree to end; what still runs kForceAfterMs later is killed.
    // ended() follows once the tree is gone.
    void terminate();
    // terminate(), then waits for the tree to be gone (for a watcher about to be destroyed);
    // gives up after a few seconds past the kill.
    void terminateAndWait();

    static constexpr int kForceAfterMs = 3000;
    static constexpr int kTreePollMs = 200;

signals:
    void ended();

private:
    void leaderEnded();
    void checkTree();
    void markEnded();

    // The platform's part: the handle on the program, which calls leaderEnded() once the program
    // itself has ended; whether any process of the tree still runs; a signal to all of them.
    struct Handle;
    struct HandleDeleter {
        void operator()(Handle* handle) const;
    };
    void openHandle();
    bool treeGone() const;
    void signalTree(bool kill) const;

    std::unique_ptr<Handle, HandleDeleter> m_handle;
    StartedProgram m_program;
    QTimer* m_treePoll = nullptr;
    QTimer* m_forceTimer = nullptr;
    bool m_running = false;
};

} // namespace ornvale

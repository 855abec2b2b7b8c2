#pragma once

#include <QObject>
#include <QtGlobal>

class QTimer;

namespace ornvale {

// The watchdog of a job's wait: stalled() when no new output has appeared for the limit. Each
// output seen starts the limit again. Minutes in use; ORNVALE_TEST_STALL_MINUTE_MS (tests only)
// sets how many milliseconds one minute of the limit lasts.
class StallWatch : public QObject {
    Q_OBJECT
public:
    explicit StallWatch(QObject* parent = nullptr);

    // The limit of a number of minutes in milliseconds; 0 for none.
    static qint64 limitMs(int minutes);

    // Watches with a limit in milliseconds; 0 or less watches nothing.
    void start(qint64 limitMs);
    void stop();
    bool isActive() const { return m_limitMs > 0; }
    qint64 currentLimitMs() const { return m_limitMs; }
    // A new output appeared: the limit starts again.
    void outputSeen();
    // The limit has passed (the timer's end; tests call it to pass the limit at a state they
    // chose instead of waiting for the clock).
    void expire();

signals:
    void stalled();

private:
    void restart();

    QTimer* m_timer;
    qint64 m_limitMs = 0;
};

} // namespace ornvale

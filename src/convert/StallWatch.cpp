#include "StallWatch.h"

#include <QTimer>

#include <limits>

namespace ornvale {

StallWatch::StallWatch(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("StallWatch"));
    m_timer->setSingleShot(true);
    // A coarse timer may fire a few per cent early; the limit must never be cut short.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &StallWatch::expire);
}

qint64 StallWatch::limitMs(int minutes) {
    if (minutes <= 0)
        return 0;
    bool ok = false;
    const qint64 minuteMs = qEnvironmentVariableIntValue("ORNVALE_TEST_STALL_MINUTE_MS", &ok);
    return qint64(minutes) * (ok && minuteMs > 0 ? minuteMs : 60'000);
}

void StallWatch::start(qint64 limitMs) {
    m_limitMs = qMax<qint64>(limitMs, 0);
    restart();
}

void StallWatch::stop() {
    m_limitMs = 0;
    m_timer->stop();
}

void StallWatch::outputSeen() {
    restart();
}

void StallWatch::expire() {
    if (isActive())
        emit stalled();
}

void StallWatch::restart() {
    if (!isActive()) {
        m_timer->stop();
        return;
    }
    // The longest limit (999 minutes) is well inside one timer's range.
    m_timer->start(int(qMin<qint64>(m_limitMs, std::numeric_limits<int>::max())));
}

} // namespace ornvale

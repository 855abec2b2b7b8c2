#include "TextRunProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include <utility>

namespace ornvale {

namespace {
// Often enough for a smooth bar and a window that answers at once; seldom enough that a batch
// of small files does not spend its time repainting.
constexpr qint64 kEventIntervalMs = 25;
} // namespace

TextRunProgress::TextRunProgress(QProgressBar& bar, QLabel& finished,
                                 std::function<void()> showCounters)
    : m_bar(bar), m_finished(finished), m_showCounters(std::move(showCounters)) {}

void TextRunProgress::fileStarted(int index, int count, const QString& inputPath) {
    Q_UNUSED(count)
    Q_UNUSED(inputPath)
    if (index == 0) {
        m_finished.setText(QStringLiteral("0"));
        m_sinceEvents.invalidate(); // show the disabled window and the bar at once
    }
    m_showCounters();
    m_bar.setValue(0);
    processEvents();
}

void TextRunProgress::fileProgress(qint64 bytesRead, qint64 bytesTotal) {
    m_showCounters();
    m_bar.setValue(percent(bytesRead, bytesTotal));
    processEvents();
}

void TextRunProgress::fileFinished(int finished, const DxfRewriteResult& result) {
    Q_UNUSED(result)
    m_showCounters();
    m_finished.setText(QString::number(finished));
    processEvents();
}

void TextRunProgress::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

} // namespace ornvale

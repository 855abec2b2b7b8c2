#pragma once

#include "DxfRewriteObserver.h"

#include <QElapsedTimer>

#include <functional>

class QLabel;
class QProgressBar;

namespace ornvale {

// Shows a text run in the text window while the driver works on the window's thread: the
// current file's share read on the progress bar, the files finished in Label16, and the counts
// so far as often as the bar moves. Between two blocks of a file it lets the window process its
// events, so it repaints and can be closed.
class TextRunProgress : public DxfRewriteObserver {
public:
    TextRunProgress(QProgressBar& bar, QLabel& finished, std::function<void()> showCounters);

    void fileStarted(int index, int count, const QString& inputPath) override;
    void fileProgress(qint64 bytesRead, qint64 bytesTotal) override;
    void fileFinished(int finished, const DxfRewriteResult& result) override;

private:
    void processEvents();

    QProgressBar& m_bar;
    QLabel& m_finished;
    std::function<void()> m_showCounters;
    QElapsedTimer m_sinceEvents;
};

} // namespace ornvale

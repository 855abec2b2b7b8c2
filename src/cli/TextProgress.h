#pragma once

#include "DxfRewriteObserver.h"
#include "Prompter.h"

#include <QString>

namespace ornvale::cli {

// Shows the run on a terminal (files done / files and the current file's percentage) on one
// stderr line, and passes messages on, clearing that line first so they stay readable. Shows
// nothing when stderr is not a terminal.
class TextProgress : public DxfRewriteObserver, public Prompter {
public:
    TextProgress(Prompter& messages, bool onTerminal);
    ~TextProgress() override;

    void fileStarted(int index, int count, const QString& inputPath) override;
    void fileProgress(qint64 bytesRead, qint64 bytesTotal) override;
    void fileFinished(int finished, const DxfRewriteResult& result) override;

    void inform(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title) override;
    void warnRetry(const QString& text, const QString& title) override;

private:
    void show(int percent);
    void clear();

    Prompter& m_messages;
    bool m_onTerminal;
    bool m_lineShown = false;
    int m_index = 0;
    int m_count = 0;
    int m_percent = -1;
    QString m_name;
};

} // namespace ornvale::cli

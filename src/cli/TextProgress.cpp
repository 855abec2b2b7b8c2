#include "TextProgress.h"

#include "TerminalText.h"

#include <QFileInfo>

#include <cstdio>

namespace ornvale::cli {

TextProgress::TextProgress(Prompter& messages, bool onTerminal)
    : m_messages(messages), m_onTerminal(onTerminal) {}

TextProgress::~TextProgress() {
    clear();
}

void TextProgress::fileStarted(int index, int count, const QString& inputPath) {
    m_index = index;
    m_count = count;
    m_name = terminalText(QFileInfo(inputPath).fileName());
    m_percent = -1;
}

void TextProgress::fileProgress(qint64 bytesRead, qint64 bytesTotal) {
    const int percent = DxfRewriteObserver::percent(bytesRead, bytesTotal);
    if (percent != m_percent)
        show(percent);
}

void TextProgress::fileFinished(int finished, const DxfRewriteResult&) {
    m_index = finished;
    if (finished == m_count)
        clear();
}

void TextProgress::show(int percent) {
    m_percent = percent;
    if (!m_onTerminal)
        return;
    const QByteArray line = QStringLiteral("\r\033[K[%1/%2] %3% %4")
                                .arg(m_index)
                                .arg(m_count)
                                .arg(percent, 3)
                                .arg(m_name)
                                .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    m_lineShown = true;
}

void TextProgress::clear() {
    if (!m_lineShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_lineShown = false;
}

void TextProgress::inform(const QString& text, const QString& title) {
    clear();
    m_messages.inform(text, title);
}

bool TextProgress::askYesNo(const QString& text, const QString& title) {
    clear();
    return m_messages.askYesNo(text, title);
}

void TextProgress::warnRetry(const QString& text, const QString& title) {
    clear();
    m_messages.warnRetry(text, title);
}

} // namespace ornvale::cli

#pragma once

#include "Prompter.h"
#include "TerminalText.h"

#include <cstdio>

namespace ornvale::cli {

// Messages a window would show in a box, printed on stderr without their title, each CR LF as
// a line end. Questions are answered yes: a batch user asked for the run by starting it.
class StderrPrompter : public Prompter {
public:
    void inform(const QString& text, const QString&) override { print(text); }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString& text, const QString&) override { print(text); }

private:
    // The messages name files, whose names may hold control characters.
    static void print(const QString& text) {
        const QByteArray bytes = terminalText(text).toUtf8();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
        std::fputc('\n', stderr);
    }
};

} // namespace ornvale::cli

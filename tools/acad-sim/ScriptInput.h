#pragma once

#include "SimProduct.h"
#include "SimStop.h"

#include <QList>
#include <QString>

namespace ornvale::acadsim {

class Transcript;

// One line of the script as AutoCAD reads it.
struct ScriptLine {
    int number = 0; // from 1
    QString text;   // decoded from code page 932, without its line end
    QString fault;  // why the line cannot be read as one; empty for a good line
};

// The script seen as keystrokes: every prompt takes the next line, and a line that does not
// answer the prompt stops the session. AutoCAD would show the prompt again or take the line
// for something else; the simulator stops at once and says where, so a wrong script never
// goes unnoticed.
class ScriptInput {
public:
    ScriptInput(QList<ScriptLine> lines, QString productName, Transcript& transcript);

    // The script's lines: code page 932, each ended by CR LF. A line that breaks these rules
    // is kept with its fault and stops the session only when it is reached. Throws SimStop
    // when the file cannot be read.
    static QList<ScriptLine> read(const QString& path);

    bool atEnd() const { return m_next >= m_lines.size(); }
    // The line read last; line 0 before the first.
    const ScriptLine& current() const;

    // The next line as the answer to the prompt.
    QString next(const QString& prompt);
    // Yes or No in any letter case or abbreviation; Enter gives the default.
    bool yesNo(const QString& prompt, bool defaultYes);
    // The index of the keyword the next line chooses; Enter gives defaultIndex when it is 0 or
    // more, and is refused otherwise.
    qsizetype choose(const QString& prompt, const QList<Keyword>& keywords,
                     qsizetype defaultIndex = -1);
    // A file path: in double quotes, or without blanks and quotes. Enter gives fallback when
    // that is not empty.
    QString path(const QString& prompt, const QString& fallback = {});

    // Stops the session at the line read last: it does not answer the prompt.
    [[noreturn]] void reject(const QString& prompt, const QString& why) const;
    // Stops the session at the line read last: AutoCAD cannot do what it asks.
    [[noreturn]] void refuse(const QString& why) const;

    QString where() const;

private:
    QList<ScriptLine> m_lines;
    qsizetype m_next = 0;
    QString m_productName;
    Transcript& m_transcript;
};

} // namespace ornvale::acadsim

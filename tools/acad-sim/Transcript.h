#pragma once

#include <QFile>
#include <QString>

namespace ornvale::acadsim {

// An optional record of every prompt with the line that answered it, and of the simulator's
// own notes (delays, faults), as UTF-8 lines. Written unbuffered, so a test watching the file
// sees a note as soon as it is made, also when the process then hangs or crashes.
class Transcript {
public:
    // Starts a new record at path; an empty path records nothing. False when it cannot be made.
    bool open(const QString& path);

    void answer(const QString& prompt, const QString& line);
    void note(const QString& text);

private:
    void write(const QString& text);

    QFile m_file;
};

} // namespace ornvale::acadsim

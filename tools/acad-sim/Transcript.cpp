#include "Transcript.h"

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

bool Transcript::open(const QString& path) {
    if (path.isEmpty())
        return true;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void Transcript::answer(const QString& prompt, const QString& line) {
    write(prompt + u' ' + line);
}

void Transcript::note(const QString& text) {
    write(u"; "_s + text);
}

void Transcript::write(const QString& text) {
    if (!m_file.isOpen())
        return;
    m_file.write((text + u'\n').toUtf8());
}

} // namespace ornvale::acadsim

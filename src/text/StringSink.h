#pragma once

#include <QString>

namespace ornvale {

// Writes characters through a raw pointer into room the caller has made (at most twice the
// input for every conversion here); end() is where the next character goes. Lets the protection
// run the conversions piece by piece into one buffer without resizing it for every piece.
class RawSink {
public:
    explicit RawSink(char16_t* out) : m_p(out) {}

    void put(char16_t c) { *m_p++ = c; }
    void put(QChar c) { *m_p++ = c.unicode(); }
    void putCodePoint(char32_t c) {
        if (QChar::requiresSurrogates(c)) {
            put(QChar::highSurrogate(c));
            put(QChar::lowSurrogate(c));
        } else {
            put(char16_t(c));
        }
    }
    char16_t* end() const { return m_p; }

private:
    char16_t* m_p;
};

// Appends characters to a QString through a raw pointer. The conversions write one character at
// a time, and QString::append(QChar) per character costs more than the conversion itself.
// Room for the worst case is made up front; the unused rest is cut off at the end.
class StringSink : public RawSink {
public:
    StringSink(QString& out, qsizetype maxAppended)
        : RawSink(makeRoom(out, maxAppended)), m_out(out), m_start(out.size() - maxAppended),
          m_begin(end()) {}
    ~StringSink() { m_out.truncate(m_start + (end() - m_begin)); }
    StringSink(const StringSink&) = delete;
    StringSink& operator=(const StringSink&) = delete;

private:
    static char16_t* makeRoom(QString& out, qsizetype maxAppended) {
        const qsizetype start = out.size();
        out.resize(start + maxAppended);
        return reinterpret_cast<char16_t*>(out.data()) + start;
    }

    QString& m_out;
    qsizetype m_start;
    const char16_t* m_begin;
};

} // namespace ornvale

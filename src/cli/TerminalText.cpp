#include "TerminalText.h"

namespace ornvale::cli {

namespace {

QString hex(char16_t c, int digits) {
    return QString::number(uint(c), 16).toUpper().rightJustified(digits, u'0');
}

} // namespace

QString terminalText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            shown += u'\n';
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            shown += QStringLiteral("\\x") + hex(c, 2);
        } else if (c >= 0x80 && c < 0xA0) {
            shown += QStringLiteral("\\u") + hex(c, 4);
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

} // namespace ornvale::cli

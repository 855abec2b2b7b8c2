#include "ScriptInput.h"

#include "Cp932Codec.h"
#include "Transcript.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

ScriptLine lineAt(int number, QByteArrayView bytes, bool ended) {
    ScriptLine line;
    line.number = number;
    const Cp932Codec::Decoded decoded = Cp932Codec::decode(bytes);
    line.text = decoded.text;
    if (bytes.contains('\r') || bytes.contains('\n'))
        line.fault = u"a carriage return or line feed stands alone inside the line"_s;
    else if (!decoded.ok())
        line.fault = u"byte %1 is not code page 932"_s.arg(decoded.firstInvalidAt + 1);
    else if (!ended)
        line.fault = u"the last line does not end in CR LF"_s;
    return line;
}

// A blank outside double quotes ends an input in AutoCAD as Enter does.
bool hasBareBlank(const QString& text) {
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == u' ' && !quoted)
            return true;
    }
    return false;
}

const ScriptLine kNoLine;

} // namespace

ScriptInput::ScriptInput(QList<ScriptLine> lines, QString productName, Transcript& transcript)
    : m_lines(std::move(lines)), m_productName(std::move(productName)), m_transcript(transcript) {}

QList<ScriptLine> ScriptInput::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SimStop(ExitUsage, u"cannot read the script %1: %2"_s.arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QList<ScriptLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        lines.append(lineAt(static_cast<int>(lines.size() + 1),
                            QByteArrayView(bytes.constData() + start, stop - start), end >= 0));
        start = end < 0 ? bytes.size() : end + 2;
    }
    return lines;
}

const ScriptLine& ScriptInput::current() const {
    return m_next == 0 ? kNoLine : m_lines.at(m_next - 1);
}

QString ScriptInput::where() const {
    return u"line %1 \"%2\""_s.arg(current().number).arg(current().text);
}

void ScriptInput::reject(const QString& prompt, const QString& why) const {
    throw SimStop(ExitUnanswered, u"%1: %2 does not answer the prompt \"%3\": %4"_s.arg(
                                      m_productName, where(), prompt, why));
}

void ScriptInput::refuse(const QString& why) const {
    throw SimStop(ExitRefused, u"%1: %2: %3"_s.arg(m_productName, where(), why));
}

QString ScriptInput::next(const QString& prompt) {
    if (atEnd()) {
        throw SimStop(ExitUnanswered,
                      u"%1: the script ends after line %2 at the prompt \"%3\", unanswered"_s
                          .arg(m_productName)
                          .arg(current().number)
                          .arg(prompt));
    }
    const ScriptLine& line = m_lines.at(m_next++);
    m_transcript.answer(prompt, line.text);
    if (!line.fault.isEmpty())
        reject(prompt, line.fault);
    if (hasBareBlank(line.text))
        reject(prompt, u"a blank outside double quotes ends the input as Enter does"_s);
    return line.text;
}

bool ScriptInput::yesNo(const QString& prompt, bool defaultYes) {
    const qsizetype chosen =
        choose(prompt, {{u"Y"_s, u"Yes"_s}, {u"N"_s, u"No"_s}}, defaultYes ? 0 : 1);
    return chosen == 0;
}

qsizetype ScriptInput::choose(const QString& prompt, const QList<Keyword>& keywords,
                              qsizetype defaultIndex) {
    const QString text = next(prompt);
    if (text.isEmpty()) {
        if (defaultIndex < 0)
            reject(prompt, u"Enter does not choose anything here"_s);
        return defaultIndex;
    }
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        if (keywords[i].matches(text))
            return i;
    }
    QStringList words;
    for (const Keyword& keyword : keywords)
        words.append(keyword.word);
    reject(prompt, u"it is none of %1"_s.arg(words.join(u'/')));
}

QString ScriptInput::path(const QString& prompt, const QString& fallback) {
    const QString text = next(prompt);
    if (text.isEmpty()) {
        if (fallback.isEmpty())
            reject(prompt, u"Enter names no file here"_s);
        return fallback;
    }
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        const QString inner = text.mid(1, text.size() - 2);
        if (!inner.isEmpty() && !inner.contains(u'"'))
            return inner;
    } else if (!text.contains(u'"')) {
        return text;
    }
    reject(prompt, u"double quotes must enclose the whole path"_s);
}

} // namespace ornvale::acadsim

#include "OutputCheck.h"

#include "DrawingIdentifier.h"
#include "ReleaseTokens.h"

#include <QFile>
#include <QFileInfo>

namespace ornvale {

namespace {

constexpr qint64 kTailChunk = 4096;

bool isTrailingBlank(char c) {
    // 0x1A: the end-of-file mark some writers put after the last line.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a' || c == '\0';
}

} // namespace

QString OutputCheck::versionOfToken(const QString& token) {
    static const QList<std::pair<QString, QString>> codes = {
        {QStringLiteral("R12"), QStringLiteral("AC1009")},
        {QStringLiteral("R13"), QStringLiteral("AC1012")},
        {QStringLiteral("R14"), QStringLiteral("AC1014")},
        {QStringLiteral("2000"), QStringLiteral("AC1015")},
        {QStringLiteral("2004"), QStringLiteral("AC1018")},
        {QStringLiteral("2007"), QStringLiteral("AC1021")},
    };
    for (const auto& [name, code] : codes) {
        if (name == token)
            return code;
    }
    return {};
}

QString OutputCheck::expectedVersion(const ConversionOptions& options, quint8 selectionCode) {
    const QString token = options.outputFormat == OutputFormat::Dxf
                              ? dxfReleaseToken(selectionCode, options.dxfVersionIndex)
                              : dwgReleaseToken(selectionCode, options.dwgVersionIndex);
    return versionOfToken(token);
}

OutputCheckResult OutputCheck::check(const QString& path, const QString& expected) {
    OutputCheckResult result;
    const QFileInfo info(path);
    result.exists = info.isFile();
    if (!result.exists)
        return result;
    const DrawingFormat format = DrawingIdentifier::classify(path);
    if (const std::optional<QByteArray> code = DrawingIdentifier::readVersionCode(path, format))
        result.version = QString::fromLatin1(*code);
    result.empty = info.size() == 0;
    result.whole = !result.empty && (format != DrawingFormat::Dxf || dxfHasEnd(path));
    result.versionMatches = expected.isEmpty() || result.version == expected;
    return result;
}

// Read from the end in small pieces: a padded file may end in any number of blanks.
bool OutputCheck::dxfHasEnd(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray tail; // the last line's text found so far, backwards from its end
    bool inLine = false;
    for (qint64 end = file.size(); end > 0;) {
        const qint64 start = qMax<qint64>(0, end - kTailChunk);
        if (!file.seek(start))
            return false;
        const QByteArray chunk = file.read(end - start);
        if (chunk.size() != end - start)
            return false;
        for (qsizetype i = chunk.size() - 1; i >= 0; --i) {
            const char c = chunk.at(i);
            if (!inLine) {
                inLine = !isTrailingBlank(c);
                if (!inLine)
                    continue;
            }
            if (c == '\r' || c == '\n')
                return tail.trimmed() == "EOF";
            tail.prepend(c);
            if (tail.size() > 16)
                return false;
        }
        end = start;
    }
    return tail.trimmed() == "EOF";
}

QString OutputCheck::finding(const OutputCheckResult& result, const QString& expected) {
    if (result.ok())
        return {};
    if (!result.exists)
        return QStringLiteral("出力ファイルがありません。");
    if (result.empty)
        return QStringLiteral("出力ファイルが空です。");
    QString text;
    if (!result.versionMatches) {
        text += result.version.isEmpty()
                    ? QStringLiteral("出力ファイルのバージョンを読み取れません")
                    : QStringLiteral("出力ファイルのバージョンは %1 です").arg(result.version);
        text += QStringLiteral("（指定したリリースは %1）。").arg(expected);
    }
    if (!result.whole)
        text += QStringLiteral("出力ファイルが途中で切れています（末尾に EOF がありません）。");
    return text;
}

} // namespace ornvale

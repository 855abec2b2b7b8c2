#include "DrawingFile.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

constexpr qsizetype kVersionLength = 6;

} // namespace

DrawingFormat DrawingFile::formatOf(const QString& path) {
    return path.endsWith(u".dxf"_s, Qt::CaseInsensitive) ? DrawingFormat::Dxf : DrawingFormat::Dwg;
}

QString DrawingFile::extensionOf(DrawingFormat format) {
    return format == DrawingFormat::Dxf ? u".dxf"_s : u".dwg"_s;
}

DrawingFile::Span DrawingFile::dxfVersionLine(const QByteArray& content) {
    // Group code and value lines alternate; the value after "$ACADVER" and its group code.
    int linesAfterName = -1;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0)
            end = content.size();
        qsizetype textEnd = end;
        if (textEnd > start && content.at(textEnd - 1) == '\r')
            --textEnd;
        const QByteArrayView line(content.constData() + start, textEnd - start);
        if (linesAfterName >= 0 && ++linesAfterName == 2)
            return {start, textEnd};
        if (linesAfterName < 0 && line.trimmed() == "$ACADVER")
            linesAfterName = 0;
        start = next;
    }
    return {};
}

QString DrawingFile::versionOf(const QByteArray& content, DrawingFormat format) {
    if (format == DrawingFormat::Dwg) {
        if (content.size() < kVersionLength)
            return {};
        return QString::fromLatin1(content.left(kVersionLength));
    }
    const Span span = dxfVersionLine(content);
    if (span.start < 0)
        return u"AC1009"_s;
    return QString::fromLatin1(
        QByteArrayView(content.constData() + span.start, span.end - span.start).trimmed());
}

QByteArray DrawingFile::withVersion(const QByteArray& content, DrawingFormat format,
                                    const QString& versionCode) {
    QByteArray copy = content;
    const QByteArray code = versionCode.toLatin1();
    if (format == DrawingFormat::Dwg) {
        if (copy.size() < kVersionLength)
            return newDrawing(format, versionCode);
        copy.replace(0, kVersionLength, code);
        return copy;
    }
    const Span span = dxfVersionLine(copy);
    if (span.start < 0)
        return newDrawing(format, versionCode);
    copy.replace(span.start, span.end - span.start, code);
    return copy;
}

QByteArray DrawingFile::newDrawing(DrawingFormat format, const QString& versionCode) {
    const QByteArray code = versionCode.toLatin1();
    if (format == DrawingFormat::Dwg)
        return code + QByteArray(250, '\0');
    return "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n" + code +
           "\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

QByteArray DrawingFile::resized(const QByteArray& content, DrawingFormat format, qint64 size) {
    qsizetype keep = qMin<qsizetype>(kVersionLength, content.size());
    if (format == DrawingFormat::Dxf) {
        const Span span = dxfVersionLine(content);
        keep = span.start < 0 ? 0 : span.end;
    }
    const qsizetype wanted = qMax<qsizetype>(keep, static_cast<qsizetype>(size));
    if (wanted <= content.size())
        return content.left(wanted);
    const char pad = format == DrawingFormat::Dwg ? '\0' : ' ';
    return content + QByteArray(wanted - content.size(), pad);
}

QByteArray DrawingFile::truncated(const QByteArray& content, DrawingFormat format) {
    if (format == DrawingFormat::Dwg)
        return {};
    const Span span = dxfVersionLine(content);
    if (span.start < 0)
        return content.left(content.size() / 2);
    return content.left(span.end) + "\r\n";
}

bool DrawingFile::isWriteProtected(const QString& path) {
    constexpr QFile::Permissions anyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (QFileInfo(path).permissions() & anyWrite) == 0;
}

bool DrawingFile::write(const QString& path, const QByteArray& content, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace ornvale::acadsim

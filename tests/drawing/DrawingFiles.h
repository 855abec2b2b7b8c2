#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

namespace ornvale::test {

// Header lines of a DXF as AutoCAD writes them, up to and including the version code.
inline QByteArray dxfHead(const QByteArray& code, const QByteArray& lineEnd = "\r\n") {
    const QList<QByteArray> lines{"  0", "SECTION",  "  2", "HEADER",
                                  "  9", "$ACADVER", "  1", code};
    return lines.join(lineEnd) + lineEnd + "  9" + lineEnd + "$DWGCODEPAGE" + lineEnd;
}

// A DWG starts with its six-character code and goes on in binary with no CR for a while.
inline QByteArray dwgHead(const QByteArray& code) {
    return code + QByteArray(64, '\0') + QByteArray(32, '\x7f');
}

// Writes bytes to dir/name (creating sub-folders) and returns the path with native separators.
inline QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir + QLatin1Char('/') + name;
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write fixture %s", qPrintable(path));
    return QDir::toNativeSeparators(path);
}

} // namespace ornvale::test

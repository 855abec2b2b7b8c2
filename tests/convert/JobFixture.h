#pragma once

#include "ProductGolden.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace ornvale::test {

inline QString simulatorExecutable() {
    return QStringLiteral(ORNVALE_BINARY_DIR "/tools/acad-sim/ornvale-acad-sim" ORNVALE_EXE_SUFFIX);
}

// What the simulator writes as the summary of a report without errors: the LT products up to
// 2006 use half-width katakana.
inline QString zeroSummaryOf(int selectionCode, int found = 0, int fixed = 0) {
    const bool halfWidth = selectionCode <= 7;
    return (halfWidth ? QStringLiteral("検出ｴﾗｰ総数 %1 修復数 %2")
                      : QStringLiteral("検出エラー総数 %1 修復数 %2"))
        .arg(found)
        .arg(fixed);
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A DWG of exactly `size` bytes: the version code, then filler.
inline QByteArray dwgBytes(qsizetype size, const QByteArray& version = "AC1015") {
    return version + QByteArray(qMax<qsizetype>(0, size - version.size()), '\x01');
}

// A DXF of exactly `size` bytes (at least about 120): header with the version, a comment that
// fills up, then the end.
inline QByteArray dxfBytes(qsizetype size, const QByteArray& version = "AC1015") {
    const QByteArray head = "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n" +
                            version + "\r\n  0\r\nENDSEC\r\n999\r\n";
    const QByteArray tail = "\r\n  0\r\nEOF\r\n";
    return head + QByteArray(qMax<qsizetype>(0, size - head.size() - tail.size()), 'x') + tail;
}

} // namespace ornvale::test

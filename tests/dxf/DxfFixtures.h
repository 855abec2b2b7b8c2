#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>

#include <initializer_list>

namespace ornvale::test {

// The text intake's refusals, as the user reads them.
inline const QString kIncompatibleMessage =
    QStringLiteral("互換性のないバージョンで作成されています。");
inline const QString kTooOldMessage =
    QStringLiteral("変換できません。(変換可能ファイル：DXF2000バージョン以上)");

// Lines joined with a line end after each (the last one too unless `lastEnd` is false).
inline QByteArray joinLines(const QByteArrayList& lines, const QByteArray& end = "\r\n",
                            bool lastEnd = true) {
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || lastEnd)
            out += end;
    }
    return out;
}

inline QByteArrayList headerLines(const QByteArray& version = "AC1018") {
    return {"  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", version, "  0", "ENDSEC"};
}

// A block definition holding one TEXT and one MTEXT entity.
inline QByteArrayList blocksLines() {
    return {"  0", "SECTION",  "  2", "BLOCKS",     "  0", "BLOCK",     "  2", "TITLE",
            "  0", "TEXT",     "100", "AcDbEntity", "100", "AcDbText",  "  1", "block text",
            "100", "AcDbText", "  0", "MTEXT",      "100", "AcDbMText", "  1", "block mtext",
            " 44", "1.0",      "  0", "ENDBLK",     "  0", "ENDSEC"};
}

inline QByteArrayList entitiesStart() {
    return {"  0", "SECTION", "  2", "ENTITIES"};
}
inline QByteArrayList fileEnd() {
    return {"  0", "ENDSEC", "  0", "EOF"};
}

inline QByteArrayList textEntity(const QByteArray& value) {
    return {"  0",      "TEXT", "100", "AcDbEntity", "  8", "0",   "100",
            "AcDbText", " 10",  "0.0", "  1",        value, "100", "AcDbText"};
}

inline QByteArrayList mtextEntity(const QByteArray& value) {
    return {"  0", "MTEXT", "100", "AcDbEntity", "100", "AcDbMText", "  1", value, " 44", "1.0"};
}

// A whole drawing: header, the blocks above, then the given entity lines.
inline QByteArray drawing(std::initializer_list<QByteArrayList> entities,
                          const QByteArray& version = "AC1018", const QByteArray& end = "\r\n") {
    QByteArrayList lines = headerLines(version) + blocksLines() + entitiesStart();
    for (const QByteArrayList& entity : entities)
        lines += entity;
    lines += fileEnd();
    return joinLines(lines, end);
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace ornvale::test

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ornvale {

// The first lines of a file, read with the drawing line rules: a line ends at CR; an LF right
// after that CR belongs to the line end; an LF anywhere else is an ordinary character.
// Reads at most maxBytes from the start of the file, so a file of any size costs the same.
struct HeadLines {
    enum class Failure { None, CannotOpen, TooFewLines, LineTooLong };

    QList<QByteArray> lines; // without their line ends
    Failure failure = Failure::None;

    bool ok() const { return failure == Failure::None; }

    // Reads up to `count` lines. The last of them needs no line end when the file ends there.
    static HeadLines read(const QString& path, int count, qsizetype maxBytes = 8192);
    // The same over bytes already in memory.
    static HeadLines split(const QByteArray& bytes, int count, bool wholeFile);
};

} // namespace ornvale

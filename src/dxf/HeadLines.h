#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ornvale {

// The first lines of a file, read with the drawing line rules: a line ends at CR; an LF right
// after that CR belongs to the line end; an LF anywhere else is an ordinary character.
// Reads at most kByteBound bytes from the start of the file, so a file of any size costs the
// same. The identification, the text intake and the driver read with this one bound, so none of
// them takes a file that another would refuse for a long first line.
struct HeadLines {
    static constexpr qsizetype kByteBound = 64 * 1024;

    enum class Failure { None, CannotOpen, TooFewLines, LineTooLong };

    QList<QByteArray> lines; // without their line ends
    Failure failure = Failure::None;

    bool ok() const { return failure == Failure::None; }

    // Reads up to `count` lines. The last of them needs no line end when the file ends there.
    static HeadLines read(const QString& path, int count);
    // The same over bytes already in memory.
    static HeadLines split(const QByteArray& bytes, int count, bool wholeFile);
};

} // namespace ornvale

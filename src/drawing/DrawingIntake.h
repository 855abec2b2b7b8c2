#pragma once

#include "DropIntake.h"

#include <QtGlobal>

namespace ornvale {

// The main window's intake: drawings only, that can be read, of a version the AutoCAD selection
// opens, with a path that a script line can carry. A dropped folder is expanded before the
// intake sees its drawings (FolderExpansion).
class DrawingIntake : public DropIntake {
public:
    explicit DrawingIntake(quint8 autocadSelection = 0) : m_selection(autocadSelection) {}

    void setAutocadSelection(quint8 code) { m_selection = code; }
    quint8 autocadSelection() const { return m_selection; }

    Verdict examine(const QString& path, Prompter& prompter) const override;
    // Names ending in one of the four drawing endings.
    bool takesFromFolder(const QString& path) const override;
    QString emptyFolderReason() const override;

    // The script is line based, quotes paths and is written in code page 932: CR, LF, a double
    // quote or a character outside the code page cannot be carried by any script line.
    static bool isScriptSafe(const QString& path);
    static QString unsafePathReason();

private:
    quint8 m_selection;
};

} // namespace ornvale

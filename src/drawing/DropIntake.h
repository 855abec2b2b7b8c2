#pragma once

#include <QString>

namespace ornvale {

class Prompter;

// A window's rule for one dropped path: pass over it silently, refuse it (after showing its own
// message) or stage it for the list. The main window and the text window differ only here.
class DropIntake {
public:
    enum class Verdict { Skip, Refuse, Accept };

    virtual ~DropIntake() = default;
    virtual Verdict examine(const QString& path, Prompter& prompter) const = 0;

    // Whether a file found inside a dropped folder is one this intake examines. The others are
    // left out unseen: dropping a folder asks for its drawings, not for each file in it.
    virtual bool takesFromFolder(const QString& path) const = 0;
    // The reason shown for a dropped folder that holds none of them.
    virtual QString emptyFolderReason() const = 0;
};

} // namespace ornvale

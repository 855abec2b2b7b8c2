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
};

} // namespace ornvale

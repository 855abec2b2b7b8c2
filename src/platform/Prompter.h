#pragma once

#include <QString>

namespace ornvale {

// Every message the program shows goes through this interface: the windows implement it with
// modal message boxes, the command line prints to stderr, tests record what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A box with one OK button.
    virtual void inform(const QString& text, const QString& title) = 0;
    // A question with Yes and No buttons and the question icon; true for Yes.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // The 0x26 style box (question icon, Cancel / Try Again / Continue); the answer is not used.
    virtual void warnRetry(const QString& text, const QString& title) = 0;
};

} // namespace ornvale

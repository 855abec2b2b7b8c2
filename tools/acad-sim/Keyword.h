#pragma once

#include <QString>

namespace ornvale::acadsim {

// A keyword of a prompt: typed as its abbreviation or as the whole word, in any letter case.
struct Keyword {
    QString abbreviation; // "LA"
    QString word;         // "LAyers", as the prompt shows it

    bool matches(const QString& input) const;
};

} // namespace ornvale::acadsim

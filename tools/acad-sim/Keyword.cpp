#include "Keyword.h"

namespace ornvale::acadsim {

bool Keyword::matches(const QString& input) const {
    if (input.isEmpty())
        return false;
    if (input.compare(abbreviation, Qt::CaseInsensitive) == 0 ||
        input.compare(word, Qt::CaseInsensitive) == 0)
        return true;
    // Anything between the abbreviation and the whole word, when the word starts with it.
    return word.startsWith(abbreviation, Qt::CaseInsensitive) &&
           input.size() > abbreviation.size() && word.startsWith(input, Qt::CaseInsensitive);
}

} // namespace ornvale::acadsim

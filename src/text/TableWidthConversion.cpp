#include "TableWidthConversion.h"

#include "SpecialCodeProtection.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ornvale {

namespace {

using Scope = SpecialCodeProtection::Scope;
using Shape = SpecialCodeProtection::Shape;
using Pieces = SpecialCodeProtection::Pieces;

bool sameText(QStringView a, QStringView b) {
    return a.size() == b.size() && std::memcmp(a.utf16(), b.utf16(), 2 * a.size()) == 0;
}

// True when no table can turn a text piece into (part of) a code; see the class comment.
bool sharedSplitFits(QStringView value, const Pieces& pieces) {
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const auto& piece = pieces[i];
        if (!piece.isText)
            continue;
        const QStringView text = value.mid(piece.start, piece.length);
        if (std::find(text.begin(), text.end(), u'%') != text.end())
            return false;
        const bool behindLoneBackslash = i > 0 && !pieces[i - 1].isText &&
                                         pieces[i - 1].length == 1 &&
                                         value[pieces[i - 1].start] == u'\\';
        if (behindLoneBackslash)
            return false;
    }
    return true;
}

// Runs the tables over one text piece in turn, noting which changed it; returns the end of the
// converted piece written at `out`.
char16_t* convertText(QStringView text, const TableWidthConversion::Steps& steps, char16_t* out,
                      TableWidthConversion::Changes& changed) {
    QVarLengthArray<char16_t, 128> buffers[2];
    QStringView current = text;
    for (qsizetype k = 0; k < steps.size(); ++k) {
        auto& buffer = buffers[k % 2]; // `current` lies in the other one, or in `text`
        buffer.resize(2 * current.size());
        const char16_t* end =
            CharacterTables::apply(steps[k].table, current, buffer.data(), steps[k].optionalRows);
        const QStringView converted(buffer.data(), end - buffer.data());
        changed[k] = changed[k] || !sameText(converted, current);
        current = converted;
    }
    return std::copy(current.utf16(), current.utf16() + current.size(), out);
}

} // namespace

void TableWidthConversion::convert(QStringView value, TextEntityKind kind, const Steps& steps,
                                   QString& out, Changes& changed) {
    Q_ASSERT(steps.size() <= 3);
    if (!convertShared(value, kind, steps, out, changed))
        convertStepByStep(value, kind, steps, out, changed);
}

bool TableWidthConversion::convertShared(QStringView value, TextEntityKind kind, const Steps& steps,
                                         QString& out, Changes& changed) {
    changed = {};
    if (value.isEmpty()) {
        out.resize(0);
        return true;
    }
    const Shape shape = SpecialCodeProtection::shape(value, kind, Scope::Width);
    if (shape == Shape::ViaPlaceholders)
        return false;
    Pieces pieces;
    if (shape == Shape::Split)
        SpecialCodeProtection::split(value, kind, Scope::Width, pieces);
    else
        pieces.append({0, value.size(), true, {}});
    if (!sharedSplitFits(value, pieces))
        return false;

    if (out.capacity() < 2 * value.size())
        out.resize(0);            // nothing to carry over when the buffer grows
    out.resize(2 * value.size()); // restored codes are never longer than their sources
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* p = begin;
    for (const auto& piece : pieces) {
        const QStringView source = value.mid(piece.start, piece.length);
        if (piece.isText) {
            p = convertText(source, steps, p, changed);
        } else {
            // The first sub-step writes codes back in their restored form ("%%C" as "%%c").
            changed[0] = changed[0] || piece.restored != source;
            p = std::copy(piece.restored.utf16(), piece.restored.utf16() + piece.restored.size(),
                          p);
        }
    }
    out.truncate(p - begin);
    return true;
}

void TableWidthConversion::convertStepByStep(QStringView value, TextEntityKind kind,
                                             const Steps& steps, QString& out, Changes& changed) {
    changed = {};
    QString current = value.toString();
    QString next;
    for (qsizetype k = 0; k < steps.size(); ++k) {
        const auto table = steps[k].table;
        const bool optionalRows = steps[k].optionalRows;
        // Nothing to protect and nothing the table converts: the value stays as it is.
        const Shape shape = SpecialCodeProtection::shape(current, kind, Scope::Width);
        if (shape == Shape::Plain && !CharacterTables::touches(table, current, optionalRows))
            continue;
        SpecialCodeProtection::convert(
            current, shape, kind, Scope::Width, next, [&](QStringView text, char16_t* converted) {
                return CharacterTables::apply(table, text, converted, optionalRows);
            });
        changed[k] = next != current;
        if (changed[k])
            std::swap(current, next);
    }
    out = current;
}

} // namespace ornvale

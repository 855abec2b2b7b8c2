#pragma once

#include "TextOptions.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

namespace ornvale {

// Hides AutoCAD's special codes from the width and case conversions and puts them back.
//
// BeforeTEXT1 / AfterTEXT1 (around each width-conversion sub-step) apply the fifty rows of the
// protection table: "\P" (MTEXT only), "￥", "%%%", "%%c" ... "%%u" in either case, "%%" with a
// full-width digit or capital, "\U+00B0" / "\U+00B1" / "\U+2205" (upper or lower), the
// "{\fProxy 1|b0|i0|c128|p0;" group with the value's final "}", and every remaining backslash.
// Each code becomes a 31-character placeholder of 凹 / 凸 / ん, restored in its normal form
// ("%%C" comes back as "%%c"). BeforeTEXT / AfterTEXT (around the case conversion) hide "\P" only.
//
// Two additions keep drawings intact:
//  - In TEXT and MTEXT, AutoCAD's character escapes "\U+hhhh" / "\u+hhhh" and "\M+nhhhh" are
//    hidden whole, in both scopes, and come back as written; without this, full width turns
//    "\U+4E00" into "\Ｕ＋４Ｅ００" and the character is lost.
//  - In MTEXT, after the table rows up to the Proxy group, every inline formatting code is hidden
//    whole (a backslash and one of A C c F f H Q T W p S up to the next ";" inclusive, or to the
//    end of the value; a backslash and one of L l O o K k P N X ~ \ { }), and so is every "{" and
//    "}" not escaped; otherwise full width turns "\fArial|b0;" into an unterminated font code.
// These extra codes are kept aside; their placeholder is one private-use character of planes 15
// and 16 carrying the code's index. Such characters already in a value are kept aside the same
// way, so restoring is unambiguous. (Beyond 131072 codes in one value the rest is left to the
// backslash row.)
//
// convert() is what the pipeline uses: it splits the value into text runs and codes in one scan
// and converts only the runs, which gives exactly the result of protect, convert, restore. A value
// holding 凹 or 凸 goes through the placeholder passes themselves, so that placeholder strings
// already in it behave as the passes make them (they come back as their codes).
class SpecialCodeProtection {
public:
    enum class Scope { Width, Case };

    // The placeholder with the given marker positions (2 ... 29).
    static QString placeholder(std::initializer_list<int> markerPositions);
    // The placeholder of a row of the table (1 ... 50).
    static QString rowPlaceholder(int row);

    void protect(QString& value, TextEntityKind kind, Scope scope);
    void restore(QString& value, TextEntityKind kind, Scope scope);

    // A piece of a value: text to convert, or a code to write as `restored`.
    struct Piece {
        qsizetype start = 0;
        qsizetype length = 0;
        bool isText = true;
        QStringView restored;
    };
    using Pieces = QVarLengthArray<Piece, 24>;

    enum class Shape { Plain, Split, ViaPlaceholders };
    // Plain: nothing to protect. Split: use split(). ViaPlaceholders: holds 凹 or 凸.
    static Shape shape(QStringView value, TextEntityKind kind, Scope scope);
    // Splits a value of shape Split; the restored views point into `value` or static storage.
    static void split(QStringView value, TextEntityKind kind, Scope scope, Pieces& pieces);

    // Protects, converts with run, restores; the result replaces the contents of `out` (whose
    // capacity is reused). run is either char16_t* run(QStringView in, char16_t* out), writing
    // at most 2 * in.size() characters and returning the end (the fast form: one buffer for all
    // pieces), or void run(QStringView in, QString& out), appending.
    template <class Run>
    static void convert(QStringView value, TextEntityKind kind, Scope scope, QString& out,
                        Run&& run) {
        convert(value, shape(value, kind, scope), kind, scope, out, run);
    }
    // The same for a value whose shape() the caller already has.
    template <class Run>
    static void convert(QStringView value, Shape valueShape, TextEntityKind kind, Scope scope,
                        QString& out, Run&& run) {
        if constexpr (std::is_invocable_r_v<char16_t*, Run, QStringView, char16_t*>)
            convertInto(value, valueShape, kind, scope, out, run);
        else
            convertAppending(value, valueShape, kind, scope, out, run);
    }

    template <class Run>
    static QString convert(QStringView value, TextEntityKind kind, Scope scope, Run&& run) {
        QString out;
        convert(value, kind, scope, out, run);
        return out;
    }

private:
    template <class Run>
    static void convertInto(QStringView value, Shape valueShape, TextEntityKind kind, Scope scope,
                            QString& out, Run& run) {
        if (value.isEmpty()) {
            out.resize(0);
            return;
        }
        // Restored codes are never longer than the codes they stand for, so twice the value is
        // room for every conversion.
        auto write = [&out](qsizetype room, auto&& fill) {
            if (out.capacity() < room)
                out.resize(0); // nothing to carry over when the buffer grows
            out.resize(room);
            char16_t* begin = reinterpret_cast<char16_t*>(out.data());
            out.truncate(fill(begin) - begin);
        };
        switch (valueShape) {
        case Shape::Plain:
            write(2 * value.size(), [&](char16_t* p) { return run(value, p); });
            break;
        case Shape::Split: {
            Pieces pieces;
            split(value, kind, scope, pieces);
            write(2 * value.size(), [&](char16_t* p) {
                for (const Piece& piece : pieces) {
                    if (piece.isText)
                        p = run(value.mid(piece.start, piece.length), p);
                    else
                        p = std::copy(piece.restored.utf16(),
                                      piece.restored.utf16() + piece.restored.size(), p);
                }
                return p;
            });
            break;
        }
        case Shape::ViaPlaceholders: {
            SpecialCodeProtection protection;
            QString hidden = value.toString();
            protection.protect(hidden, kind, scope);
            write(2 * hidden.size(), [&](char16_t* p) { return run(hidden, p); });
            protection.restore(out, kind, scope);
            break;
        }
        }
    }

    template <class Run>
    static void convertAppending(QStringView value, Shape valueShape, TextEntityKind kind,
                                 Scope scope, QString& out, Run& run) {
        out.resize(0);
        out.reserve(2 * value.size() + 8); // room for the longest conversion: no reallocation
        switch (valueShape) {
        case Shape::Plain:
            run(value, out);
            break;
        case Shape::Split: {
            Pieces pieces;
            split(value, kind, scope, pieces);
            for (const Piece& piece : pieces) {
                if (piece.isText)
                    run(value.mid(piece.start, piece.length), out);
                else
                    out.append(piece.restored);
            }
            break;
        }
        case Shape::ViaPlaceholders: {
            SpecialCodeProtection protection;
            QString hidden = value.toString();
            protection.protect(hidden, kind, scope);
            run(QStringView(hidden), out);
            protection.restore(out, kind, scope);
            break;
        }
        }
    }

    void protectExtraCodes(QString& value, TextEntityKind kind);
    void restoreExtraCodes(QString& value) const;

    QList<QString> m_extraCodes;
};

} // namespace ornvale

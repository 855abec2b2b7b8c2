#include "SpecialCodeProtection.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

using Scope = SpecialCodeProtection::Scope;

constexpr int kRowCount = 50;
constexpr int kPlaceholderLength = 31;
constexpr char16_t kConcave = u'凹', kConvex = u'凸', kN = u'ん';
constexpr QStringView kProxyGroup = u"{\\fProxy 1|b0|i0|c128|p0;";

// Extra codes are kept aside under private-use characters of planes 15 and 16: an index below
// 65536 as one plane-15 character, a larger one as a plane-16 character (high part) followed by
// a plane-15 character (low part). Their high surrogates are U+DB80 and above.
constexpr char32_t kPlane15 = 0xF0000, kPlane16 = 0x100000;
constexpr char16_t kFirstPrivateHighSurrogate = 0xDB80;

struct ProtectionRow {
    QList<QString> codes; // the forms replaced, in the order applied
    QString placeholder;
    QString restored;
};

void addRow(std::array<ProtectionRow, kRowCount>& rows, int row, QList<QString> codes,
            std::initializer_list<int> markers) {
    rows[row - 1] = {codes, SpecialCodeProtection::placeholder(markers), codes.first()};
}

std::array<ProtectionRow, kRowCount> buildRows() {
    std::array<ProtectionRow, kRowCount> rows;
    addRow(rows, 1, {u"\\P"_s}, {3});
    addRow(rows, 2, {u"￥"_s}, {});
    addRow(rows, 3, {u"%%%"_s}, {2});
    const char16_t letters[] = u"cdopu";
    for (int k = 0; k < 5; ++k) {
        const QString lower = u"%%"_s + QChar(letters[k]);
        addRow(rows, 4 + k, {lower, lower.toUpper()}, {2, 3 + k});
    }
    for (int d = 0; d < 10; ++d)
        addRow(rows, 9 + d, {u"%%"_s + QChar(char16_t(u'０' + d))}, {2, 8 + d});
    for (int n = 0; n < 12; ++n)
        addRow(rows, 19 + n, {u"%%"_s + QChar(char16_t(u'Ａ' + n))}, {2, 18 + n});
    for (int n = 0; n < 14; ++n)
        addRow(rows, 31 + n, {u"%%"_s + QChar(char16_t(u'Ｍ' + n))}, {2, 3, 4 + n});
    addRow(rows, 45, {u"\\U+00B0"_s, u"\\u+00b0"_s}, {2, 3, 18});
    addRow(rows, 46, {u"\\U+00B1"_s, u"\\u+00b1"_s}, {2, 3, 19});
    addRow(rows, 47, {u"\\U+2205"_s, u"\\u+2205"_s}, {2, 3, 20});
    addRow(rows, 48, {kProxyGroup.toString()}, {2, 3, 21});
    addRow(rows, 49, {u"}"_s}, {2, 3, 22});
    addRow(rows, 50, {u"\\"_s}, {4});
    return rows;
}

const std::array<ProtectionRow, kRowCount>& rowTable() {
    static const std::array<ProtectionRow, kRowCount> rows = buildRows();
    return rows;
}

const ProtectionRow& row(int number) {
    return rowTable()[number - 1];
}

bool isHex(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
}

bool isHexRun(QStringView v, qsizetype from, qsizetype count) {
    if (from + count > v.size())
        return false;
    for (qsizetype k = from; k < from + count; ++k) {
        if (!isHex(v[k]))
            return false;
    }
    return true;
}

// Length of a character escape starting at the backslash v[i]: \U+hhhh, \u+hhhh, \M+nhhhh.
qsizetype escapeLength(QStringView v, qsizetype i) {
    if (i + 2 >= v.size() || v[i + 2] != u'+')
        return 0;
    const QChar letter = v[i + 1];
    if ((letter == u'U' || letter == u'u') && isHexRun(v, i + 3, 4))
        return 7;
    if (letter == u'M' && i + 3 < v.size() && v[i + 3].isDigit() && v[i + 3].unicode() < 0x80 &&
        isHexRun(v, i + 4, 4))
        return 8;
    return 0;
}

// MTEXT formatting codes that run to the next ";" and those of two characters.
bool isRunCodeLetter(QChar c) {
    switch (c.unicode()) {
    case u'A':
    case u'C':
    case u'c':
    case u'F':
    case u'f':
    case u'H':
    case u'Q':
    case u'T':
    case u'W':
    case u'p':
    case u'S':
        return true;
    default:
        return false;
    }
}
bool isPairCodeChar(QChar c) {
    switch (c.unicode()) {
    case u'L':
    case u'l':
    case u'O':
    case u'o':
    case u'K':
    case u'k':
    case u'P':
    case u'N':
    case u'X':
    case u'~':
    case u'\\':
    case u'{':
    case u'}':
        return true;
    default:
        return false;
    }
}

// Every code, of the table or extra, starts with one of these characters.
constexpr auto kAsciiCodeStarts = [] {
    std::array<bool, 0x80> starts{};
    for (char16_t c : {u'\\', u'%', u'{', u'}'})
        starts[c] = true;
    return starts;
}();
bool mayStartCode(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x80 ? kAsciiCodeStarts[u] : u == u'￥';
}

// The table row whose code starts at v[i] (0 for none) and the code's length, as the ordered
// replace-all passes would find it: rows are mutually non-overlapping except "%%%" before "%%c".
struct TableScanner {
    QStringView v;
    bool mtext = false;
    bool width = false;
    // Whether the value holds the Proxy group; looked up at the first brace that asks.
    mutable int holdsProxyGroup = -1;

    struct Match {
        int row = 0; // 0: no table code starts here
        qsizetype length = 0;
    };

    bool proxyApplies() const {
        if (holdsProxyGroup < 0)
            holdsProxyGroup = v.contains(kProxyGroup);
        return holdsProxyGroup;
    }

    Match rowAt(qsizetype i) const {
        const QChar c = v[i];
        const qsizetype n = v.size();
        if (c == u'\\') {
            if (mtext && i + 1 < n && v[i + 1] == u'P')
                return {1, 2};
            const bool escape =
                i + 2 < n && (v[i + 1] == u'U' || v[i + 1] == u'u') && v[i + 2] == u'+';
            return width && escape ? escapeRow(i) : Match{};
        }
        if (!width)
            return {};
        if (c == u'￥')
            return {2, 1};
        if (c == u'%' && i + 2 < n && v[i + 1] == u'%')
            return {percentRow(v[i + 2].unicode()), 3};
        if (c == u'{' && proxyApplies() && v.mid(i).startsWith(kProxyGroup))
            return {48, kProxyGroup.size()};
        if (c == u'}' && i == n - 1 && proxyApplies())
            return {49, 1};
        return {};
    }

    // Rows 45 to 47 at a "\\U+" or "\\u+".
    Match escapeRow(qsizetype i) const {
        for (int r = 45; r <= 47; ++r) {
            for (const QString& code : row(r).codes) {
                if (v.size() - i >= code.size() &&
                    std::equal(code.cbegin(), code.cend(), v.begin() + i))
                    return {r, code.size()};
            }
        }
        return {};
    }

    static int percentRow(char16_t x) {
        switch (x) {
        case u'%':
            return 3;
        case u'c':
        case u'C':
            return 4;
        case u'd':
        case u'D':
            return 5;
        case u'o':
        case u'O':
            return 6;
        case u'p':
        case u'P':
            return 7;
        case u'u':
        case u'U':
            return 8;
        default:
            break;
        }
        if (x >= u'０' && x <= u'９')
            return 9 + (x - u'０');
        if (x >= u'Ａ' && x <= u'Ｌ')
            return 19 + (x - u'Ａ');
        if (x >= u'Ｍ' && x <= u'Ｚ')
            return 31 + (x - u'Ｍ');
        return 0;
    }
};

void appendCodePoint(QString& out, char32_t c) {
    out.append(QChar(QChar::highSurrogate(c)));
    out.append(QChar(QChar::lowSurrogate(c)));
}

} // namespace

QString SpecialCodeProtection::placeholder(std::initializer_list<int> markerPositions) {
    QString text(kPlaceholderLength, QChar(kConvex));
    text[0] = QChar(kConcave);
    for (int position : markerPositions) {
        Q_ASSERT(position >= 2 && position <= 29);
        text[position - 1] = QChar(kConcave);
    }
    text[29] = QChar(kN);
    text[30] = QChar(kConcave);
    return text;
}

QString SpecialCodeProtection::rowPlaceholder(int number) {
    return row(number).placeholder;
}

void SpecialCodeProtection::protect(QString& value, TextEntityKind kind, Scope scope) {
    const bool mtext = kind == TextEntityKind::MTextEntity;
    if (mtext)
        value.replace(row(1).codes.first(), row(1).placeholder);
    if (scope == Scope::Width) {
        for (int r = 2; r <= 47; ++r) {
            for (const QString& code : row(r).codes)
                value.replace(code, row(r).placeholder);
        }
        if (value.contains(kProxyGroup)) {
            value.replace(row(48).codes.first(), row(48).placeholder);
            if (value.endsWith(u'}')) {
                value.chop(1);
                value.append(row(49).placeholder);
            }
        }
    }
    protectExtraCodes(value, kind);
    if (scope == Scope::Width)
        value.replace(u'\\', row(50).placeholder);
}

void SpecialCodeProtection::restore(QString& value, TextEntityKind kind, Scope scope) {
    restoreExtraCodes(value);
    if (kind == TextEntityKind::MTextEntity)
        value.replace(row(1).placeholder, row(1).restored);
    if (scope == Scope::Width) {
        for (int r = 2; r <= kRowCount; ++r)
            value.replace(row(r).placeholder, row(r).restored);
    }
}

void SpecialCodeProtection::protectExtraCodes(QString& value, TextEntityKind kind) {
    const bool mtext = kind == TextEntityKind::MTextEntity;
    const qsizetype n = value.size();
    QString out;
    out.reserve(n);
    auto keepAside = [&](qsizetype start, qsizetype length) {
        const auto index = char32_t(m_extraCodes.size());
        m_extraCodes.append(value.mid(start, length));
        if (index >= 0x10000)
            appendCodePoint(out, kPlane16 + (index >> 16));
        appendCodePoint(out, kPlane15 + (index & 0xFFFF));
        return start + length;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = value[i];
        if (c.unicode() >= kFirstPrivateHighSurrogate && c.isHighSurrogate()) {
            i = keepAside(i, i + 1 < n && value[i + 1].isLowSurrogate() ? 2 : 1);
        } else if (c == u'\\' && escapeLength(value, i)) {
            i = keepAside(i, escapeLength(value, i));
        } else if (mtext && c == u'\\' && i + 1 < n && isRunCodeLetter(value[i + 1])) {
            const qsizetype semicolon = value.indexOf(u';', i + 2);
            i = keepAside(i, (semicolon < 0 ? n : semicolon + 1) - i);
        } else if (mtext && c == u'\\' && i + 1 < n && isPairCodeChar(value[i + 1])) {
            i = keepAside(i, 2);
        } else if (mtext && (c == u'{' || c == u'}')) {
            i = keepAside(i, 1);
        } else {
            out.append(c);
            ++i;
        }
    }
    value = out;
}

void SpecialCodeProtection::restoreExtraCodes(QString& value) const {
    if (m_extraCodes.isEmpty())
        return;
    const qsizetype n = value.size();
    QString out;
    out.reserve(n + 16);
    auto privateAt = [&](qsizetype i, char32_t plane) -> qint64 {
        if (i + 1 >= n || !value[i].isHighSurrogate() || !value[i + 1].isLowSurrogate())
            return -1;
        const char32_t c = QChar::surrogateToUcs4(value[i], value[i + 1]);
        return c >= plane && c < plane + 0x10000 ? qint64(c - plane) : -1;
    };
    for (qsizetype i = 0; i < n;) {
        qint64 index = -1;
        qsizetype length = 2;
        if (const qint64 high = privateAt(i, kPlane16); high >= 0) {
            const qint64 low = privateAt(i + 2, kPlane15);
            index = low >= 0 ? (high << 16) + low : -1;
            length = 4;
        } else {
            index = privateAt(i, kPlane15);
        }
        if (index >= 0 && index < m_extraCodes.size()) {
            out.append(m_extraCodes[index]);
            i += length;
        } else {
            out.append(value[i]);
            ++i;
        }
    }
    value = out;
}

SpecialCodeProtection::Shape SpecialCodeProtection::shape(QStringView value, TextEntityKind,
                                                          Scope) {
    // Compares only, no branch and no table: the loop vectorises, and the common case (kanji,
    // kana, Latin) costs a few instructions per eight characters. "%" and "￥" matter only for
    // the width scope; split() in the case scope simply finds no code in them.
    const char16_t* p = value.utf16();
    unsigned code = 0, placeholderCharacter = 0;
    for (qsizetype i = 0, n = value.size(); i < n; ++i) {
        const char16_t c = p[i];
        code |= (c == u'\\') | (c == u'%') | (c == u'{') | (c == u'}') | (c == u'￥');
        placeholderCharacter |= char16_t(c - kConvex) <= kConcave - kConvex;
    }
    if (placeholderCharacter)
        return Shape::ViaPlaceholders;
    return code ? Shape::Split : Shape::Plain;
}

void SpecialCodeProtection::split(QStringView v, TextEntityKind kind, Scope scope, Pieces& pieces) {
    if (!pieces.isEmpty())
        pieces.clear();
    TableScanner table;
    table.v = v;
    table.mtext = kind == TextEntityKind::MTextEntity;
    table.width = scope == Scope::Width;

    const qsizetype n = v.size();
    qsizetype textStart = 0;
    auto code = [&](qsizetype start, qsizetype length, QStringView restored) {
        if (start > textStart)
            pieces.append({textStart, start - textStart, true, {}});
        pieces.append({start, length, false, restored});
        textStart = start + length;
    };
    auto rawCode = [&](qsizetype start, qsizetype length) {
        code(start, length, v.mid(start, length));
    };
    // A formatting code up to ";": kept as written, except table codes inside it, which come
    // back in their restored form as the placeholder passes would give them.
    auto runCode = [&](qsizetype start) {
        qsizetype rawStart = start;
        qsizetype j = start + 2;
        while (j < n) {
            if (!mayStartCode(v[j]) && v[j] != u';') {
                ++j;
                continue;
            }
            if (const auto match = table.rowAt(j); match.row) {
                if (j > rawStart)
                    rawCode(rawStart, j - rawStart);
                code(j, match.length, row(match.row).restored);
                j += match.length;
                rawStart = j;
                continue;
            }
            if (v[j++] == u';')
                break;
        }
        if (j > rawStart)
            rawCode(rawStart, j - rawStart);
        return j;
    };

    for (qsizetype i = 0; i < n;) {
        if (!mayStartCode(v[i])) {
            ++i;
            continue;
        }
        if (const auto match = table.rowAt(i); match.row) {
            code(i, match.length, row(match.row).restored);
            i += match.length;
            continue;
        }
        const QChar c = v[i];
        if (c == u'\\') {
            if (const qsizetype escape = escapeLength(v, i)) {
                rawCode(i, escape);
                i += escape;
                continue;
            }
            if (table.mtext && i + 1 < n) {
                if (isRunCodeLetter(v[i + 1])) {
                    i = runCode(i);
                    continue;
                }
                if (isPairCodeChar(v[i + 1]) && !table.rowAt(i + 1).row) {
                    rawCode(i, 2);
                    i += 2;
                    continue;
                }
            }
            if (table.width)
                code(i, 1, row(50).restored);
            ++i;
            continue;
        }
        if (table.mtext && (c == u'{' || c == u'}'))
            rawCode(i, 1);
        ++i;
    }
    if (n > textStart)
        pieces.append({textStart, n - textStart, true, {}});
}

} // namespace ornvale

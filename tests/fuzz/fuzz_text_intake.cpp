// The text intake's header test on a file holding arbitrary bytes, for every selection code.
// A file is accepted only when its first seven lines are exactly the HEADER start and the eighth
// is a version the selection's product opens, 2000 or later. The expectation is worked out here
// from the bytes, with the drawing line rules (a line ends at CR, an LF right after it belongs to
// the line end), independently of the intake's own reading.
#include "HeadLines.h"
#include "ScratchFolder.h"
#include "TextIntake.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <array>
#include <cstdlib>

using namespace ornvale;

namespace {

constexpr std::array<quint8, 11> kCodes{0, 3, 4, 5, 6, 7, 16, 17, 18, 21, 41};

QList<QByteArray> versionsFor(quint8 code) {
    switch (code) {
    case 3:
    case 4:
        return {"AC1015"};
    case 5:
    case 6:
    case 7:
    case 16:
    case 17:
    case 18:
        return {"AC1015", "AC1018"};
    case 21:
    case 41:
        return {"AC1015", "AC1018", "AC1021"};
    default:
        return {};
    }
}

// The first eight lines, or fewer when the bytes end before them.
QList<QByteArray> firstLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    QByteArray current;
    qsizetype i = 0;
    for (; i < bytes.size() && lines.size() < 8; ++i) {
        if (bytes[i] != '\r') {
            current += bytes[i];
            continue;
        }
        lines.append(current);
        current.clear();
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (lines.size() < 8 && !current.isEmpty())
        lines.append(current); // a last line without a line end
    return lines;
}

bool headerStarts(const QList<QByteArray>& lines) {
    static const QList<QByteArray> start{"  0", "SECTION",  "  2", "HEADER",
                                         "  9", "$ACADVER", "  1"};
    return lines.size() == 8 && lines.first(7) == start;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QString dxf = test::scratchFolder() + QStringLiteral("/drawing.dxf");
    static const QString upper = test::scratchFolder() + QStringLiteral("/DRAWING.DXF");
    static const QString other = test::scratchFolder() + QStringLiteral("/drawing.Dxf");
    for (const QString& path : {dxf, upper, other}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return 0;
    }
    // Beyond the head bound the intake sees only the first part; the oracle reads all of it.
    const bool withinBound = bytes.size() <= HeadLines::kByteBound;
    const QList<QByteArray> lines = firstLines(bytes);
    for (const quint8 code : kCodes) {
        const TextIntake intake(code);
        const TextIntake::Finding finding = intake.classify(dxf);
        if (intake.classify(upper) != finding)
            std::abort();
        if (intake.classify(other) != TextIntake::Finding::NotDxf)
            std::abort();
        const bool expected = headerStarts(lines) && versionsFor(code).contains(lines.at(7));
        if (withinBound && (finding == TextIntake::Finding::Accepted) != expected)
            std::abort();
        if (!withinBound && finding == TextIntake::Finding::Accepted && !expected)
            std::abort();
    }
    return 0;
}

// The joined long-MTEXT path of the DXF driver on arbitrary group-3 runs. The first byte picks the
// options and the encoding, the second the reader's block size; the rest, split at NUL bytes, is
// the run: every piece but the last a "  3" value, the last the "  1" value of one MTEXT entity.
// Checks: values handed back unchanged reproduce the drawing byte for byte; a converted value
// comes back as the pipeline's result on the whole joined value, cut into chunks of at most 250
// UTF-16 units that never split a surrogate pair.
#include "DxfValueCodec.h"
#include "TextPipeline.h"
#include "dxf/DxfFixtures.h"
#include "dxf/FunctionTransform.h"
#include "dxf/InMemoryRewrite.h"

#include <cstdlib>

using namespace ornvale;
using namespace ornvale::test;

namespace {

constexpr qsizetype kChunkUnits = 250;
constexpr qsizetype kJoinLimit = qsizetype(1) << 20;

TextOptions optionsFrom(unsigned char bits) {
    TextOptions o;
    if (bits & 0x02) {
        o.widthConversion = WidthConversion::ToFullWidth;
        o.widthAll = true;
    } else if (bits & 0x04) {
        o.widthConversion = WidthConversion::ToHalfWidth;
        o.widthAll = true;
    }
    if (bits & 0x08)
        o.caseConversion = (bits & 0x10) ? CaseConversion::ToLower : CaseConversion::ToUpper;
    if (bits & 0x20) {
        o.searchText = QStringLiteral("a");
        o.replaceText = QString::fromUcs4(U"\U0001F600\\P");
    }
    if (bits & 0x40)
        o.kanaConversion = KanaConversion::HiraganaToKatakana;
    return o;
}

QByteArray rewrite(const QByteArray& input, ValueTransform& transform, DxfEncoding encoding,
                   qsizetype blockSize) {
    DxfStreamRewriter rewriter(transform, encoding);
    return rewriteInMemory(input, rewriter, blockSize, blockSize).output;
}

// The "  3" and "  1" values of the one MTEXT entity of a rewritten drawing.
QByteArrayList valuesOf(const QByteArray& output) {
    const QByteArrayList lines = output.split('\n');
    QByteArrayList values;
    bool inEntities = false;
    bool inEntity = false;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray code = lines[i].chopped(lines[i].endsWith('\r') ? 1 : 0);
        inEntities = inEntities || code == "ENTITIES";
        if (inEntities && code == "MTEXT" && i > 0 && lines[i - 1] == "  0\r") {
            inEntity = true;
            continue;
        }
        if (!inEntity)
            continue;
        if (code == " 44")
            break;
        if (code == "  3" || code == "  1") {
            values.append(lines[i + 1].chopped(lines[i + 1].endsWith('\r') ? 1 : 0));
            ++i;
        }
    }
    return values;
}

void checkConverted(const QByteArrayList& parts, const QByteArray& output, unsigned char bits,
                    DxfEncoding encoding, qsizetype blockSize) {
    QString joined;
    QString piece;
    qsizetype bytes = 0;
    for (const QByteArray& part : parts) {
        // A line longer than the reader's block comes in pieces and is copied as read.
        if (part.size() + 2 >= blockSize)
            return;
        bytes += part.size() + 8;
        if (!DxfValueCodec::decodeInto(part, encoding, piece))
            return; // copied as read: the identity run covers it
        joined += piece;
    }
    if (bytes > kJoinLimit)
        return;
    TextPipeline expected(optionsFrom(bits));
    const QString result = expected.transform(joined, TextEntityKind::MTextEntity);
    if (result == joined)
        return;
    QString rejoined;
    for (const QByteArray& value : valuesOf(output)) {
        if (!DxfValueCodec::decodeInto(value, encoding, piece))
            std::abort();
        if (piece.size() > kChunkUnits && encoding == DxfEncoding::Utf8)
            std::abort();
        if (!piece.isEmpty() && piece.back().isHighSurrogate())
            std::abort();
        rejoined += piece;
    }
    // Characters the code page cannot hold come back as \U+XXXX escapes there.
    if (encoding == DxfEncoding::Utf8 && rejoined != result)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const unsigned char bits = data[0];
    const qsizetype blockSize = 16 + data[1];
    const DxfEncoding encoding = (bits & 0x01) ? DxfEncoding::Utf8 : DxfEncoding::Cp932;
    QByteArray body(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    // A value line cannot hold a line end.
    body.replace('\r', ' ');
    body.replace('\n', ' ');
    // Every value starts with a letter, so none reads as a group code (a value "  0" or " 44"
    // would end the entity, which the driver handles elsewhere and this target does not model).
    QByteArrayList parts = body.split('\0');
    for (QByteArray& part : parts)
        part.prepend('v');

    QByteArrayList entity{"  0", "MTEXT", "  5", "2A", "  8", "0", "100", "AcDbMText"};
    for (qsizetype i = 0; i < parts.size(); ++i)
        entity += QByteArrayList{i + 1 < parts.size() ? "  3" : "  1", parts[i]};
    entity += QByteArrayList{" 44", "1.0"};
    const QByteArray input = drawing({entity}, encoding == DxfEncoding::Utf8 ? "AC1021" : "AC1018");

    FunctionTransform unchanged([](const QString& v, TextEntityKind) { return v; });
    if (rewrite(input, unchanged, encoding, blockSize) != input)
        std::abort();

    TextPipeline pipeline(optionsFrom(bits));
    const QByteArray output = rewrite(input, pipeline, encoding, blockSize);
    if (pipeline.changesNothing() && output != input)
        std::abort();
    checkConverted(parts, output, bits, encoding, blockSize);
    return 0;
}

// Feeds arbitrary bytes to the DXF rewrite driver and the text pipeline. The first byte picks
// the options, the second the reader's block size; the rest is the drawing. Checks the promises the
// driver makes whatever the input: options that change nothing reproduce the input byte for
// byte, and no line is added or lost outside MTEXT values.
#include "TextPipeline.h"
#include "dxf/FunctionTransform.h"
#include "dxf/InMemoryRewrite.h"

#include <algorithm>
#include <cstdlib>

using namespace ornvale;

namespace {

TextOptions optionsFrom(unsigned char bits) {
    TextOptions o;
    if (bits & 0x02) {
        o.widthConversion = WidthConversion::ToFullWidth;
        o.widthAll = true;
    } else if (bits & 0x04) {
        o.widthConversion = WidthConversion::ToHalfWidth;
        o.widthAlphabet = o.widthDigits = o.widthKatakana = true;
        o.widthDashPeriod = o.widthKanaMarks = true;
    }
    if (bits & 0x08)
        o.caseConversion = (bits & 0x10) ? CaseConversion::ToLower : CaseConversion::ToUpper;
    if (bits & 0x20) {
        // Characters no code page 932 value can hold, to exercise the escapes.
        o.replaceMode = ReplaceMode::ReplaceOccurrences;
        o.searchText = QStringLiteral("A");
        o.replaceText = QString::fromUcs4(U"\uD55C\U0001F600\\P%%c");
    }
    if (bits & 0x40)
        o.kanaConversion = KanaConversion::HiraganaToKatakana;
    if (bits & 0x80)
        o.valueCondition = ValueCondition::NotNumericOnly;
    return o;
}

QByteArray rewrite(const QByteArray& input, DxfStreamRewriter& rewriter, qsizetype blockSize) {
    // The reader gets the small block; the writer keeps its large buffer, since handing a
    // few bytes at a time to its writing thread would only slow the fuzzing down.
    const test::Rewritten result =
        test::rewriteInMemory(input, rewriter, blockSize, DxfLineWriter::kDefaultBufferSize);
    if (result.outcome == DxfStreamRewriter::Outcome::ReadFailed ||
        result.outcome == DxfStreamRewriter::Outcome::WriteFailed)
        std::abort(); // memory devices do not fail
    return result.output;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const unsigned char bits = data[0];
    const qsizetype blockSize = 16 + data[1];
    const QByteArray input(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    const DxfEncoding encoding = (bits & 0x01) ? DxfEncoding::Utf8 : DxfEncoding::Cp932;

    // Every value decoded and handed back unchanged: the output is the input.
    test::FunctionTransform unchanged([](const QString& v, TextEntityKind) { return v; });
    DxfStreamRewriter identity(unchanged, encoding);
    if (rewrite(input, identity, blockSize) != input)
        std::abort();

    TextPipeline pipeline(optionsFrom(bits));
    DxfStreamRewriter driver(pipeline, encoding);
    const QByteArray output = rewrite(input, driver, blockSize);
    if (pipeline.changesNothing() && output != input)
        std::abort();
    // Line ends are never added or dropped: a changed value keeps its own. Only an MTEXT value
    // is cut into chunks again, so it may take more or fewer lines.
    const bool mtext = input.contains("MTEXT");
    if (!mtext && std::count(output.begin(), output.end(), '\r') !=
                      std::count(input.begin(), input.end(), '\r'))
        std::abort();
    return 0;
}

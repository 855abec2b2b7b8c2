// Feeds arbitrary bytes to the DXF rewrite driver and the text pipeline. The first byte picks
// the options, the second the reader's block size; the rest is the drawing. Checks the promises the
// driver makes whatever the input: options that change nothing reproduce the input byte for
// byte, no line is added or lost outside MTEXT values, and the change report's rows, packed and
// formatted on the report's writer thread, are the rows of the changes as the driver told them.
#include "DxfChangeRowDevice.h"
#include "DxfLineWriter.h"
#include "TextPipeline.h"
#include "dxf/FunctionTransform.h"
#include "dxf/InMemoryRewrite.h"

#include <QBuffer>

#include <algorithm>
#include <cstdlib>
#include <optional>

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

// Packs every change as the report does, through a writer of a few bytes so that changes are
// cut anywhere, and formats each one directly too. Line numbers must rise and stay in the
// input.
class CheckedReport : public DxfChangeObserver {
public:
    CheckedReport(DxfChangeFormat format, qsizetype bufferSize, qint64 lineCount)
        : m_rows(m_target, format, bufferSize), m_format(format), m_lineCount(lineCount),
          m_expected(DxfChangeRowFormat::header(format).toByteArray()) {
        m_target.open(QIODevice::WriteOnly);
        m_rows.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        m_writer.emplace(m_rows, bufferSize);
    }
    void valueChanged(const DxfValueChange& change) override {
        if (change.line <= m_lastLine || change.line > m_lineCount || change.before == change.after)
            std::abort();
        m_lastLine = change.line;
        DxfChangeRowDevice::pack(change, m_first, *m_writer); // one file: its name goes once
        m_first = false;
        DxfChangeRowFormat::appendRow(m_expected, change, m_format);
    }
    void check() {
        if (!m_writer->flush() || !m_rows.finish() || m_target.data() != m_expected)
            std::abort();
    }

private:
    QBuffer m_target;
    DxfChangeRowDevice m_rows;
    std::optional<DxfLineWriter> m_writer;
    DxfChangeFormat m_format;
    qint64 m_lineCount;
    qint64 m_lastLine = 0;
    bool m_first = true;
    QByteArray m_expected;
};

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
    CheckedReport report((data[1] & 1) ? DxfChangeFormat::Jsonl : DxfChangeFormat::Csv, blockSize,
                         std::count(input.begin(), input.end(), '\r') + 1);
    driver.setChangeObserver(&report, QStringLiteral("in.dxf"));
    const QByteArray output = rewrite(input, driver, blockSize);
    report.check();
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

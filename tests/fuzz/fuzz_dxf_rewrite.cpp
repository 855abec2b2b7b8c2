// Feeds arbitrary bytes to the DXF rewrite driver and the text pipeline. The first byte picks
// the options, the second the reader's block size; the rest is the drawing. Checks the promises the
// driver makes whatever the input: options that change nothing reproduce the input byte for
// byte, no line is added or lost outside MTEXT values, and every change report row reads back
// as the change the driver told.
#include "DxfChangeRowFormat.h"
#include "TextPipeline.h"
#include "ThreadedByteWriter.h"
#include "dxf/FunctionTransform.h"
#include "dxf/InMemoryRewrite.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

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
        test::rewriteInMemory(input, rewriter, blockSize, ThreadedByteWriter::kDefaultBufferSize);
    if (result.outcome == DxfStreamRewriter::Outcome::ReadFailed ||
        result.outcome == DxfStreamRewriter::Outcome::WriteFailed)
        std::abort(); // memory devices do not fail
    return result.output;
}

// The fields of one CSV row that ends in CR LF; none when the row is not well formed.
QStringList csvFields(QByteArrayView row) {
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        QByteArray field;
        if (i < row.size() && row[i] == '"') {
            for (++i;
                 i < row.size() && !(row[i] == '"' && (i + 1 == row.size() || row[i + 1] != '"'));
                 ++i) {
                i += row[i] == '"' ? 1 : 0; // a doubled quote
                field += row[i];
            }
            if (i++ == row.size())
                return {};
        } else {
            for (; i < row.size() && row[i] != ',' && row[i] != '\r'; ++i) {
                if (row[i] == '"' || row[i] == '\n')
                    return {}; // should have been quoted
                field += row[i];
            }
        }
        fields.append(QString::fromUtf8(field));
        if (row.sliced(i) == "\r\n")
            return fields;
        if (i == row.size() || row[i] != ',')
            return {};
        ++i;
    }
}

// The fields of one JSON Lines row, in the CSV order; none when the row is not one object on
// one line with a number for its line and texts for the rest.
QStringList jsonFields(QByteArrayView row) {
    if (!row.endsWith('\n') || row.indexOf('\n') != row.size() - 1)
        return {};
    QJsonParseError error;
    const QJsonObject object =
        QJsonDocument::fromJson(row.chopped(1).toByteArray(), &error).object();
    if (error.error != QJsonParseError::NoError || object.size() != 7 ||
        !object[u"line"].isDouble())
        return {};
    QStringList fields;
    for (const char16_t* key :
         {u"file", u"line", u"entity", u"handle", u"layer", u"before", u"after"}) {
        const QJsonValue value = object[key];
        if (fields.size() == 1)
            fields.append(QString::number(value.toInteger()));
        else if (value.isString())
            fields.append(value.toString());
        else
            return {};
    }
    return fields;
}

// Formats every change as a report row and reads it back. Line numbers must rise and stay in
// the input.
class CheckedReport : public DxfChangeObserver {
public:
    CheckedReport(DxfChangeFormat format, qint64 lineCount)
        : m_format(format), m_lineCount(lineCount) {}
    void valueChanged(const DxfValueChange& change) override {
        if (change.line <= m_lastLine || change.line > m_lineCount || change.before == change.after)
            std::abort();
        m_lastLine = change.line;
        m_row.resize(0);
        DxfChangeRowFormat::appendRow(m_row, DxfChangeRowFormat::field(change.inputPath, m_format),
                                      change, m_format);
        const QStringList fields =
            m_format == DxfChangeFormat::Csv ? csvFields(m_row) : jsonFields(m_row);
        const QStringView texts[] = {change.inputPath, change.handle, change.layer, change.before,
                                     change.after};
        if (fields.size() != 7 || fields[1] != QString::number(change.line) ||
            fields[2] != (change.kind == TextEntityKind::MTextEntity ? u"MTEXT" : u"TEXT"))
            std::abort();
        for (int i = 0; i < 5; ++i) {
            // A lone surrogate has no UTF-8 form; it comes back as U+FFFD.
            if (texts[i].isValidUtf16() && fields[i == 0 ? 0 : i + 2] != texts[i])
                std::abort();
        }
    }

private:
    DxfChangeFormat m_format;
    qint64 m_lineCount;
    qint64 m_lastLine = 0;
    QByteArray m_row;
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
    CheckedReport report((data[1] & 1) ? DxfChangeFormat::Jsonl : DxfChangeFormat::Csv,
                         std::count(input.begin(), input.end(), '\r') + 1);
    driver.setChangeObserver(&report, QStringLiteral("in.dxf"));
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

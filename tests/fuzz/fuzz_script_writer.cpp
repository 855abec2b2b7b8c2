// The conversion script writer on arbitrary file lists and options. The first four bytes pick
// the options, the selection code and which paths the file system reports as present or read
// only; the rest is a list of source paths separated by NUL bytes, read as UTF-8 or, when the
// options byte says so, as raw UTF-16 (lone surrogates included). Every list ends in either a
// refusal that leaves no script behind, or a script whose path lines are single quoted lines
// without CR, LF or an inner quote, with one "open" per drawing.
#include "Cp932Codec.h"
#include "DrawingIntake.h"
#include "FileSystemProbe.h"
#include "ScratchFolder.h"
#include "ScriptWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>

#include <array>
#include <cstdlib>

using namespace ornvale;

namespace {

constexpr std::array<quint8, 11> kCodes{0, 3, 4, 5, 6, 7, 16, 17, 18, 21, 41};

// Present and read-only answers decided by a hash of the path and a byte of the input.
class HashedProbe : public FileSystemProbe {
public:
    explicit HashedProbe(quint8 bits) : m_bits(bits) {}
    bool exists(const QString& path) override { return (bitOf(path) & 1) != 0; }
    std::optional<int> attributeValue(const QString& path) override {
        const uint bit = bitOf(path);
        if (!(bit & 1))
            return std::nullopt;
        return (bit & 2) ? FileAttribute::ReadOnly | FileAttribute::Archive
                         : FileAttribute::Archive;
    }

private:
    uint bitOf(const QString& path) const { return (qHash(path, 0) >> (m_bits & 7)) & m_bits; }
    quint8 m_bits;
};

QString decodePath(const QByteArray& chunk, bool utf16) {
    if (!utf16)
        return QString::fromUtf8(chunk);
    return QString(reinterpret_cast<const QChar*>(chunk.constData()), chunk.size() / 2);
}

ConversionOptions optionsFrom(quint8 bits, quint8 purge, quint8 versions) {
    ConversionOptions o;
    o.outputFormat = (bits & 1) ? OutputFormat::Dwg : OutputFormat::Dxf;
    o.viewMode = (bits >> 1) % 3;
    o.audit = bits & 0x08;
    o.auditFix = bits & 0x10;
    o.dxfVersionIndex = versions & 3;
    o.dwgVersionIndex = (versions >> 2) & 3;
    const QList<PurgeItem> items = allPurgeItems();
    for (int i = 0; i < 8; ++i) {
        if (purge & (1 << i))
            o.purgeItems.append(items.at((i + (versions >> 4)) % items.size()));
    }
    return o;
}

bool quotedLineOk(const QString& line) {
    return line.size() >= 2 && line.endsWith(QLatin1Char('"')) && line.count(QLatin1Char('"')) == 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const quint8 bits = quint8(bytes[0]);
    ScriptInputs in;
    in.options = optionsFrom(bits, quint8(bytes[1]), quint8(bytes[2]));
    in.selectionCode = kCodes[quint8(bytes[3]) % kCodes.size()];
    in.singleDocumentMode = (bits & 0x20) ? 1 : 0;
    in.outputFolder = QDir::toNativeSeparators(test::scratchDir().filePath(QStringLiteral("out")));
    in.markerPath =
        ScriptWriter::markerPathIn(test::scratchDir().filePath(QStringLiteral("appdata")));
    in.scriptPath = test::scratchDir().filePath(QStringLiteral("scriptC.scr"));
    bool expectRefusal = false;
    if (size > 4) {
        for (const QByteArray& chunk : bytes.mid(4).split('\0')) {
            const QString path = decodePath(chunk, bits & 0x40);
            const FileEntry entry{QLatin1Char(' ') + path.section(QLatin1Char('/'), -1), path};
            in.files.append(entry);
            const QString target = in.outputFolder + QDir::separator() + entry.nameKey();
            if (!DrawingIntake::isScriptSafe(path) || entry.listName.size() < 4 ||
                !Cp932Codec::canEncode(target))
                expectRefusal = true;
        }
    }
    if (in.files.isEmpty())
        expectRefusal = true;

    QFile::remove(in.scriptPath);
    HashedProbe probe{quint8(bytes[3])};
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    if (!result.ok()) {
        // A refusal needs a reason in the list and leaves no script.
        if (!expectRefusal || QFile::exists(in.scriptPath))
            std::abort();
        return 0;
    }
    if (expectRefusal || result.targets.size() != in.files.size())
        std::abort();

    QFile file(in.scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray script = file.readAll();
    if (!script.endsWith("\r\n"))
        std::abort();
    const Cp932Codec::Decoded decoded = Cp932Codec::decode(script.chopped(2));
    const QStringList lines = decoded.text.split(QStringLiteral("\r\n"));
    qsizetype opens = 0;
    qsizetype quotedLines = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
        if (line.contains(QLatin1Char('"'))) {
            if (!line.startsWith(QLatin1Char('"')) || !quotedLineOk(line))
                std::abort();
            ++quotedLines;
        }
        if (line == QLatin1String("open")) {
            // The drawing opened is the next source of the list, quoted whole.
            if (i + 1 >= lines.size() || opens >= in.files.size() ||
                lines[i + 1] != QLatin1Char('"') + in.files[opens].sourcePath + QLatin1Char('"'))
                std::abort();
            ++opens;
        }
    }
    // Each drawing: its source and its target; then the marker twice.
    if (opens != in.files.size() || quotedLines != 2 * in.files.size() + 2)
        std::abort();
    return 0;
}

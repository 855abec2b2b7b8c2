// Drawing identification on arbitrary bytes: the line splitter's invariants, and the whole
// reader and intake on a file holding the bytes (any content, any size up to the fuzzer's).
#include "DrawingIdentifier.h"
#include "DrawingIntake.h"
#include "HeadLines.h"
#include "Prompter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdlib>

using namespace ornvale;

namespace {

class SilentPrompter : public Prompter {
public:
    void inform(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString&, const QString&) override {}
};

void checkSplit(const QByteArray& bytes, bool wholeFile) {
    const HeadLines head = HeadLines::split(bytes, 8, wholeFile);
    if (head.lines.size() > 8 || (head.ok() && head.lines.size() != 8))
        std::abort();
    for (const QByteArray& line : head.lines) {
        if (line.contains('\r') || line.size() > bytes.size())
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkSplit(bytes, true);
    checkSplit(bytes, false);

    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_identify.dxf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    for (const DrawingFormat format : {DrawingFormat::Dxf, DrawingFormat::Dwg}) {
        const auto code = DrawingIdentifier::readVersionCode(path, format);
        if (code && ((format == DrawingFormat::Dwg && code->size() > 6) || code->contains('\r')))
            std::abort();
    }
    SilentPrompter prompter;
    // The bytes as a file name too: classification and the script check take any text.
    const QString name = QString::fromUtf8(bytes.left(256));
    DrawingIdentifier::classify(name);
    DrawingIntake::isScriptSafe(name);
    DrawingIntake(41).examine(path, prompter);
    return 0;
}

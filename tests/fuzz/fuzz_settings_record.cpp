// The settings record reader on arbitrary bytes, from memory and from a file holding them. Any
// input gives run values; the selection code is a known one or 0; the record written back is
// always 670 bytes and reads back field for field. The tail of the input also sets new field
// values, which must survive a round trip when they fit and code page 932 can hold them.
#include "ScratchFolder.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <array>
#include <cstdlib>
#include <cstring>

using namespace ornvale;

namespace {

constexpr std::array<quint8, 11> kKnownCodes{0, 3, 4, 5, 6, 7, 16, 17, 18, 21, 41};

bool sameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameFields(const SettingsRecord& a, const SettingsRecord& b) {
    return sameDouble(a.savedSelection, b.savedSelection) && a.customPathFlag == b.customPathFlag &&
           a.singleDocumentMode == b.singleDocumentMode && a.customExePath == b.customExePath &&
           a.reservedText == b.reservedText && a.outputFolderPath == b.outputFolderPath;
}

// A record as read must also read back field for field; a changed one may lose what does not
// fit or what code page 932 cannot hold (the stored bytes stay then).
void checkRecord(const SettingsRecord& record, bool asRead) {
    if (std::find(kKnownCodes.begin(), kKnownCodes.end(), record.selectionCode()) ==
        kKnownCodes.end())
        std::abort();
    const QByteArray bytes = record.toBytes();
    if (bytes.size() != SettingsRecord::Size)
        std::abort();
    if (asRead && !sameFields(SettingsRecord::fromBytes(bytes), record))
        std::abort();
}

// Printable ASCII without trailing blanks and within the width reads back exactly.
bool plainFits(const QString& text, qsizetype width) {
    if (text.size() > width || text.endsWith(QLatin1Char(' ')))
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsRecord record = SettingsRecord::fromBytes(bytes);
    checkRecord(record, true);
    // Bytes past the record are ignored; the record's own bytes come back unchanged.
    if (record.toBytes() !=
        bytes.left(SettingsRecord::Size).leftJustified(SettingsRecord::Size, '\0'))
        std::abort();

    QFile file(SettingsFile::path(test::scratchFolder()));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size()) {
        file.close();
        if (!sameFields(SettingsFile::read(test::scratchFolder()), record))
            std::abort();
    }

    // New values taken from the input's tail: a double, two bytes and three texts.
    if (bytes.size() > SettingsRecord::Size + 10) {
        const QByteArray tail = bytes.mid(SettingsRecord::Size);
        SettingsRecord changed = record;
        std::memcpy(&changed.savedSelection, tail.constData(), sizeof(double));
        changed.customPathFlag = quint8(tail[8]);
        changed.singleDocumentMode = quint8(tail[9]);
        const QList<QByteArray> texts = tail.mid(10).split('\0');
        QString* fields[] = {&changed.customExePath, &changed.reservedText,
                             &changed.outputFolderPath};
        const qsizetype widths[] = {SettingsRecord::CustomExePathWidth,
                                    SettingsRecord::ReservedTextWidth,
                                    SettingsRecord::OutputFolderPathWidth};
        for (qsizetype i = 0; i < qMin<qsizetype>(3, texts.size()); ++i)
            *fields[i] = QString::fromUtf8(texts[i]);
        checkRecord(changed, false);
        const SettingsRecord back = SettingsRecord::fromBytes(changed.toBytes());
        if (!sameDouble(back.savedSelection, changed.savedSelection) ||
            back.customPathFlag != changed.customPathFlag ||
            back.singleDocumentMode != changed.singleDocumentMode)
            std::abort();
        const QString* backFields[] = {&back.customExePath, &back.reservedText,
                                       &back.outputFolderPath};
        for (int i = 0; i < 3; ++i) {
            if (plainFits(*fields[i], widths[i]) && *backFields[i] != *fields[i])
                std::abort();
        }
    }
    return 0;
}

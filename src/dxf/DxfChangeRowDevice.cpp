#include "DxfChangeRowDevice.h"

#include "DxfLineWriter.h"

#include <cstring>

namespace ornvale {

namespace {

// A packed change: this header, then the units of its five texts one after the other.
struct PackedHeader {
    qint64 line;
    qint32 kind;
    qint32 units[5]; // file (-1: the one before), handle, layer, before, after
};

constexpr qsizetype kHeaderSize = sizeof(PackedHeader);

QByteArrayView bytesOf(QStringView text) {
    return {reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(2)};
}

} // namespace

DxfChangeRowDevice::DxfChangeRowDevice(QIODevice& target, DxfChangeFormat format,
                                       qsizetype batchSize)
    : m_target(target), m_format(format), m_batchSize(batchSize) {
    m_rows.reserve(m_batchSize + 4096);
    m_rows += DxfChangeRowFormat::header(format);
}

void DxfChangeRowDevice::pack(const DxfValueChange& change, bool newFile, DxfLineWriter& to) {
    const QStringView texts[5] = {newFile ? change.inputPath : QStringView(), change.handle,
                                  change.layer, change.before, change.after};
    PackedHeader header{change.line, qint32(change.kind), {}};
    for (int i = 0; i < 5; ++i)
        header.units[i] = qint32(texts[i].size());
    if (!newFile)
        header.units[0] = -1;
    qsizetype size = kHeaderSize;
    for (const QStringView text : texts)
        size += text.size() * 2;
    char* at = to.reserve(size);
    if (!at) { // a change larger than the writer's buffer goes in pieces
        to.write(QByteArrayView(reinterpret_cast<const char*>(&header), kHeaderSize));
        for (const QStringView text : texts)
            to.write(bytesOf(text));
        return;
    }
    std::memcpy(at, &header, kHeaderSize);
    at += kHeaderSize;
    for (const QStringView text : texts) {
        if (text.isEmpty())
            continue; // an empty view may have no storage at all
        std::memcpy(at, text.utf16(), size_t(text.size()) * 2);
        at += text.size() * 2;
    }
    to.commit(size);
}

qsizetype DxfChangeRowDevice::packedSize(QByteArrayView packed) {
    if (packed.size() < kHeaderSize)
        return 0;
    PackedHeader header;
    std::memcpy(&header, packed.data(), kHeaderSize);
    qsizetype size = kHeaderSize;
    for (const qint32 units : header.units)
        size += qsizetype(qMax(units, 0)) * 2;
    return size;
}

void DxfChangeRowDevice::formatPacked(const char* packed) {
    PackedHeader header;
    std::memcpy(&header, packed, kHeaderSize);
    const char* texts = packed + kHeaderSize;
    if (reinterpret_cast<quintptr>(texts) % alignof(char16_t) != 0) {
        const qsizetype size = packedSize({packed, kHeaderSize}) - kHeaderSize;
        m_aligned.resize(size);
        std::memcpy(m_aligned.data(), texts, size_t(size));
        texts = m_aligned.constData();
    }
    QStringView views[5];
    for (int i = 0; i < 5; ++i) {
        const qsizetype units = qMax(header.units[i], 0);
        views[i] = QStringView(reinterpret_cast<const char16_t*>(texts), units);
        texts += units * 2;
    }
    if (header.units[0] >= 0)
        m_fileField = DxfChangeRowFormat::fileField(views[0], m_format);
    DxfValueChange change;
    change.line = header.line;
    change.kind = TextEntityKind(header.kind);
    change.handle = views[1];
    change.layer = views[2];
    change.before = views[3];
    change.after = views[4];
    DxfChangeRowFormat::appendRow(m_rows, m_fileField, change, m_format);
}

qint64 DxfChangeRowDevice::writeData(const char* data, qint64 size) {
    QByteArrayView in(data, size);
    // First the rest of a change cut at the end of the last piece.
    while (!m_carry.isEmpty() && !in.isEmpty()) {
        const qsizetype needed = qMax(packedSize(m_carry), kHeaderSize) - m_carry.size();
        const qsizetype taken = qMin(needed, in.size());
        m_carry.append(in.first(taken));
        in = in.sliced(taken);
        if (m_carry.size() == packedSize(m_carry)) {
            formatPacked(m_carry.constData());
            m_carry.resize(0);
        }
    }
    for (;;) {
        const qsizetype packed = packedSize(in);
        if (packed == 0 || packed > in.size())
            break;
        formatPacked(in.data());
        in = in.sliced(packed);
        if (m_rows.size() >= m_batchSize)
            writeOut();
    }
    m_carry.append(in);
    if (m_rows.size() >= m_batchSize)
        writeOut();
    return m_failed ? -1 : size;
}

void DxfChangeRowDevice::writeOut() {
    qsizetype done = 0;
    while (!m_failed && done < m_rows.size()) {
        const qint64 written = m_target.write(m_rows.constData() + done, m_rows.size() - done);
        if (written <= 0)
            m_failed = true;
        else
            done += written;
    }
    m_rows.resize(0);
    m_written += done;
    if (m_writeHook && done > 0)
        m_writeHook(m_written);
}

bool DxfChangeRowDevice::finish() {
    writeOut();
    return !m_failed && m_carry.isEmpty();
}

} // namespace ornvale

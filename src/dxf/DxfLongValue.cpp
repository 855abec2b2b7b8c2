#include "DxfLongValue.h"

#include "ThreadedByteWriter.h"

namespace ornvale {

bool DxfLongValue::addCodeLine(QByteArrayView bytes) {
    if (!fits(bytes.size()))
        return false;
    m_lines.append(bytes);
    return true;
}

bool DxfLongValue::addPart(QByteArrayView text, QByteArrayView end) {
    if (!fits(text.size() + end.size()))
        return false;
    m_parts.append({m_lines.size(), text.size()});
    m_lines.append(text);
    m_lines.append(end);
    return true;
}

bool DxfLongValue::decodeInto(QByteArrayView last, DxfEncoding encoding, QString& value) {
    if (m_parts.isEmpty()) // the usual MTEXT value, of one pair
        return DxfValueCodec::decodeInto(last, encoding, value);
    value.resize(0);
    for (const Part& part : std::as_const(m_parts)) {
        const QByteArrayView bytes(m_lines.constData() + part.offset, part.size);
        if (!DxfValueCodec::decodeInto(bytes, encoding, m_decoded))
            return false;
        value.append(m_decoded);
    }
    if (!DxfValueCodec::decodeInto(last, encoding, m_decoded))
        return false;
    value.append(m_decoded);
    return true;
}

void DxfLongValue::writeChunks(QStringView value, QByteArrayView lineEnd, DxfEncoding encoding,
                               ThreadedByteWriter& writer, QByteArray& scratch) {
    qsizetype start = 0;
    while (value.size() - start > kChunkUnits) {
        qsizetype end = start + kChunkUnits;
        if (value[end - 1].isHighSurrogate() && value[end].isLowSurrogate())
            --end;
        writer.write("  3");
        writer.write(lineEnd);
        DxfValueCodec::encodeInto(value.sliced(start, end - start), encoding, scratch);
        writer.write(scratch);
        writer.write(lineEnd);
        start = end;
    }
    writer.write("  1");
    writer.write(lineEnd);
    DxfValueCodec::encodeInto(value.sliced(start), encoding, scratch);
    writer.write(scratch);
    writer.write(lineEnd);
}

} // namespace ornvale

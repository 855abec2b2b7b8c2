#include "DxfStreamRewriter.h"

namespace ornvale {

DxfStreamRewriter::DxfStreamRewriter(ValueTransform& transform, DxfEncoding encoding)
    : m_transform(transform.changesNothing() ? nullptr : &transform), m_encoding(encoding) {}

DxfStreamRewriter::Outcome DxfStreamRewriter::rewrite(DxfLineReader& reader,
                                                      DxfLineWriter& writer) {
    m_reader = &reader;
    m_writer = &writer;
    m_runBegin = m_runEnd = nullptr;
    reader.setBeforeRefill([this] { flushRun(); });
    const bool entitiesFound = copyHeader();
    if (entitiesFound)
        mainScan();
    flushRun();
    reader.setBeforeRefill({});
    const bool flushed = writer.flush();
    if (reader.failed())
        return Outcome::ReadFailed;
    if (!flushed)
        return Outcome::WriteFailed;
    return entitiesFound ? Outcome::Done : Outcome::NoEntities;
}

void DxfStreamRewriter::flushRun() {
    if (m_runBegin != m_runEnd)
        m_writer->write(QByteArrayView(m_runBegin, m_runEnd - m_runBegin));
    m_runBegin = m_runEnd = nullptr;
}

// The rest of an over-long line goes through piece by piece.
void DxfStreamRewriter::copyRestOfLine() {
    DxfLine piece;
    while (m_reader->next(piece)) {
        extendRun(piece.bytes());
        if (!piece.continues)
            return;
    }
}

bool DxfStreamRewriter::copyHeader() {
    DxfLine line;
    while (m_reader->next(line)) {
        copy(line);
        if (line.is("ENTITIES"))
            return true;
    }
    return false;
}

void DxfStreamRewriter::mainScan() {
    DxfLine line;
    bool pending = false; // a "  0" line that ended an entity scan, not yet handled
    for (;;) {
        if (!pending) {
            DxfLine passed;
            while (m_reader->skipLinesBefore("  0", passed))
                copy(passed);
            if (!m_reader->next(line))
                return;
        }
        pending = false;
        if (!line.is("  0")) {
            copy(line);
            continue;
        }
        copy(line);
        if (!m_reader->next(line))
            return;
        copy(line);
        if (line.is("MTEXT"))
            pending = entityScan(TextEntityKind::MTextEntity, line);
        else if (line.is("TEXT"))
            pending = entityScan(TextEntityKind::TextEntity, line);
    }
}

bool DxfStreamRewriter::entityScan(TextEntityKind kind, DxfLine& line) {
    int textMarkers = 0;
    while (m_reader->next(line)) {
        // The next entity starts here even if this one never showed its closing group.
        if (line.is("  0"))
            return true;
        const bool valueCode = line.is("  1");
        const bool lineSpacingCode = line.is(" 44");
        const bool subclassCode = line.is("100");
        copy(line);
        if (!m_reader->next(line))
            return false;
        if (valueCode) {
            writeValue(line, kind);
            continue;
        }
        copy(line);
        if (kind == TextEntityKind::MTextEntity && lineSpacingCode)
            return false;
        if (kind == TextEntityKind::TextEntity && subclassCode && line.is("AcDbText") &&
            ++textMarkers == 2)
            return false;
    }
    return false;
}

void DxfStreamRewriter::writeValue(const DxfLine& line, TextEntityKind kind) {
    if (!m_transform || line.continues) {
        copy(line);
        return;
    }
    // A value that does not decode is left exactly as it is, and counts as unchanged.
    if (!DxfValueCodec::decodeInto(line.text, m_encoding, m_value)) {
        copy(line);
        return;
    }
    const QStringView result = m_transform->transformView(m_value, kind);
    if (result == QStringView(m_value)) {
        copy(line);
        return;
    }
    flushRun();
    DxfValueCodec::encodeInto(result, m_encoding, m_encoded);
    m_writer->write(m_encoded);
    m_writer->write(line.end);
}

} // namespace ornvale

#include "DxfStreamRewriter.h"

#include <algorithm>

namespace ornvale {

DxfStreamRewriter::DxfStreamRewriter(ValueTransform& transform, DxfEncoding encoding)
    : m_transform(transform.changesNothing() ? nullptr : &transform), m_encoding(encoding) {}

DxfStreamRewriter::Outcome DxfStreamRewriter::rewrite(DxfLineReader& reader,
                                                      ThreadedByteWriter& writer) {
    m_reader = &reader;
    m_writer = &writer;
    m_runBegin = m_runEnd = nullptr;
    m_notes = {};
    reader.setBeforeRefill([this] { beforeRefill(); });
    reader.setCountingLines(m_changes && m_transform);
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

// The lines handed out are about to be overwritten. A "  1" line still at the end of the run
// may yet become a "  3" line, so it is held instead of written.
void DxfStreamRewriter::beforeRefill() {
    if (!m_valueCode.isEmpty() && m_runEnd == m_valueCode.data() + m_valueCode.size()) {
        m_runEnd -= m_valueCode.size();
        flushRun();
        m_longValue.addCodeLine(m_valueCode);
    }
    m_valueCode = {};
    flushRun();
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
        if (line.is("EOF"))
            m_notes.endOfFileSeen = true;
        if (line.is("MTEXT"))
            pending = entityScan(TextEntityKind::MTextEntity, line);
        else if (line.is("TEXT"))
            pending = entityScan(TextEntityKind::TextEntity, line);
    }
}

bool DxfStreamRewriter::entityScan(TextEntityKind kind, DxfLine& line) {
    const bool mtext = kind == TextEntityKind::MTextEntity;
    // Without a transform nothing is joined: the "  3" lines are copied like any other.
    const bool joining = mtext && m_transform;
    int textMarkers = 0;
    bool stopped = false; // at a "  0" line
    bool closed = false;  // by the entity's closing group
    if (m_changes) {
        m_handle.clear();
        m_layer.clear();
    }
    while (m_reader->next(line)) {
        // The next entity starts here even if this one never showed its closing group.
        if (line.is("  0")) {
            stopped = true;
            break;
        }
        if (joining && line.is("  3")) {
            if (!takeChunkPair(line))
                break;
            continue;
        }
        if (joining && line.is("  1")) {
            if (!takeLastPair(line, kind))
                break;
            continue;
        }
        releaseLongValue();
        const bool valueCode = line.is("  1");
        const bool lineSpacingCode = line.is(" 44");
        const bool subclassCode = line.is("100");
        std::string* kept = m_changes ? keptField(line) : nullptr;
        copy(line);
        if (!m_reader->next(line))
            break;
        if (valueCode) {
            writeValue(line, kind);
            continue;
        }
        if (kept && !line.continues)
            kept->assign(line.text.data(), size_t(line.text.size()));
        copy(line);
        closed = (mtext && lineSpacingCode) ||
                 (!mtext && subclassCode && line.is("AcDbText") && ++textMarkers == 2);
        if (closed)
            break;
    }
    releaseLongValue();
    if (!stopped && !closed)
        m_notes.endedInEntity = true;
    return stopped;
}

// Writes the lines held back as read; a run given up ends here too.
void DxfStreamRewriter::releaseLongValue() {
    m_longValueGivenUp = false;
    if (m_longValue.isEmpty())
        return;
    m_writer->write(m_longValue.lines());
    m_longValue.clear();
}

// A "  3" pair: held back while the run may still become one value, copied once it cannot.
// False at the end of the input.
bool DxfStreamRewriter::takeChunkPair(DxfLine& line) {
    if (!m_longValueGivenUp) {
        if (m_longValue.isEmpty())
            flushRun(); // everything before the run goes out first
        const bool codeHeld = m_longValue.addCodeLine(line.bytes());
        if (codeHeld) {
            if (!m_reader->next(line))
                return false;
            if (m_changes && !m_longValue.hasParts())
                m_longValueLine = m_reader->lineNumberAt(line.text.data());
            if (!line.continues && m_longValue.addPart(line.text, line.end))
                return true;
        }
        // Too long to hold: what is held goes out as read, the rest of the run follows it.
        releaseLongValue();
        m_longValueGivenUp = true;
        if (codeHeld) { // `line` is the value of the pair
            copy(line);
            return true;
        }
    }
    copy(line);
    if (!m_reader->next(line))
        return false;
    copy(line);
    return true;
}

// An MTEXT's "  1" pair, with the "  3" run in front of it if there is one: the parts and the
// value are converted as one value. False at the end of the input.
bool DxfStreamRewriter::takeLastPair(DxfLine& line, TextEntityKind kind) {
    if (m_longValue.isEmpty()) {
        // The usual value of one pair: its code line joins the run of copied lines.
        copy(line);
        if (!m_longValueGivenUp)
            m_valueCode = line.bytes();
    } else if (!m_longValue.addCodeLine(line.bytes())) {
        releaseLongValue();
        m_longValueGivenUp = true;
        copy(line);
    }
    const bool givenUp = m_longValueGivenUp;
    const bool ok = m_reader->next(line);
    // Still in the run unless a refill has moved it into m_longValue.
    const qsizetype codeInRun = m_valueCode.size();
    m_valueCode = {};
    if (!ok)
        return false;
    if (givenUp)
        ++m_notes.longValuesLeft;
    QStringView result;
    if (givenUp || !convertLongValue(line, kind, result)) {
        releaseLongValue();
        copy(line);
        return true;
    }
    // A value line without a line end (the last of the input) has none to give to chunks.
    if (!m_longValue.hasParts() &&
        (result.size() <= DxfLongValue::kChunkUnits || line.end.isEmpty())) {
        flushRun();
        releaseLongValue(); // the "  1" line as read, when a refill moved it here
        DxfValueCodec::encodeInto(result, m_encoding, m_encoded);
        m_writer->write(m_encoded);
        m_writer->write(line.end);
        return true;
    }
    m_runEnd -= codeInRun; // the chunks bring their own code lines
    flushRun();
    m_longValue.clear();
    DxfLongValue::writeChunks(result, line.end, m_encoding, *m_writer, m_encoded);
    return true;
}

// False when the held parts and the value line are to be written as read: too long, not
// decodable, or not changed.
bool DxfStreamRewriter::convertLongValue(const DxfLine& line, TextEntityKind kind,
                                         QStringView& result) {
    if (line.continues || !m_longValue.fits(line.bytes().size())) {
        ++m_notes.longValuesLeft;
        return false;
    }
    if (m_longValue.hasParts() && line.end.isEmpty())
        return false;
    if (!m_longValue.decodeInto(line.text, m_encoding, m_value))
        return false;
    result = m_transform->transformView(m_value, kind);
    if (result == QStringView(m_value))
        return false;
    if (m_changes)
        reportChange(m_longValue.hasParts() ? m_longValueLine
                                            : m_reader->lineNumberAt(line.text.data()),
                     kind, result);
    return true;
}

void DxfStreamRewriter::writeValue(const DxfLine& line, TextEntityKind kind) {
    if (!m_transform || line.continues) {
        if (m_transform)
            ++m_notes.longValuesLeft;
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
    if (m_changes)
        reportChange(m_reader->lineNumberAt(line.text.data()), kind, result);
    flushRun();
    DxfValueCodec::encodeInto(result, m_encoding, m_encoded);
    m_writer->write(m_encoded);
    m_writer->write(line.end);
}

// The value before the change is the one in m_value.
void DxfStreamRewriter::reportChange(qint64 line, TextEntityKind kind, QStringView after) {
    // Handles are hexadecimal and most layer names ASCII, which both encodings keep as it is:
    // those need no decoder. A field that does not decode is named by its bytes as Latin-1
    // rather than left out.
    const auto decode = [this](const std::string& bytes, QString& text) {
        const QLatin1String latin1(bytes.data(), qsizetype(bytes.size()));
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii || !DxfValueCodec::decodeInto(QByteArrayView(bytes), m_encoding, text))
            text = latin1;
    };
    decode(m_handle, m_handleText);
    decode(m_layer, m_layerText);
    DxfValueChange change;
    change.inputPath = m_inputPath;
    change.line = line;
    change.kind = kind;
    change.handle = m_handleText;
    change.layer = m_layerText;
    change.before = m_value;
    change.after = after;
    m_changes->valueChanged(change);
}

} // namespace ornvale

#include "DxfChangeReport.h"

namespace ornvale {

namespace {

const char* entityName(TextEntityKind kind) {
    return kind == TextEntityKind::MTextEntity ? "MTEXT" : "TEXT";
}

} // namespace

std::optional<DxfChangeReport::Format> DxfChangeReport::formatFor(const QString& path) {
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return Format::Csv;
    if (path.endsWith(QStringLiteral(".jsonl"), Qt::CaseInsensitive))
        return Format::Jsonl;
    return std::nullopt;
}

DxfChangeReport::DxfChangeReport(const QString& path, Format format)
    : m_file(path), m_format(format) {}

bool DxfChangeReport::open() {
    if (!m_file.open(QIODevice::WriteOnly))
        return false;
    if (m_format == Format::Csv)
        m_file.write("\xEF\xBB\xBF"
                     "file,line,entity,handle,layer,before,after\r\n");
    return true;
}

void DxfChangeReport::valueChanged(const DxfValueChange& change) {
    m_row.resize(0);
    const QByteArray line = QByteArray::number(change.line);
    if (m_format == Format::Csv) {
        appendCsvField(m_row, change.inputPath);
        m_row += ',' + line + ',' + entityName(change.kind) + ',';
        appendCsvField(m_row, change.handle);
        m_row += ',';
        appendCsvField(m_row, change.layer);
        m_row += ',';
        appendCsvField(m_row, change.before);
        m_row += ',';
        appendCsvField(m_row, change.after);
        m_row += "\r\n";
    } else {
        m_row += "{\"file\":";
        appendJsonString(m_row, change.inputPath);
        m_row +=
            ",\"line\":" + line + ",\"entity\":\"" + entityName(change.kind) + "\",\"handle\":";
        appendJsonString(m_row, change.handle);
        m_row += ",\"layer\":";
        appendJsonString(m_row, change.layer);
        m_row += ",\"before\":";
        appendJsonString(m_row, change.before);
        m_row += ",\"after\":";
        appendJsonString(m_row, change.after);
        m_row += "}\n";
    }
    m_file.write(m_row);
}

bool DxfChangeReport::commit() {
    return m_file.commit();
}

void DxfChangeReport::appendCsvField(QByteArray& row, QStringView text) {
    const bool quoted =
        text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quoted) {
        row += text.toUtf8();
        return;
    }
    row += '"';
    row += text.toUtf8().replace('"', "\"\"");
    row += '"';
}

void DxfChangeReport::appendJsonString(QByteArray& row, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    row += '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            row += '\\';
            row += c;
        } else if (c == '\n') {
            row += "\\n";
        } else if (c == '\r') {
            row += "\\r";
        } else if (c == '\t') {
            row += "\\t";
        } else if (byte < 0x20) {
            row += "\\u00";
            row += hex[byte >> 4];
            row += hex[byte & 0xF];
        } else {
            row += c;
        }
    }
    row += '"';
}

} // namespace ornvale

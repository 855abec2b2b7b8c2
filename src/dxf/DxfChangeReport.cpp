#include "DxfChangeReport.h"

#include "WritebackHook.h"

namespace ornvale {

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
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    m_writer.emplace(m_file);
    m_writer->setWriteHook(writebackHook(m_file));
    m_writer->write(DxfChangeRowFormat::header(m_format));
    return true;
}

void DxfChangeReport::valueChanged(const DxfValueChange& change) {
    if (change.inputPath != m_fileName) {
        m_fileName = change.inputPath.toString();
        m_fileField = DxfChangeRowFormat::field(m_fileName, m_format);
    }
    m_row.resize(0);
    DxfChangeRowFormat::appendRow(m_row, m_fileField, change, m_format);
    m_writer->write(m_row);
}

bool DxfChangeReport::commit() {
    const bool written = m_writer && m_writer->flush();
    m_writer.reset();
    if (written)
        return m_file.commit();
    m_file.cancelWriting();
    return false;
}

void DxfChangeReport::cancel() {
    m_writer.reset();
    m_file.cancelWriting();
}

} // namespace ornvale

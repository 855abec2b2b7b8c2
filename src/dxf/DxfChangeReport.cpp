#include "DxfChangeReport.h"

#include "DxfChangeRowDevice.h"
#include "DxfLineWriter.h"
#include "DxfRewriter.h"

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

DxfChangeReport::~DxfChangeReport() = default;

bool DxfChangeReport::open() {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    m_rows = std::make_unique<DxfChangeRowDevice>(m_file, m_format);
    m_rows->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    m_rows->setWriteHook(DxfRewriter::writebackHook(m_file));
    m_writer = std::make_unique<DxfLineWriter>(*m_rows);
    return true;
}

void DxfChangeReport::valueChanged(const DxfValueChange& change) {
    const bool newFile = change.inputPath != m_packedFile;
    if (newFile)
        m_packedFile = change.inputPath.toString();
    DxfChangeRowDevice::pack(change, newFile, *m_writer);
}

bool DxfChangeReport::commit() {
    const bool written = m_writer && m_writer->flush() && m_rows->finish();
    m_writer.reset();
    m_rows.reset();
    if (!written) {
        m_file.cancelWriting();
        return false;
    }
    return m_file.commit();
}

void DxfChangeReport::cancel() {
    m_writer.reset();
    m_rows.reset();
    m_file.cancelWriting();
}

} // namespace ornvale

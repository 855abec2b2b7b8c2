#pragma once

#include "DxfChangeObserver.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <memory>
#include <optional>

namespace ornvale {

class DxfLineWriter;

// Writes every changed value as one row of a report file, as the changes come: "file",
// "line", "entity", "handle", "layer", "before", "after". A ".csv" report is UTF-8 with a
// byte-order mark and a header row, fields quoted where they hold a comma, a quote or a line
// break; a ".jsonl" report holds one JSON object per line. The file appears only once the
// report is complete, replacing an earlier one whole.
class DxfChangeReport : public DxfChangeObserver {
public:
    enum class Format { Csv, Jsonl };

    // By the file name's extension (any letter case); none for another one.
    static std::optional<Format> formatFor(const QString& path);

    DxfChangeReport(const QString& path, Format format);
    ~DxfChangeReport() override;
    DxfChangeReport(const DxfChangeReport&) = delete;
    DxfChangeReport& operator=(const DxfChangeReport&) = delete;

    // Starts the report; false when the file cannot be created.
    bool open();
    void valueChanged(const DxfValueChange& change) override;
    // Puts the complete report in place; false when anything could not be written.
    bool commit();
    // Drops the report, leaving any earlier file of the name as it was.
    void cancel();

    QString path() const { return m_file.fileName(); }

    static void appendCsvField(QByteArray& row, QStringView text);
    static void appendJsonString(QByteArray& row, QStringView text);

private:
    QSaveFile m_file;
    Format m_format;
    // Rows go out in large writes from a thread of their own, as the drawing's output does:
    // a report can be as large as the drawing.
    std::unique_ptr<DxfLineWriter> m_writer;
    QByteArray m_row; // reused for every row
};

} // namespace ornvale

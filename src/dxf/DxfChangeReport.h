#pragma once

#include "DxfChangeObserver.h"
#include "DxfChangeRowFormat.h"
#include "ThreadedByteWriter.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace ornvale {

// Writes every changed value as one row of a report file (see DxfChangeRowFormat), as the
// changes come. The file appears only once the report is complete, replacing an earlier one
// whole.
class DxfChangeReport : public DxfChangeObserver {
public:
    using Format = DxfChangeFormat;

    // By the file name's extension (any letter case); none for another one.
    static std::optional<Format> formatFor(const QString& path);

    DxfChangeReport(const QString& path, Format format);

    // Starts the report; false when the file cannot be created.
    bool open();
    void valueChanged(const DxfValueChange& change) override;
    // Puts the complete report in place; false when anything could not be written.
    bool commit();
    // Drops the report, leaving any earlier file of the name as it was.
    void cancel();

    QString path() const { return m_file.fileName(); }

private:
    QSaveFile m_file;
    Format m_format;
    // A report can be as large as the drawing: its rows go out in large writes from a
    // thread of their own, as the drawing's output does.
    std::optional<ThreadedByteWriter> m_writer;
    QByteArray m_row;   // reused for every row
    QString m_fileName; // of the last row, with its field as rows write it
    QByteArray m_fileField;
};

} // namespace ornvale

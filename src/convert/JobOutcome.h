#pragma once

#include <QList>
#include <QString>

namespace ornvale {

// The colour mark of a ratio cell: light red when the file grew, light cyan when it shrank.
enum class SizeMark { None, Grew, Shrank };

// One row of the conversion result grid, cell texts as the grid shows them.
struct ConversionRow {
    int number = 0; // the drawing's number in the list, from 1
    QString name;   // output file name
    QString source; // source path
    QString output; // output path
    QString before; // "10 KB"
    QString after;  // "5 KB"
    QString ratio;  // "50%", empty when a figure is empty
    SizeMark mark = SizeMark::None;
};

// One row of the audit report grid.
struct AuditRow {
    int number = 0;
    QString name;        // output file name
    QString summary;     // the report's summary line
    bool errors = false; // summary is not a zero text (the cell is marked light red)
    QString report;      // the report's path
    bool reportKept = false;
};

// How a job ended and what it found. The windows and the command line show this.
struct JobOutcome {
    enum class Status { Completed, Aborted, Failed };
    Status status = Status::Completed;
    QString message; // the text of the box shown at the end, empty when none
    QList<ConversionRow> conversions;
    QList<AuditRow> audits; // one per listed drawing when audit was on, else empty
    bool audit = false;
    // Ended by the stall limit: conversions holds the rows of the outputs written before it.
    bool stalled = false;
    QString waitingFor = {}; // the source whose output did not come; empty when all had come

    bool completed() const { return status == Status::Completed; }
};

} // namespace ornvale

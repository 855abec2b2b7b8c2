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
    QString version;       // the output's version code as read back
    bool versionOk = true; // the release asked for, and a whole drawing
    QString finding;       // what was found when not ok (the name cell's tooltip)
};

// Every listed drawing's output as read back after the job, with or without a grid row.
struct OutputRow {
    int number = 0;
    QString name;   // output file name
    QString source; // source path
    QString output; // output path
    QString version;
    bool versionOk = false;
    QString finding;
    bool resultRow = false; // it has a row in the conversion result grid
    bool kept = false;      // a resumed job kept it from an earlier one
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
    QList<OutputRow> outputs; // one per listed drawing after a completed job, else empty
    // Ended by the stall limit: conversions holds the rows of the outputs written before it.
    bool stalled = false;
    QString waitingFor = {}; // the source whose output did not come; empty when all had come

    bool completed() const { return status == Status::Completed; }
    // Every output read back is of the release asked for and whole.
    bool outputsOk() const {
        for (const OutputRow& row : outputs) {
            if (!row.versionOk)
                return false;
        }
        return true;
    }
};

} // namespace ornvale

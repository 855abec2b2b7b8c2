#pragma once

#include "DxfChangeObserver.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace ornvale {

enum class DxfChangeFormat { Csv, Jsonl };

// One changed value as one row of a change report: "file", "line", "entity", "handle",
// "layer", "before", "after", in UTF-8 (a lone surrogate, which has no UTF-8 form, as U+FFFD).
// CSV rows quote a field where it holds a comma, a quote or a line break and end in CR LF;
// JSON Lines rows are one object each, ending in LF.
namespace DxfChangeRowFormat {

// What a report starts with: for CSV the byte-order mark and the header row, else nothing.
QByteArrayView header(DxfChangeFormat format);
void appendRow(QByteArray& row, const DxfValueChange& change, DxfChangeFormat format);
void appendCsvField(QByteArray& row, QStringView text);
void appendJsonString(QByteArray& row, QStringView text);

} // namespace DxfChangeRowFormat

} // namespace ornvale

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
// `text` as one field of a row, quoted or escaped as the format asks.
QByteArray field(QStringView text, DxfChangeFormat format);
// The row of `change`, with the file field field() made: once for the many rows of a file.
void appendRow(QByteArray& row, QByteArrayView fileField, const DxfValueChange& change,
               DxfChangeFormat format);

} // namespace DxfChangeRowFormat

} // namespace ornvale

#pragma once

#include "DxfChangeObserver.h"

#include <QByteArray>
#include <QStringView>

namespace ornvale {

enum class DxfChangeFormat { Csv, Jsonl };

// One changed value as one row of a change report: "file", "line", "entity", "handle",
// "layer", "before", "after". CSV rows quote a field where it holds a comma, a quote or a
// line break and end in CR LF; JSON Lines rows are one object each, ending in LF.
namespace DxfChangeRowFormat {

// What a report starts with: for CSV the byte-order mark and the header row, else nothing.
QByteArrayView header(DxfChangeFormat format);
void appendRow(QByteArray& row, const DxfValueChange& change, DxfChangeFormat format);
// The same row with its file field given as fileField() made it, for a caller that writes
// many rows of one file.
void appendRow(QByteArray& row, QByteArrayView fileField, const DxfValueChange& change,
               DxfChangeFormat format);
QByteArray fileField(QStringView inputPath, DxfChangeFormat format);
void appendCsvField(QByteArray& row, QStringView text);
void appendJsonString(QByteArray& row, QStringView text);

} // namespace DxfChangeRowFormat

} // namespace ornvale

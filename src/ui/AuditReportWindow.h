#pragma once

#include "JobOutcome.h"

#include <QWidget>

namespace ornvale {

class ResultGrid;

// Form4, "  監査結果レポート": the summary line of each drawing's audit report; lines with
// errors (or no summary at all) are marked light red.
class AuditReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit AuditReportWindow(QWidget* parent = nullptr);

    ResultGrid* grid() const { return m_grid; }
    // Empties the grid; with audit on, sets its columns and one row per listed drawing.
    void prepare(int fileCount, bool audit);
    void showRows(const QList<AuditRow>& rows);

private:
    ResultGrid* m_grid = nullptr;
};

} // namespace ornvale

#pragma once

#include <QString>

namespace ornvale::acadsim {

class SimProduct;

// The ".adt" report AUDIT writes beside the drawing while AUDITCTL is 1: code page 932, CR LF
// after every line, the summary line followed by one more line (three for the 2007 products).
class AuditReport {
public:
    struct Findings {
        int found = 0;
        bool fix = false;
        bool shortReport = false; // a single line: the summary alone, with no line after it
    };

    // The drawing's path with ".adt" in place of its extension.
    static QString pathFor(const QString& drawingPath);
    // The report's text.
    static QString text(const SimProduct& product, const QString& drawingPath,
                        const Findings& findings);
    // Writes the report; false with the reason.
    static bool write(const QString& reportPath, const QString& text, QString* error);
};

} // namespace ornvale::acadsim

#pragma once

#include "Keyword.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale::acadsim {

// A release a save prompt offers, with the drawing version code it writes.
struct Release {
    QString keyword; // "2004", "R14"
    QString versionCode;
};

// What one simulated product opens, prompts and accepts. This is the simulator's own knowledge
// of the products, kept apart from the program's tables so that the program's scripts are
// checked against it rather than against themselves.
class SimProduct {
public:
    static std::optional<SimProduct> forSelection(int selectionCode);

    int selectionCode() const { return m_code; }
    const QString& name() const { return m_name; }

    bool canOpen(const QString& versionCode) const { return m_openable.contains(versionCode); }
    // The DWG releases of the file-format prompt and the DXF releases of the version prompt,
    // oldest first; the last one is the product's own release and the default.
    const QList<Release>& dwgReleases() const { return m_dwg; }
    const QList<Release>& dxfReleases() const { return m_dxf; }
    const Release& ownRelease() const { return m_dwg.last(); }
    // The item keywords of "-purge".
    const QList<Keyword>& purgeItems() const { return m_purge; }

    // The 2007 products end their audit report with three lines after the summary, the others
    // with one.
    int linesAfterSummary() const { return m_generation == 2007 ? 3 : 1; }
    // "検出ｴﾗｰ総数 0 修復数 0" (half-width katakana, LT products up to 2006) or
    // "検出エラー総数 0 修復数 0", with the counts in place of the zeros.
    QString auditSummary(int found, int fixed) const;
    // AutoCAD 2006, LT 2006 and Mechanical 2006 wait for Enter after closing a drawing.
    bool asksEnterAfterClose() const { return m_code == 7 || m_code == 17 || m_code == 18; }

private:
    int m_code = 0;
    int m_generation = 0; // 2000, 2004 or 2007
    QString m_name;
    QStringList m_openable;
    QList<Release> m_dwg;
    QList<Release> m_dxf;
    QList<Keyword> m_purge;
};

} // namespace ornvale::acadsim

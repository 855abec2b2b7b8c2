#include "AuditReport.h"

#include "Cp932Codec.h"
#include "DrawingFile.h"
#include "SimProduct.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

QString AuditReport::pathFor(const QString& drawingPath) {
    const QString suffix = QFileInfo(drawingPath).suffix();
    const qsizetype cut = suffix.isEmpty() ? 0 : suffix.size() + 1;
    return drawingPath.left(drawingPath.size() - cut) + u".adt"_s;
}

QString AuditReport::text(const SimProduct& product, const QString& drawingPath,
                          const Findings& findings) {
    const int fixed = findings.fix ? findings.found : 0;
    const QString summary = product.auditSummary(findings.found, fixed);
    if (findings.shortReport)
        return summary + u"\r\n"_s;
    QStringList lines{product.name() + u" 監査レポート"_s, u"図面: "_s + drawingPath,
                      findings.fix ? u"検出したエラーを修復: Y"_s : u"検出したエラーを修復: N"_s,
                      QString()};
    for (int i = 1; i <= findings.found; ++i) {
        lines.append(u"AcDbBlockTableRecord(%1) 名前が無効です  %2"_s.arg(i, 4, 16, QChar(u'0'))
                         .arg(findings.fix ? u"修復しました"_s : u"修復しません"_s));
    }
    lines.append(summary);
    if (product.linesAfterSummary() == 3)
        lines += {QString(), u"%1 個のオブジェクトを監査しました"_s.arg(120 + findings.found)};
    lines.append(u"監査が終了しました。"_s);
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

bool AuditReport::write(const QString& reportPath, const QString& text, QString* error) {
    const Cp932Codec::Encoded encoded = Cp932Codec::encode(text);
    if (!encoded.ok()) {
        *error = u"the drawing's path has no code page 932 form"_s;
        return false;
    }
    return DrawingFile::write(reportPath, encoded.bytes, error);
}

} // namespace ornvale::acadsim

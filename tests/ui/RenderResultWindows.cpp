// Renders the conversion result and audit report windows with a few typical rows and saves
// them as PNGs: `xvfb-run -a RenderResultWindows docs/result-window.png docs/audit-window.png`.
// Not a test; kept beside the window tests so the pictures can be made again.
#include "AuditReportWindow.h"
#include "ConversionResultWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

using namespace ornvale;

namespace {

QList<ConversionRow> sampleConversions() {
    return {{1,
             QStringLiteral("1F平面図.dwg"),
             {},
             {},
             QStringLiteral("10 KB"),
             QStringLiteral("5 KB"),
             QStringLiteral("50%"),
             SizeMark::Shrank,
             QStringLiteral("AC1018"),
             true,
             {}},
            {2,
             QStringLiteral("立面図-COPY.dwg"),
             {},
             {},
             QStringLiteral("120 KB"),
             QStringLiteral("150 KB"),
             QStringLiteral("125%"),
             SizeMark::Grew,
             QStringLiteral("AC1018"),
             true,
             {}},
            {4,
             QStringLiteral("site.dwg"),
             {},
             {},
             QStringLiteral("48 KB"),
             QStringLiteral("48 KB"),
             QStringLiteral("100%"),
             SizeMark::None,
             QStringLiteral("AC1018"),
             true,
             {}}};
}

QList<AuditRow> sampleAudits() {
    return {{1,
             QStringLiteral("1F平面図.dwg"),
             QStringLiteral("検出エラー総数 0 修復数 0"),
             false,
             {},
             false},
            {2,
             QStringLiteral("立面図-COPY.dwg"),
             QStringLiteral("検出エラー総数 2 修復数 2"),
             true,
             {},
             true},
            {3, QStringLiteral("断面図.dxf"), QString(), true, {}, false},
            {4,
             QStringLiteral("site.dwg"),
             QStringLiteral("検出エラー総数 0 修復数 0"),
             false,
             {},
             false}};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: RenderResultWindows RESULT.png AUDIT.png\n", stderr);
        return 2;
    }
    ConversionResultWindow results;
    results.showRows(sampleConversions());
    AuditReportWindow audits;
    audits.prepare(4, true);
    audits.showRows(sampleAudits());
    results.show();
    audits.show();
    int status = 1;
    QTimer::singleShot(500, &results, [&] {
        const bool saved = results.grab().save(QString::fromLocal8Bit(argv[1])) &&
                           audits.grab().save(QString::fromLocal8Bit(argv[2]));
        status = saved ? 0 : 1;
        QCoreApplication::exit(status);
    });
    QApplication::exec();
    return status;
}

// Drop of a full batch: 999 small drawings identified and listed, against the bare cost of
// opening and reading the start of the same files; then one huge drawing against a tiny one.
#include "DrawingIdentifier.h"
#include "DrawingIntake.h"
#include "FileList.h"
#include "Prompter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ornvale;

namespace {

class CountingPrompter : public Prompter {
public:
    int messages = 0;
    void inform(const QString&, const QString&) override { ++messages; }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString&, const QString&) override {}
};

QByteArray dxfBytes(const QByteArray& code, int padding) {
    return "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n" + code +
           "\r\n  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n" + QByteArray(padding, 'x') + "\r\n";
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

template <typename F> double medianMs(int runs, F&& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QStringList makeBatch(const QString& dir) {
    QStringList paths;
    for (int i = 0; i < 999; ++i) {
        const bool dwg = i % 2 == 0;
        const QString path =
            dir + QStringLiteral("/drawing%1.%2").arg(i).arg(dwg ? u"dwg" : u"DXF");
        write(path, dwg ? QByteArray("AC1015") + QByteArray(2048, '\0') : dxfBytes("AC1018", 2048));
        paths.append(path);
    }
    return paths;
}

void benchBatch(const QStringList& paths) {
    const DrawingIntake intake(41);
    CountingPrompter prompter;
    auto dropAll = [&](bool sorted) {
        FileList list;
        list.setSortOnDrop(sorted);
        if (list.drop(paths, intake, prompter).listedCount() != paths.size())
            qFatal("not every drawing was listed");
    };
    const double cold = medianMs(1, [&] { dropAll(false); }); // includes the code page tables
    const double plain = medianMs(9, [&] { dropAll(false); });
    const double sorted = medianMs(9, [&] { dropAll(true); });
    const double baseline = medianMs(9, [&] {
        for (const QString& path : paths) {
            QFile file(path);
            if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) ||
                file.read(64).isEmpty())
                qFatal("cannot read %s", qPrintable(path));
        }
    });
    std::printf("999 drawings, identify + list (first drop, cold):  %8.2f ms\n", cold);
    std::printf("999 drawings, identify + list (median of 9):       %8.2f ms\n", plain);
    std::printf("999 drawings, identify + list + sort (median of 9): %7.2f ms\n", sorted);
    std::printf("baseline: stat + open + read 64 bytes of each file: %7.2f ms\n", baseline);
    std::printf("messages shown: %d\n", prompter.messages);
}

void benchSize(const QString& dir) {
    const QString small = dir + QStringLiteral("/small.dxf");
    const QString huge = dir + QStringLiteral("/huge.dxf");
    write(small, dxfBytes("AC1021", 1024 - 80));
    write(huge, dxfBytes("AC1021", 1024 - 80));
    QFile file(huge);
    if (!file.resize(qint64(1) << 30))
        qFatal("cannot grow %s", qPrintable(huge));
    const int calls = 2000;
    for (const auto& [name, path] : {std::pair{"1 KiB", small}, std::pair{"1 GiB", huge}}) {
        for (const DrawingFormat format : {DrawingFormat::Dxf, DrawingFormat::Dwg}) {
            const double ms = medianMs(5, [&] {
                for (int i = 0; i < calls; ++i) {
                    if (!DrawingIdentifier::readVersionCode(path, format))
                        qFatal("no code in %s", qPrintable(path));
                }
            });
            std::printf("%s %s: %6.2f us per identification (%lld bytes)\n", name,
                        format == DrawingFormat::Dxf ? "as DXF" : "as DWG", ms * 1000 / calls,
                        QFileInfo(path).size());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    benchBatch(makeBatch(dir.path()));
    benchSize(dir.path());
    return 0;
}

// Times the DXF rewrite driver against a minimal line copier on generated drawings.
//
//   bench_dxf_rewrite [--size-mib N] [--dir DIR] [--keep]
//       generates the drawings in DIR (default /tmp/ornvale-bench), runs copier and driver
//       twice each on every drawing and prints the best times
//   bench_dxf_rewrite rewrite FILE [--heavy [--tables]] [--changes]
//       runs only the driver on FILE (for /usr/bin/time -v peak memory) and prints its time;
//       --tables converts the width by the alphabet, digit and katakana tables instead of for
//       all characters; --changes also writes every changed value to a CSV change report in a
//       temporary folder
//   bench_dxf_rewrite report-cost FILE [ROUNDS]
//       the text-heavy options on FILE without a change observer, with one that ignores the
//       changes and with a CSV change report beside it, and the copier with sync, in turn for
//       ROUNDS rounds (default 7); prints best and median
//   bench_dxf_rewrite copy FILE
//       runs only the copier on FILE
//   bench_dxf_rewrite generate FILE SIZE_MIB [--heavy] [--utf8]
//       writes one generated drawing
#include "DxfChangeReport.h"
#include "DxfRewriter.h"
#include "Prompter.h"
#include "TextPipeline.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace ornvale;

namespace {

class PrintingPrompter : public Prompter {
public:
    void inform(const QString& text, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString& text, const QString& title) override { inform(text, title); }
};

// The baseline: large block reads, memchr at CR, every line copied into an own output buffer.
bool copyLines(const char* inPath, const char* outPath, bool sync = false) {
    const int in = open(inPath, O_RDONLY);
    const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0)
        return false;
    constexpr size_t kBlock = size_t(1) << 20;
    std::vector<char> buffer(kBlock);
    std::vector<char> output(kBlock);
    size_t begin = 0, end = 0, used = 0;
    bool atEnd = false;
    auto put = [&](const char* data, size_t size) {
        if (used + size > output.size()) {
            if (write(out, output.data(), used) != ssize_t(used))
                std::abort();
            used = 0;
        }
        std::memcpy(output.data() + used, data, size);
        used += size;
    };
    for (;;) {
        const char* base = buffer.data();
        const auto* cr = static_cast<const char*>(std::memchr(base + begin, '\r', end - begin));
        if (cr && (size_t(cr - base) + 1 < end || atEnd)) {
            size_t lineEnd = size_t(cr - base) + 1;
            if (lineEnd < end && base[lineEnd] == '\n')
                ++lineEnd;
            put(base + begin, lineEnd - begin);
            begin = lineEnd;
            continue;
        }
        if (atEnd) {
            put(base + begin, end - begin);
            break;
        }
        std::memmove(buffer.data(), base + begin, end - begin);
        end -= begin;
        begin = 0;
        const ssize_t got = read(in, buffer.data() + end, kBlock - end);
        if (got <= 0)
            atEnd = true;
        else
            end += size_t(got);
    }
    if (write(out, output.data(), used) != ssize_t(used))
        std::abort();
    // The driver's output is synced before it replaces an earlier one; the same work here.
    if (sync)
        fdatasync(out);
    close(in);
    close(out);
    return true;
}

// Entities of a drawing: plain ones are LINE entities with an occasional TEXT; heavy ones
// alternate LINE with TEXT and MTEXT, so half the entities carry text.
void generate(const QString& path, qint64 size, bool heavy, bool utf8) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    QByteArray chunk = "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n";
    chunk += utf8 ? "AC1021\r\n" : "AC1018\r\n";
    chunk += "  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    const QByteArray line = "  0\r\nLINE\r\n  5\r\n2F\r\n330\r\n1F\r\n100\r\nAcDbEntity\r\n"
                            "  8\r\n0\r\n100\r\nAcDbLine\r\n 10\r\n12.5\r\n 20\r\n7.25\r\n"
                            " 30\r\n0.0\r\n 11\r\n112.5\r\n 21\r\n97.25\r\n 31\r\n0.0\r\n";
    const QByteArray value = utf8 ? QByteArray("Room abc 12 \xE5\x9B\xB3\xE9\x9D\xA2 note")
                                  : QByteArray("Room abc 12 \x90\x7D\x96\xCA \xB6\xC0 note");
    const QByteArray text = "  0\r\nTEXT\r\n  5\r\n30\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n"
                            "100\r\nAcDbText\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n"
                            " 40\r\n2.5\r\n  1\r\n" +
                            value + "\r\n100\r\nAcDbText\r\n";
    const QByteArray mtext = "  0\r\nMTEXT\r\n  5\r\n31\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n"
                             "100\r\nAcDbMText\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n"
                             " 40\r\n2.5\r\n  1\r\n" +
                             value + "\\Pline two\r\n 44\r\n1.0\r\n";
    for (int n = 0; chunk.size() < (qsizetype(4) << 20); ++n) {
        chunk += line;
        if (heavy)
            chunk += (n % 2) ? text : mtext;
        else if (n % 5000 == 0)
            chunk += text;
    }
    qint64 written = 0;
    while (written < size) {
        file.write(chunk);
        written += chunk.size();
        chunk = chunk.mid(chunk.indexOf("ENTITIES\r\n") + 10); // header only once
    }
    file.write("  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
}

TextOptions heavyOptions(bool byTables = false) {
    TextOptions options;
    options.searchText = QStringLiteral("abc");
    options.replaceText = QStringLiteral("xyz");
    options.widthConversion = WidthConversion::ToFullWidth;
    options.widthAll = !byTables;
    options.widthAlphabet = options.widthDigits = options.widthKatakana = byTables;
    options.caseConversion = CaseConversion::ToUpper;
    return options;
}

double seconds(const std::function<bool()>& work) {
    const auto start = std::chrono::steady_clock::now();
    if (!work())
        std::abort();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool rewrite(const QString& path, const TextOptions& options,
             DxfChangeObserver* changes = nullptr) {
    TextPipeline pipeline(options);
    PrintingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    rewriter.setChangeObserver(changes);
    return rewriter.run({path}).at(0).converted;
}

// The driver alone, optionally with a CSV change report; prints the time taken.
int rewriteOnly(const QString& path, const TextOptions& options, bool changes) {
    QTemporaryDir dir;
    DxfChangeReport report(dir.filePath(QStringLiteral("changes.csv")),
                           DxfChangeReport::Format::Csv);
    if (changes && !report.open())
        return 1;
    bool ok = false;
    const double time = seconds([&] {
        ok = rewrite(path, options, changes ? &report : nullptr) && (!changes || report.commit());
        return true;
    });
    std::printf("rewrite%s %.3f s\n", changes ? " with change report" : "", time);
    return ok ? 0 : 1;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The driver telling an observer that does nothing of every change: what line counting and
// keeping handles and layers cost, without any report.
class IgnoringObserver : public DxfChangeObserver {
public:
    void valueChanged(const DxfValueChange&) override {}
};

// What the change report costs: rounds of the copier with sync, the driver without, with an
// observer that ignores the changes and with a CSV report beside the drawing, taken in turn
// so that a busy minute hits all four alike.
int reportCost(const QString& path, int rounds) {
    const QByteArray in = path.toLocal8Bit();
    const QByteArray out = (path + QStringLiteral(".copy")).toLocal8Bit();
    const QString reportPath = path + QStringLiteral(".changes.csv");
    const QString outputs[] = {QString::fromLocal8Bit(out), DxfRewriter::outputPathFor(path),
                               reportPath};
    // Every run starts from the same state: no earlier output to replace, nothing of the last
    // run still being written or discarded by the file system.
    const auto settle = [&] {
        for (const QString& output : outputs)
            QFile::remove(output);
        ::sync();
    };
    std::vector<double> copier, plain, observed, reported;
    IgnoringObserver ignoring;
    for (int round = 0; round < rounds; ++round) {
        settle();
        copier.push_back(seconds([&] { return copyLines(in.constData(), out.constData(), true); }));
        settle();
        plain.push_back(seconds([&] { return rewrite(path, heavyOptions()); }));
        settle();
        observed.push_back(seconds([&] { return rewrite(path, heavyOptions(), &ignoring); }));
        settle();
        reported.push_back(seconds([&] {
            DxfChangeReport report(reportPath, DxfChangeReport::Format::Csv);
            return report.open() && rewrite(path, heavyOptions(), &report) && report.commit();
        }));
    }
    const auto best = [](const std::vector<double>& t) {
        return *std::min_element(t.begin(), t.end());
    };
    std::printf("%d rounds, report %.0f MB\n", rounds, double(QFile(reportPath).size()) / 1e6);
    std::printf("copier+sync    best %.3f s  median %.3f s\n", best(copier), median(copier));
    std::printf("driver         best %.3f s  median %.3f s\n", best(plain), median(plain));
    std::printf("driver+ignored best %.3f s  median %.3f s\n", best(observed), median(observed));
    std::printf("driver+report  best %.3f s  median %.3f s\n", best(reported), median(reported));
    std::printf("report cost    best %.2fx  median %.2fx\n", best(reported) / best(plain),
                median(reported) / median(plain));
    settle();
    return 0;
}

void compare(const char* label, const QString& path, const TextOptions& options) {
    const qint64 size = QFile(path).size();
    const QByteArray in = path.toLocal8Bit();
    const QByteArray out = (path + QStringLiteral(".copy")).toLocal8Bit();
    double copier = 1e9, synced = 1e9, driver = 1e9;
    for (int round = 0; round < 2; ++round) {
        copier =
            std::min(copier, seconds([&] { return copyLines(in.constData(), out.constData()); }));
        synced = std::min(
            synced, seconds([&] { return copyLines(in.constData(), out.constData(), true); }));
        driver = std::min(driver, seconds([&] { return rewrite(path, options); }));
    }
    const double mb = double(size) / 1e6;
    std::printf("%-28s %5.0f MB  copier %5.2f s %4.0f MB/s  copier+sync %5.2f s  driver %5.2f s "
                "%4.0f MB/s  driver/copier %.2f  driver/(copier+sync) %.2f\n",
                label, mb, copier, mb / copier, synced, driver, mb / driver, driver / copier,
                driver / synced);
    std::fflush(stdout);
    QFile::remove(QString::fromLocal8Bit(out));
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.size() >= 2 && args[0] == QLatin1String("rewrite"))
        return rewriteOnly(args[1],
                           args.contains(QLatin1String("--heavy"))
                               ? heavyOptions(args.contains(QLatin1String("--tables")))
                               : TextOptions{},
                           args.contains(QLatin1String("--changes")));
    if (args.size() >= 2 && args[0] == QLatin1String("report-cost"))
        return reportCost(args[1], args.size() >= 3 ? args[2].toInt() : 7);
    if (args.size() >= 3 && args[0] == QLatin1String("generate")) {
        generate(args[1], args[2].toLongLong() << 20, args.contains(QLatin1String("--heavy")),
                 args.contains(QLatin1String("--utf8")));
        return 0;
    }
    if (args.size() >= 2 && args[0] == QLatin1String("copy"))
        return copyLines(argv[2], (args[1] + QStringLiteral(".copy")).toLocal8Bit().constData())
                   ? 0
                   : 1;
    qint64 sizeMib = 1024;
    QString dir = QStringLiteral("/tmp/ornvale-bench");
    if (const qsizetype at = args.indexOf(QLatin1String("--size-mib"));
        at >= 0 && at + 1 < args.size())
        sizeMib = args[at + 1].toLongLong();
    if (const qsizetype at = args.indexOf(QLatin1String("--dir")); at >= 0 && at + 1 < args.size())
        dir = args[at + 1];
    QDir().mkpath(dir);
    const qint64 size = sizeMib << 20;
    struct Case {
        const char* label;
        const char* name;
        bool heavy;
        bool utf8;
    };
    for (const Case& c : {Case{"few texts, no option, cp932", "plain.dxf", false, false},
                          Case{"few texts, no option, utf-8", "plain-utf8.dxf", false, true},
                          Case{"text-heavy, w/c/r, cp932", "heavy.dxf", true, false},
                          Case{"text-heavy, w/c/r, utf-8", "heavy-utf8.dxf", true, true}}) {
        const QString path = dir + u'/' + QLatin1String(c.name);
        generate(path, size, c.heavy, c.utf8);
        compare(c.label, path, c.heavy ? heavyOptions() : TextOptions{});
        if (!args.contains(QLatin1String("--keep"))) {
            QFile::remove(path);
            QFile::remove(DxfRewriter::outputPathFor(path));
        }
    }
    return 0;
}

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
//   bench_dxf_rewrite report-cost FILE [ROUNDS [--jsonl]]
//       the text-heavy options on FILE without a change observer, with one that ignores the
//       changes and with a CSV (or JSON Lines) change report beside it, and the copier with
//       sync, in turn for ROUNDS rounds (default 7); prints best and median wall times, the
//       converting thread's processor times and the ratios of each round
//   bench_dxf_rewrite copy FILE
//       runs only the copier on FILE
//   bench_dxf_rewrite generate FILE SIZE_MIB [--heavy [--sparse]] [--utf8]
//       writes one generated drawing; with --sparse, the text-heavy options change only one
//       text value in twenty
#include "DxfChangeReport.h"
#include "DxfRewriter.h"
#include "DxfValueCodec.h"
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
#include <ctime>
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

// A value as the text-heavy options leave it: converting it again changes nothing.
QByteArray settledValue(const QByteArray& value, TextEntityKind kind, DxfEncoding encoding) {
    TextPipeline pipeline(heavyOptions());
    QString text;
    if (!DxfValueCodec::decodeInto(value, encoding, text))
        std::abort();
    const QString settled = pipeline.transformView(text, kind).toString();
    if (pipeline.transformView(settled, kind) != settled)
        std::abort();
    QByteArray bytes;
    DxfValueCodec::encodeInto(settled, encoding, bytes);
    return bytes;
}

// Entities of a drawing: plain ones are LINE entities with an occasional TEXT; heavy ones
// alternate LINE with TEXT and MTEXT, so half the entities carry text. In a sparse one
// (heavy too) only every twentieth text value is one the text-heavy options change; the
// others already read as those options write them.
void generate(const QString& path, qint64 size, bool heavy, bool utf8, bool sparse = false) {
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
    const QByteArray mtextValue = value + "\\Pline two";
    const auto text = [](const QByteArray& v) {
        return "  0\r\nTEXT\r\n  5\r\n30\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n"
               "100\r\nAcDbText\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n"
               " 40\r\n2.5\r\n  1\r\n" +
               v + "\r\n100\r\nAcDbText\r\n";
    };
    const auto mtext = [](const QByteArray& v) {
        return "  0\r\nMTEXT\r\n  5\r\n31\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n"
               "100\r\nAcDbMText\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n"
               " 40\r\n2.5\r\n  1\r\n" +
               v + "\r\n 44\r\n1.0\r\n";
    };
    const DxfEncoding encoding = utf8 ? DxfEncoding::Utf8 : DxfEncoding::Cp932;
    const QByteArray changing[2] = {mtext(mtextValue), text(value)};
    const QByteArray settled[2] = {
        mtext(settledValue(mtextValue, TextEntityKind::MTextEntity, encoding)),
        text(settledValue(value, TextEntityKind::TextEntity, encoding))};
    for (int n = 0; chunk.size() < (qsizetype(4) << 20); ++n) {
        chunk += line;
        if (heavy)
            chunk += (!sparse || (n / 2) % 20 == 0 ? changing : settled)[n % 2];
        else if (n % 5000 == 0)
            chunk += text(value);
    }
    qint64 written = 0;
    while (written < size) {
        file.write(chunk);
        written += chunk.size();
        chunk = chunk.mid(chunk.indexOf("ENTITIES\r\n") + 10); // header only once
    }
    file.write("  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
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

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The wall times of one kind of run, and the processor times of the thread that converts:
// on a busy machine the second stays near what an idle one gives, the first does not.
struct Runs {
    std::vector<double> wall, cpu;
    void time(const std::function<bool()>& work) {
        const double cpuStart = threadSeconds();
        wall.push_back(seconds(work));
        cpu.push_back(threadSeconds() - cpuStart);
    }
};

// What the change report costs: rounds of the copier with sync, the driver without, with an
// observer that ignores the changes and with a report beside the drawing, taken in turn so
// that a busy minute hits all four alike.
int reportCost(const QString& path, int rounds, DxfChangeReport::Format format) {
    const QByteArray in = path.toLocal8Bit();
    const QByteArray out = (path + QStringLiteral(".copy")).toLocal8Bit();
    const QString reportPath =
        path + (format == DxfChangeReport::Format::Csv ? QStringLiteral(".changes.csv")
                                                       : QStringLiteral(".changes.jsonl"));
    const QString outputs[] = {QString::fromLocal8Bit(out), DxfRewriter::outputPathFor(path),
                               reportPath};
    // Every run starts from the same state: no earlier output to replace, nothing of the last
    // run still being written or discarded by the file system.
    const auto settle = [&] {
        for (const QString& output : outputs)
            QFile::remove(output);
        ::sync();
    };
    Runs copier, plain, observed, reported;
    IgnoringObserver ignoring;
    for (int round = 0; round < rounds; ++round) {
        settle();
        copier.time([&] { return copyLines(in.constData(), out.constData(), true); });
        settle();
        plain.time([&] { return rewrite(path, heavyOptions()); });
        settle();
        observed.time([&] { return rewrite(path, heavyOptions(), &ignoring); });
        settle();
        reported.time([&] {
            DxfChangeReport report(reportPath, format);
            return report.open() && rewrite(path, heavyOptions(), &report) && report.commit();
        });
    }
    const auto best = [](const std::vector<double>& t) {
        return *std::min_element(t.begin(), t.end());
    };
    // A busy minute slows the four runs of a round alike: the ratio within each round varies
    // less than the times do.
    const auto roundRatio = [](const std::vector<double>& t, const std::vector<double>& base) {
        std::vector<double> ratios;
        for (size_t i = 0; i < t.size(); ++i)
            ratios.push_back(t[i] / base[i]);
        return median(ratios);
    };
    std::printf("%d rounds, report %.0f MB\n", rounds, double(QFile(reportPath).size()) / 1e6);
    std::printf("               wall best  median   converting thread's processor time median\n");
    const auto print = [&](const char* label, const Runs& runs) {
        std::printf("%-14s %7.3f s %7.3f s %7.3f s\n", label, best(runs.wall), median(runs.wall),
                    median(runs.cpu));
    };
    print("copier+sync", copier);
    print("driver", plain);
    print("driver+ignored", observed);
    print("driver+report", reported);
    std::printf("report cost    wall best %.2fx, median %.2fx, median of rounds %.2fx; "
                "processor median of rounds %.2fx\n",
                best(reported.wall) / best(plain.wall), median(reported.wall) / median(plain.wall),
                roundRatio(reported.wall, plain.wall), roundRatio(reported.cpu, plain.cpu));
    std::printf("ignoring cost  wall median of rounds %.2fx; processor median of rounds %.2fx\n",
                roundRatio(observed.wall, plain.wall), roundRatio(observed.cpu, plain.cpu));
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
        return reportCost(args[1], args.size() >= 3 ? qMax(args[2].toInt(), 1) : 7,
                          args.contains(QLatin1String("--jsonl")) ? DxfChangeReport::Format::Jsonl
                                                                  : DxfChangeReport::Format::Csv);
    if (args.size() >= 3 && args[0] == QLatin1String("generate")) {
        generate(args[1], args[2].toLongLong() << 20, args.contains(QLatin1String("--heavy")),
                 args.contains(QLatin1String("--utf8")), args.contains(QLatin1String("--sparse")));
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

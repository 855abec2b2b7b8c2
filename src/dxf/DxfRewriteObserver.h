#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ornvale {

// What became of one file of a batch.
struct DxfRewriteResult {
    QString inputPath;
    QString outputPath;
    bool converted = false;
    QString reason;    // why the file failed, as shown to the user; empty when converted
    QStringList notes; // what a converted file's output lacks, as shown to the user
};

// Progress of a batch for the text window (progress bar, finished-files label, event
// processing) and the command line. Every call comes from the thread running the batch.
class DxfRewriteObserver {
public:
    virtual ~DxfRewriteObserver() = default;

    virtual void fileStarted(int index, int count, const QString& inputPath) {
        Q_UNUSED(index)
        Q_UNUSED(count)
        Q_UNUSED(inputPath)
    }
    // Called once before the copy and after every block read (about every MiB): progress is
    // the share of the file's bytes read, which needs no extra pass over the file to count its
    // lines. A window processes its pending events here.
    virtual void fileProgress(qint64 bytesRead, qint64 bytesTotal) {
        Q_UNUSED(bytesRead)
        Q_UNUSED(bytesTotal)
    }
    // `finished` is the number of files done so far, this one included.
    virtual void fileFinished(int finished, const DxfRewriteResult& result) {
        Q_UNUSED(finished)
        Q_UNUSED(result)
    }

    // Progress in percent, rounded to the nearest whole number, as the progress bar shows it.
    static int percent(qint64 done, qint64 total) {
        if (total <= 0)
            return 100;
        return int((qMin(done, total) * 200 + total) / (2 * total));
    }
};

} // namespace ornvale

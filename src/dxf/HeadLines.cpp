#include "HeadLines.h"

#include <QFile>
#include <QFileInfo>

namespace ornvale {

HeadLines HeadLines::split(const QByteArray& bytes, int count, bool wholeFile) {
    HeadLines result;
    qsizetype pos = 0;
    while (result.lines.size() < count) {
        const qsizetype cr = bytes.indexOf('\r', pos);
        if (cr < 0) {
            // The rest is a last line without a line end, complete only when the file ends here.
            if (wholeFile && pos < bytes.size())
                result.lines.append(bytes.mid(pos));
            break;
        }
        result.lines.append(bytes.mid(pos, cr - pos));
        pos = cr + 1;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    if (result.lines.size() < count)
        result.failure = wholeFile ? Failure::TooFewLines : Failure::LineTooLong;
    return result;
}

HeadLines HeadLines::read(const QString& path, int count) {
    // Only regular files are opened: a FIFO or device with a drawing's name would block or
    // never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        HeadLines failed;
        failed.failure = Failure::CannotOpen;
        return failed;
    }
    const QByteArray bytes = file.read(kByteBound);
    const bool wholeFile = file.atEnd() || bytes.size() < kByteBound;
    return split(bytes, count, wholeFile);
}

} // namespace ornvale

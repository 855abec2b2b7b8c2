#include "WritebackHook.h"

#include <QFileDevice>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace ornvale {

std::function<void(qint64)> writebackHook(QFileDevice& file) {
#ifdef Q_OS_LINUX
    const int fd = file.handle();
    if (fd < 0)
        return {};
    constexpr qint64 kStep = qint64(8) << 20;
    return [fd, started = qint64(0)](qint64 written) mutable {
        if (written - started < kStep)
            return;
        sync_file_range(fd, started, written - started, SYNC_FILE_RANGE_WRITE);
        started = written;
    };
#else
    Q_UNUSED(file)
    return {};
#endif
}

} // namespace ornvale

#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QIODevice;

namespace ornvale {

// Collects output bytes in its own large buffer and hands them to the device in big writes:
// one device write per line would cost several times the copy itself.
//
// The device writes run on a thread of their own while the caller fills the next buffer, so
// the copy into the system's file cache overlaps the conversion. Bytes reach the device in
// the order they were written; the caller's thread touches the device again only after
// flush() has returned.
class ThreadedByteWriter {
public:
    static constexpr qsizetype kDefaultBufferSize = qsizetype(1) << 20;

    explicit ThreadedByteWriter(QIODevice& device, qsizetype bufferSize = kDefaultBufferSize);
    ~ThreadedByteWriter();
    ThreadedByteWriter(const ThreadedByteWriter&) = delete;
    ThreadedByteWriter& operator=(const ThreadedByteWriter&) = delete;

    void write(QByteArrayView bytes) {
        if (bytes.size() <= m_bufferSize - m_used) {
            std::copy(bytes.begin(), bytes.end(), m_filling.get() + m_used);
            m_used += bytes.size();
        } else {
            writeSlow(bytes);
        }
    }
    // Hands everything buffered to the device and waits until it is written; false once any
    // write has failed.
    bool flush();
    bool failed() const { return m_failed.load(); }
    qint64 bytesWritten() const { return m_written.load(); }
    // Called after every write to the device with the total number of bytes written so far,
    // on the thread that writes. Set it before the first write.
    void setWriteHook(std::function<void(qint64)> hook) { m_writeHook = std::move(hook); }

private:
    void writeSlow(QByteArrayView bytes);
    // Passes the filled buffer to the writing thread and takes the other one back.
    void handOver();
    void waitUntilWritten();
    void writingLoop();
    void deviceWrite(const char* data, qsizetype size);

    QIODevice& m_device;
    qsizetype m_bufferSize;
    // Not cleared when allocated: only written bytes are ever read, and a small output should
    // not pay for a megabyte of zeros.
    std::unique_ptr<char[]> m_filling; // the caller's buffer
    std::unique_ptr<char[]> m_pending; // the writing thread's, while m_pendingSize > 0
    qsizetype m_used = 0;
    qsizetype m_pendingSize = 0;
    bool m_stopping = false;
    std::atomic<bool> m_failed = false;
    std::atomic<qint64> m_written = 0;
    std::function<void(qint64)> m_writeHook;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;      // started with the first full buffer; small outputs never need it
    bool m_threadless = false; // no thread could be started: writes happen in the caller's
};

} // namespace ornvale

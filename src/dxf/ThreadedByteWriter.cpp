#include "ThreadedByteWriter.h"

#include <QIODevice>

#include <exception>

namespace ornvale {

ThreadedByteWriter::ThreadedByteWriter(QIODevice& device, qsizetype bufferSize)
    : m_device(device), m_bufferSize(qMax<qsizetype>(bufferSize, 16)),
      m_filling(std::make_unique_for_overwrite<char[]>(size_t(m_bufferSize))) {}

ThreadedByteWriter::~ThreadedByteWriter() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ThreadedByteWriter::deviceWrite(const char* data, qsizetype size) {
    if (m_failed.load() || size == 0)
        return;
    qsizetype done = 0;
    while (done < size) {
        const qint64 written = m_device.write(data + done, size - done);
        if (written <= 0) {
            m_failed = true; // disk full, device gone: the caller discards the output
            return;
        }
        done += written;
    }
    const qint64 total = m_written.fetch_add(done) + done;
    if (m_writeHook)
        m_writeHook(total);
}

void ThreadedByteWriter::writingLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pendingSize > 0 || m_stopping; });
        if (m_pendingSize == 0)
            return;
        lock.unlock();
        deviceWrite(m_pending.get(), m_pendingSize);
        lock.lock();
        m_pendingSize = 0;
        m_changed.notify_all();
    }
}

void ThreadedByteWriter::waitUntilWritten() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pendingSize == 0; });
}

void ThreadedByteWriter::handOver() {
    if (m_used == 0)
        return;
    if (!m_thread.joinable() && !m_threadless) {
        try {
            m_pending = std::make_unique_for_overwrite<char[]>(size_t(m_bufferSize));
            m_thread = std::thread([this] { writingLoop(); });
        } catch (const std::exception&) { // no memory or no thread: write in this one
            m_threadless = true;
        }
    }
    if (m_threadless) {
        deviceWrite(m_filling.get(), m_used);
        m_used = 0;
        return;
    }
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_pendingSize == 0; });
        m_filling.swap(m_pending);
        m_pendingSize = m_used;
    }
    m_changed.notify_all();
    m_used = 0;
}

// A write larger than the free room fills the buffer up, hands it over and goes on in the
// next one, so every byte takes the same way to the device, in order.
void ThreadedByteWriter::writeSlow(QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qsizetype part = qMin(m_bufferSize - m_used, bytes.size());
        std::copy(bytes.begin(), bytes.begin() + part, m_filling.get() + m_used);
        m_used += part;
        bytes = bytes.sliced(part);
        if (m_used == m_bufferSize)
            handOver();
    }
}

bool ThreadedByteWriter::flush() {
    if (!m_thread.joinable()) {
        // Everything fitted in one buffer (or no thread could start): no thread is worth
        // starting for one write.
        deviceWrite(m_filling.get(), m_used);
        m_used = 0;
        return !m_failed.load();
    }
    handOver();
    waitUntilWritten();
    return !m_failed.load();
}

} // namespace ornvale

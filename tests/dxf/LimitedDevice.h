#pragma once

#include <QByteArray>
#include <QIODevice>

namespace ornvale::test {

// Takes at most `chunk` bytes per call and fails for good once `limit` bytes have arrived, as
// a full disk does.
class LimitedDevice : public QIODevice {
public:
    LimitedDevice(qint64 limit, qint64 chunk) : m_limit(limit), m_chunk(chunk) {}
    QByteArray received;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (received.size() >= m_limit)
            return -1;
        const qint64 n = qMin(qMin(size, m_chunk), m_limit - received.size());
        received.append(data, n);
        return n;
    }

private:
    qint64 m_limit;
    qint64 m_chunk;
};

} // namespace ornvale::test

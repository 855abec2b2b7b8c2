#pragma once

#include "DxfChangeRowFormat.h"

#include <QByteArray>
#include <QIODevice>

#include <functional>

namespace ornvale {

class DxfLineWriter;

// Formats change report rows away from the conversion. The conversion only packs each
// change (a copy of its texts) into a DxfLineWriter over this device; the writer's thread
// then hands the packed changes here, where they become rows written to the report file.
// Packed changes may arrive cut anywhere; a cut one waits for its rest.
class DxfChangeRowDevice : public QIODevice {
public:
    // Rows go to `target` in writes of about `batchSize` bytes, the format's header first.
    DxfChangeRowDevice(QIODevice& target, DxfChangeFormat format,
                       qsizetype batchSize = qsizetype(1) << 20);

    // Packs `change` for this device. The file name goes along only when `newFile`; otherwise
    // the row names the file of the change packed before it.
    static void pack(const DxfValueChange& change, bool newFile, DxfLineWriter& to);

    // Called after every write to the target with the total number of bytes written so far.
    void setWriteHook(std::function<void(qint64)> hook) { m_writeHook = std::move(hook); }
    // Writes the rows not yet written; false when any write failed or a change came in part.
    bool finish();

protected:
    qint64 writeData(const char* data, qint64 size) override;
    qint64 readData(char*, qint64) override { return -1; }

private:
    // The bytes of the packed change starting at `packed`, or 0 when fewer than its header.
    static qsizetype packedSize(QByteArrayView packed);
    void formatPacked(const char* packed);
    void writeOut();

    QIODevice& m_target;
    DxfChangeFormat m_format;
    qsizetype m_batchSize;
    QByteArray m_rows;      // formatted, not yet written
    QByteArray m_carry;     // the start of a packed change whose rest has not come yet
    QByteArray m_aligned;   // a packed change's texts, when they came at an odd address
    QByteArray m_fileField; // the file name last packed, as the format writes it
    qint64 m_written = 0;
    bool m_failed = false;
    std::function<void(qint64)> m_writeHook;
};

} // namespace ornvale

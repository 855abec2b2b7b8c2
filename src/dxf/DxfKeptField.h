#pragma once

#include "DxfValueCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <algorithm>

namespace ornvale {

// A value of the entity being scanned (its handle or layer) kept for change reports. It stays
// a view into the reader's buffer while that lasts and is copied only when the buffer is about
// to be rearranged, which few entities live to see.
class DxfKeptField {
public:
    void keep(QByteArrayView bytes) { m_view = bytes; }
    void clear() { m_view = {}; }
    // Before the reader's buffer is rearranged.
    void detach() {
        if (m_view.isEmpty() || m_view.data() == m_storage.constData())
            return;
        m_storage.resize(m_view.size());
        std::copy(m_view.begin(), m_view.end(), m_storage.data());
        m_view = m_storage;
    }
    // The value as text; valid until the next call. Bytes that do not decode are named as
    // Latin-1 rather than left out.
    QStringView decoded(DxfEncoding encoding);

private:
    QByteArrayView m_view;
    QByteArray m_storage;
    QString m_text;
};

} // namespace ornvale

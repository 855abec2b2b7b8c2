#include "DxfKeptField.h"

#include <algorithm>

namespace ornvale {

QStringView DxfKeptField::decoded(DxfEncoding encoding) {
    // Handles are hexadecimal and most layer names are ASCII, which both encodings keep as it
    // is: no decoder is needed for them.
    const bool ascii = std::all_of(m_view.begin(), m_view.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || !DxfValueCodec::decodeInto(m_view, encoding, m_text))
        m_text = QLatin1String(m_view.data(), m_view.size()); // reuses the string's room
    return m_text;
}

} // namespace ornvale

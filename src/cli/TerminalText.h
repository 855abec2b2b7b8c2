#pragma once

#include <QString>

namespace ornvale::cli {

// Text as a terminal may show it. A file name may hold escape and other control characters
// that move the cursor, recolour or clear the screen: each is written as \xHH (one of the C1
// range as \u00HH). A CR LF pair, the line break of the program's messages, becomes a line end;
// a lone CR or LF is a character of a name and is escaped too.
QString terminalText(const QString& text);

} // namespace ornvale::cli

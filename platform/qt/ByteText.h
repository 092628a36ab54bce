#pragma once

// Text crosses the widget boundary here: the engine keeps the file's bytes,
// the widgets show them as UTF-8.

#include <QString>
#include <string>
#include <string_view>

inline QString FromBytes(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToBytes(const QString& text) {
    return text.toUtf8().toStdString();
}

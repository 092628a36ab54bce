#pragma once

// Conversions the Qt tests compare with: byte strings as QStrings.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

inline QStringList Q(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& text : texts)
        list << Q(text);
    return list;
}

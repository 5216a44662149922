#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zandrel {

/// The program's texts are 8-bit in the system's code page; Qt's are Unicode.
inline QString ToQString(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace zandrel

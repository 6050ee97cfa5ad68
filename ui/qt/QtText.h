// Texts between the window logic and Qt: the logic's texts are UTF-8, its
// file paths are bytes in the system's local 8-bit encoding.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velmora::ui {

inline QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline std::string U(const QString& s) { return s.toUtf8().toStdString(); }
inline QString Local(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace velmora::ui

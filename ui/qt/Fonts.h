// The font families the window and its dialogs ask for: the face the
// layout names first, then the sans face every Debian desktop has, then
// faces with Japanese glyphs, so that texts under the Japanese code page
// show as Japanese and not as boxes.
#pragma once

#include <QString>
#include <QStringList>

namespace velmora::ui {

inline QStringList TextFontFamilies(const QString& first) {
  return {first, QStringLiteral("DejaVu Sans"), QStringLiteral("Droid Sans Fallback"),
          QStringLiteral("Noto Sans CJK JP")};
}

}  // namespace velmora::ui

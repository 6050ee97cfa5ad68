// The fonts of the window and its dialogs. The families start with the face
// the layout names, then the sans face every Debian desktop has, then faces
// with Japanese glyphs, so that texts under the Japanese code page show as
// Japanese and not as boxes.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace velmora::ui {

inline QStringList TextFontFamilies(const QString& first) {
  return {first, QStringLiteral("DejaVu Sans"), QStringLiteral("Droid Sans Fallback"),
          QStringLiteral("Noto Sans CJK JP")};
}

// Tahoma at a height in pixels: the window font at 11 pixels.
inline QFont SansFont(int pixels, bool bold = false) {
  QFont f;
  f.setFamilies(TextFontFamilies(QStringLiteral("Tahoma")));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

// The "System" face of the text boxes.
inline QFont SystemFont(int pixels) {
  QFont f;
  f.setFamilies(TextFontFamilies(QStringLiteral("System")));
  f.setPixelSize(pixels);
  return f;
}

}  // namespace velmora::ui

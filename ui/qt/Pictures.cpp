#include "ui/qt/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace velmora::ui {

QPixmap CopyPicture(bool enabled) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = enabled ? QColor(43, 87, 151) : QColor(150, 150, 150);
  p.setPen(QPen(ink, 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 3.5, 11, 14));
  p.drawRect(QRectF(9.5, 7.5, 11, 14));
  for (int y = 11; y <= 18; y += 3) p.drawLine(QPointF(12, y), QPointF(18, y));
  return pm;
}

QPixmap BeepPicture(bool enabled, bool off) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = enabled ? QColor(43, 87, 151) : QColor(150, 150, 150);
  QPainterPath speaker;
  speaker.moveTo(4, 9);
  speaker.lineTo(8, 9);
  speaker.lineTo(13, 4);
  speaker.lineTo(13, 20);
  speaker.lineTo(8, 15);
  speaker.lineTo(4, 15);
  speaker.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPath(speaker);
  p.setPen(QPen(ink, 1.6));
  p.setBrush(Qt::NoBrush);
  if (off) {
    p.setPen(QPen(QColor(200, 40, 40), 2.2));
    p.drawLine(QPointF(15, 8), QPointF(21, 16));
    p.drawLine(QPointF(21, 8), QPointF(15, 16));
  } else {
    p.drawArc(QRectF(11, 7, 7, 10), -60 * 16, 120 * 16);
    p.drawArc(QRectF(11, 4, 11, 16), -60 * 16, 120 * 16);
  }
  return pm;
}

QPixmap SourcePicture(int height) {
  QPixmap pm(121, height);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, height);
  g.setColorAt(0, QColor(14, 36, 71));
  g.setColorAt(1, QColor(44, 90, 156));
  p.fillRect(pm.rect(), g);
  const QPointF c(60, height / 2.0);
  p.setPen(QPen(QColor(200, 210, 225), 1));
  p.setBrush(QColor(190, 200, 215));
  p.drawEllipse(c, 44, 44);
  p.setBrush(QColor(14, 36, 71));
  p.drawEllipse(c, 8, 8);
  p.setPen(QPen(QColor(240, 160, 48), 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - 32, c.y() - 32, 64, 64), 30 * 16, 70 * 16);
  return pm;
}

QPixmap ArrowPicture(bool down) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(43, 87, 151));
  QPolygonF tri;
  if (down) tri << QPointF(2, 4) << QPointF(14, 4) << QPointF(8, 13);
  else tri << QPointF(2, 12) << QPointF(14, 12) << QPointF(8, 3);
  p.drawPolygon(tri);
  return pm;
}

}  // namespace velmora::ui

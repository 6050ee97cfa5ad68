// Helpers for the Qt Test programs on the real window.
#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace velmora::ui::testing {

// Acts on the next modal window of type W once it is open (the calls that
// open one do not return until it closes).
template <typename W>
void WhenModal(std::function<void(W*)> act, int tries = 200) {
  QTimer::singleShot(20, [act, tries] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
      act(w);
      return;
    }
    if (tries > 0) WhenModal<W>(act, tries - 1);
  });
}

// Chooses a file in an open file dialog as a user typing its name would. The
// dialog leaves its name box alone while that box has the focus, so the
// focus is taken from it first.
inline void ChooseFile(QFileDialog* dialog, const QString& path) {
  if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->clearFocus();
  dialog->selectFile(path);
}

// The widgets a window lays out under root: every one shown lies inside its
// parent, no two of one parent overlap, and a button shows its caption
// whole. The parts that Qt makes itself inside its own widgets (a text
// box's scroll bars, a list's button) are left to Qt. slack: how many
// pixels a widget may reach beyond its parent's edge, which cuts them off.
inline void VerifyLaidOut(QWidget* root, int slack = 0) {
  QList<QWidget*> shown;
  for (QObject* child : root->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow() || w->objectName().startsWith("qt_") || !w->isVisibleTo(root)) continue;
    shown << w;
  }
  const QString where = root->objectName().isEmpty() ? QString(root->metaObject()->className()) : root->objectName();
  for (qsizetype i = 0; i < shown.size(); ++i) {
    QWidget* w = shown[i];
    const QString name = where + "/" + (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName());
    QVERIFY2(root->rect().adjusted(-slack, -slack, slack, slack).contains(w->geometry()),
             qPrintable(name + " lies outside its parent"));
    for (qsizetype j = 0; j < i; ++j)
      QVERIFY2(!w->geometry().intersects(shown[j]->geometry()),
               qPrintable(name + " overlaps " + shown[j]->objectName() + shown[j]->metaObject()->className()));
    // A tool button's size hint counts room for a menu arrow that the
    // window's tool bar does not draw: its text alone must fit.
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
      const int needed =
          qobject_cast<QToolButton*>(w) ? b->fontMetrics().horizontalAdvance(b->text()) : b->sizeHint().width();
      QVERIFY2(needed <= b->width(), qPrintable(name + " cuts its caption \"" + b->text() + "\""));
    }
    if (!qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QComboBox*>(w)) VerifyLaidOut(w, slack);
  }
}

}  // namespace velmora::ui::testing

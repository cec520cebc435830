#pragma once

// Message boxes in window tests: each is answered with its default button
// (OK) and its text kept, so that a test can say what the operator was told.
// Header only: the support library itself needs no QtWidgets.

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

// Answers every message box that opens while it lives; texts in order.
class TMessageBoxAnswerer {
 public:
  TMessageBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        box->accept();
      }
    });
    timer_.start(5);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

// Runs work, answering every message box it opens; returns their texts.
inline QStringList Answering(const std::function<void()>& work) {
  TMessageBoxAnswerer answerer;
  work();
  return answerer.texts;
}

// Answers the next message box, which must be the next modal window, and
// keeps its text.
inline void AnswerNextBox(QString* text) {
  QTimer::singleShot(0, [text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "a message box was expected";
    *text = box->text();
    box->accept();
  });
}

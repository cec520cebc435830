#pragma once

#include <QByteArray>
#include <vector>

#include "link/scene_recorder.h"

// A scene store for tests: notes every stored step as kind, bytes and value.
class RecordingSceneRecorder final : public TSceneRecorder {
 public:
  struct Step {
    enum Kind { kFrame, kSwitcherFrame, kDelay } kind;
    QByteArray bytes;
    int value = 0;  // byte count of a switcher frame, ms of a delay
  };

  bool Recording() const override { return recording; }
  void StoreFrame(const quint8* bytes, int count) override {
    steps.push_back({Step::kFrame, Bytes(bytes, count), 0});
  }
  void StoreSwitcherFrame(const quint8* bytes, int count) override {
    steps.push_back({Step::kSwitcherFrame, Bytes(bytes, count), count});
  }
  void StoreDelay(int ms) override { steps.push_back({Step::kDelay, {}, ms}); }

  bool recording = true;
  std::vector<Step> steps;

 private:
  static QByteArray Bytes(const quint8* bytes, int count) {
    return QByteArray(reinterpret_cast<const char*>(bytes), count);
  }
};

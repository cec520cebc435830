#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "link/scene_recorder.h"

// A scene store for tests: notes every stored step as kind, bytes and value.
class RecordingSceneRecorder final : public TSceneRecorder {
 public:
  struct Step {
    enum Kind { kPrepare, kFrame, kSwitcherFrame, kDelay, kMatrix } kind;
    QByteArray bytes;
    int value = 0;        // byte count of a switcher frame, value of a delay
    quint8 itemKind = 0;  // prepared items: kind and sub-kind; delays: sub-kind
    quint8 subKind = 0;
    QString name;
  };

  bool Recording() const override { return recording; }
  void StoreFrame(const quint8* bytes, int count) override {
    steps.push_back({Step::kFrame, Bytes(bytes, count), 0, 0, 0, {}});
  }
  void StoreSwitcherFrame(const quint8* bytes, int count) override {
    steps.push_back({Step::kSwitcherFrame, Bytes(bytes, count), count, 6, 0, {}});
  }
  void PrepareItem(quint8 kind, quint8 subKind, const QString& name) override {
    steps.push_back({Step::kPrepare, {}, 0, kind, subKind, name});
  }
  void StoreDelay(quint8 subKind, int value) override {
    steps.push_back({Step::kDelay, {}, value, 4, subKind, {}});
  }

  // Matrix commands: value = count, subKind = the matrix kind.
  void StoreMatrixCommand(const quint8* bytes, int count, quint8 matrixKind) override {
    steps.push_back({Step::kMatrix, Bytes(bytes, count), count, 5, matrixKind, {}});
  }

  bool recording = true;
  std::vector<Step> steps;

 private:
  static QByteArray Bytes(const quint8* bytes, int count) {
    return QByteArray(reinterpret_cast<const char*>(bytes), count);
  }
};

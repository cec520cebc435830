// Scene files "scene1".."scene16": any bytes load as a scene that saves back
// to what loads again, and the scene plays through the real send path, wall
// commands and wall model without reading or writing out of bounds.
#include "core/pauser.h"
#include "fuzz_input.h"
#include "link/port_writer.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "scenes/scene.h"
#include "scenes/scene_player.h"
#include "wall/wall_commands.h"
#include "wall/wall_model.h"

namespace {

class TCountingPort final : public TPortWriter {
 public:
  bool WriteCommData(const char*, quint16 count) override {
    FUZZ_CHECK(count >= 1 && count <= TSendPath::kMaxRawBytes);
    ++writes;
    return true;
  }
  int writes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const quint8 currentMatrix = in.Byte() % 3;
  const auto [header, items] = TScene::Decode(in.Rest().toByteArray());
  FUZZ_CHECK(header[1] == items.size());
  const QByteArray saved = TScene::Encode(header, items);
  FUZZ_CHECK(saved.size() == TScene::kHeaderSize + qsizetype(items.size()) * TSceneItem::kSize);
  const auto [header2, items2] = TScene::Decode(saved);
  FUZZ_CHECK(header2 == header && items2.size() == items.size());

  TCountingPort port;
  RecordingPauser pauser;
  TProtocol protocol;
  TSendPath send(port, pauser);
  send.splicerEnabled = [] { return true; };
  TWallModel wall;
  TWallCommands commands(protocol, send, wall, pauser);
  TScenePlayer player(send, commands, wall, pauser);
  qsizetype matrixBytes = 0;
  player.sendMatrixBytes = [&](const QByteArray& bytes, quint8 kind) {
    FUZZ_CHECK(kind < TSceneItem::kMatrixKinds && !bytes.isEmpty());
    matrixBytes += bytes.size();
  };
  player.currentMatrixKind = [&] { return currentMatrix; };
  int lastDone = -1;
  const int count = int(items.size());
  player.progress = [&](int done, int total) {
    FUZZ_CHECK(done == lastDone + 1 && total == count);
    lastDone = done;
  };
  player.Play(header, items);
  FUZZ_CHECK(lastDone == int(items.size()));
  FUZZ_CHECK(matrixBytes <= qsizetype(items.size()) * TSceneItem::kDataSize);
  const auto [rows, cols] = TScenePlayer::WallSize(header, items.size());
  FUZZ_CHECK(rows >= 1 && rows <= 30 && cols >= 1 && cols <= 30);
  return 0;
}

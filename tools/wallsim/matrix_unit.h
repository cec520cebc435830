#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <map>

#include "command_stream.h"
#include "matrix_formats.h"

// One external matrix of the virtual wall (VIDEO, VGA or DVI): reads the
// switch commands of the brand it is set to from its line and keeps which
// input each output carries. Reports every command, bad command and stray
// byte as one line ("matrix VGA command 96 01 ... id 1 out 1 in 1",
// "matrix VGA bad ... checksum", "matrix VGA noise 00"); bytes that reach a
// matrix whose brand has no command set are reported as ignored.
class TMatrixUnit : public QObject {
  Q_OBJECT

 public:
  explicit TMatrixUnit(TMatrixKind kind, QObject* parent = nullptr);

  TMatrixKind Kind() const { return kind_; }
  // The brand as the console shows it; empty when none is known.
  const QString& Brand() const { return brand_; }
  bool HasCommandSet() const { return stream_.Parser() != nullptr; }
  // A new brand drops the bytes kept for an incomplete command; the routes
  // stay, as on a matrix whose driver was changed.
  void SetBrand(const QString& brand);

  void Feed(QByteArrayView bytes);

  // Output -> input, for the outputs that were switched.
  const std::map<int, int>& Routes() const { return routes_; }
  int Commands() const { return commands_; }
  int BadCommands() const { return bad_; }
  int NoiseBytes() const { return noise_; }
  int IgnoredBytes() const { return ignored_; }

  // One line per switched output: "matrix VGA brand SEEKOO out 3 in 2".
  QStringList Dump() const;

 Q_SIGNALS:
  void reported(const QString& line);
  // Once per Feed or brand change that changed anything shown.
  void changed();

 private:
  QString Head() const;
  QString BrandText() const;

  TMatrixKind kind_;
  QString brand_;
  bool brandSet_ = false;
  TCommandStream<TMatrixCommand> stream_;
  std::map<int, int> routes_;
  int commands_ = 0;
  int bad_ = 0;
  int noise_ = 0;
  int ignored_ = 0;
};

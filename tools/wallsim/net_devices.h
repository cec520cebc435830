#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "net_gateway.h"

class QCommandLineParser;
class TNetSubtitleServer;
class TNetSplicerModule;

// The virtual wall's devices on the network, each on the address the
// command line gives it: the COM gateway, the subtitle server and the
// QN-51N screens' network modules (consecutive addresses, placed row by
// row in the order of their addresses). What reaches the wall's device lines through them comes out
// of lineBytes() and frameForWall().
class TNetDevices : public QObject {
  Q_OBJECT

 public:
  struct TOptions {
    std::optional<QHostAddress> gateway;
    TNetGateway::TMode gatewayMode = TNetGateway::TMode::Normal;
    std::optional<QHostAddress> subtitle;
    bool subtitleRefuses = false;  // --subtitle-mode refuse
    int modules = 0;               // how many modules; 0 none
    QHostAddress moduleBase;
    int moduleDelayMs = 0;       // how late the modules answer the position query
    bool moduleGarbage = false;  // --module-mode garbage

    bool Any() const { return gateway || subtitle || modules > 0; }
  };

  // "4@127.0.0.21" or, for one module per screen of a rows x cols wall,
  // "127.0.0.21". The addresses count up from the base, over .0 and .255.
  // False with a reason when it names no IPv4 address.
  static bool ParseModules(const QString& text, int rows, int cols, TOptions* options,
                           QString* error);
  // --gateway ADDR, --gateway-mode MODE, --subtitle ADDR, --subtitle-mode
  // MODE, --modules [N@]BASE, --module-delay MS, --module-mode MODE.
  static QList<QCommandLineOption> CommandLineOptions();
  // Reads them from a parser that had them; false with a reason.
  static bool ReadCommandLine(const QCommandLineParser& parser, int rows, int cols,
                              TOptions* options, QString* error);
  // An IPv4 address; nothing when the text is none.
  static std::optional<QHostAddress> ParseAddress(const QString& text);

  TNetDevices(TOptions options, int cols, QObject* parent = nullptr);
  ~TNetDevices() override;

  // Listens on every address; false with the first reason it cannot.
  bool Start(QString* error);

  const TNetGateway* Gateway() const { return gateway_.get(); }
  const TNetSubtitleServer* Subtitle() const { return subtitle_.get(); }
  const std::vector<std::unique_ptr<TNetSplicerModule>>& Modules() const { return modules_; }

  // The gateway's, the subtitle server's and one line per module.
  QStringList Dump() const;

 Q_SIGNALS:
  // Bytes the gateway forwarded to the line of a role (1 splicer ... 5 DVR).
  void lineBytes(int role, const QByteArray& bytes);
  // A splicer frame a module received that is for the wall.
  void frameForWall(const QByteArray& frame);
  void reported(const QString& line);
  void changed();

 private:
  TOptions options_;
  int cols_;
  std::unique_ptr<TNetGateway> gateway_;
  std::unique_ptr<TNetSubtitleServer> subtitle_;
  std::vector<std::unique_ptr<TNetSplicerModule>> modules_;
};

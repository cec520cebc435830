#include "net_devices.h"

#include <sys/resource.h>

#include <QCommandLineParser>
#include <tuple>

#include "net_splicer_module.h"
#include "net_subtitle_server.h"

std::optional<QHostAddress> TNetDevices::ParseAddress(const QString& text) {
  // Four parts only: "1.2.3" would be read as 1.2.0.3.
  QHostAddress address;
  if (text.count(u'.') != 3 || !address.setAddress(text) ||
      address.protocol() != QAbstractSocket::IPv4Protocol)
    return std::nullopt;
  return address;
}

QList<QCommandLineOption> TNetDevices::CommandLineOptions() {
  return {
      {QStringLiteral("gateway"),
       QStringLiteral("Serve a COM gateway on ADDR (TCP 8082, search on UDP 8080)."),
       QStringLiteral("ADDR")},
      {QStringLiteral("gateway-mode"),
       QStringLiteral("How the gateway answers: normal, silent (never) or garbage."),
       QStringLiteral("MODE"), QStringLiteral("normal")},
      {QStringLiteral("subtitle"),
       QStringLiteral("Serve a subtitle server on ADDR (TCP 1236, search on UDP 80)."),
       QStringLiteral("ADDR")},
      {QStringLiteral("subtitle-mode"),
       QStringLiteral("How the subtitle server takes packets: normal, or refuse (it answers the "
                      "search but refuses every connection)."),
       QStringLiteral("MODE"), QStringLiteral("normal")},
      {QStringLiteral("modules"),
       QStringLiteral("Serve N network splicer modules (QN-51N) on consecutive addresses from "
                      "BASE (TCP 8899, probe on UDP 48899); without N@ one per screen."),
       QStringLiteral("[N@]BASE")},
      {QStringLiteral("module-delay"),
       QStringLiteral("The modules answer the position query MS milliseconds late."),
       QStringLiteral("MS"), QStringLiteral("0")},
      {QStringLiteral("module-mode"),
       QStringLiteral("How the modules answer the position query: normal, or garbage."),
       QStringLiteral("MODE"), QStringLiteral("normal")},
  };
}

bool TNetDevices::ReadCommandLine(const QCommandLineParser& parser, int rows, int cols,
                                  TOptions* options, QString* error) {
  for (const auto& [name, target] : {std::pair{QStringLiteral("gateway"), &options->gateway},
                                     std::pair{QStringLiteral("subtitle"), &options->subtitle}}) {
    if (!parser.isSet(name)) continue;
    *target = ParseAddress(parser.value(name));
    if (!*target) {
      *error = QStringLiteral("--%1: \"%2\" is not an IPv4 address").arg(name, parser.value(name));
      return false;
    }
  }
  if (!TNetGateway::ParseMode(parser.value(QStringLiteral("gateway-mode")),
                              &options->gatewayMode)) {
    *error = QStringLiteral("--gateway-mode takes normal, silent or garbage");
    return false;
  }
  for (const auto& [name, bad, target] :
       {std::tuple{QStringLiteral("subtitle-mode"), QStringLiteral("refuse"),
                   &options->subtitleRefuses},
        std::tuple{QStringLiteral("module-mode"), QStringLiteral("garbage"),
                   &options->moduleGarbage}}) {
    const QString mode = parser.value(name);
    if (mode != u"normal" && mode != bad) {
      *error = QStringLiteral("--%1 takes normal or %2").arg(name, bad);
      return false;
    }
    *target = mode == bad;
  }
  if (parser.isSet(QStringLiteral("modules")) &&
      !ParseModules(parser.value(QStringLiteral("modules")), rows, cols, options, error))
    return false;
  bool ok = false;
  options->moduleDelayMs = parser.value(QStringLiteral("module-delay")).toInt(&ok);
  if (!ok || options->moduleDelayMs < 0 || options->moduleDelayMs > 60000) {
    *error = QStringLiteral("--module-delay takes milliseconds from 0 to 60000");
    return false;
  }
  return true;
}

bool TNetDevices::ParseModules(const QString& text, int rows, int cols, TOptions* options,
                               QString* error) {
  const qsizetype at = text.indexOf(u'@');
  int count = rows * cols;
  if (at >= 0) {
    bool ok = false;
    count = text.left(at).toInt(&ok);
    if (!ok || count < 1 || count > 900) {
      *error = QStringLiteral("--modules: the count before @ is a number from 1 to 900");
      return false;
    }
  }
  const std::optional<QHostAddress> base = ParseAddress(text.mid(at + 1));
  if (!base) {
    *error = QStringLiteral("--modules: \"%1\" is not an IPv4 address").arg(text.mid(at + 1));
    return false;
  }
  if (base->toIPv4Address() > 0xFFFF0000u) {
    *error = QStringLiteral("--modules: no room for %1 addresses from %2")
                 .arg(count)
                 .arg(base->toString());
    return false;
  }
  options->modules = count;
  options->moduleBase = *base;
  return true;
}

TNetDevices::TNetDevices(TOptions options, int cols, QObject* parent)
    : QObject(parent), options_(std::move(options)), cols_(std::max(1, cols)) {}

TNetDevices::~TNetDevices() = default;

bool TNetDevices::Start(QString* error) {
  if (options_.gateway) {
    gateway_ = std::make_unique<TNetGateway>(*options_.gateway, options_.gatewayMode);
    connect(gateway_.get(), &TNetGateway::forwarded, this, &TNetDevices::lineBytes);
    connect(gateway_.get(), &TNetGateway::reported, this, &TNetDevices::reported);
    connect(gateway_.get(), &TNetGateway::changed, this, &TNetDevices::changed);
    if (!gateway_->Start(error)) return false;
  }
  if (options_.subtitle) {
    subtitle_ = std::make_unique<TNetSubtitleServer>(*options_.subtitle);
    subtitle_->SetRefusing(options_.subtitleRefuses);
    connect(subtitle_.get(), &TNetSubtitleServer::reported, this, &TNetDevices::reported);
    connect(subtitle_.get(), &TNetSubtitleServer::changed, this, &TNetDevices::changed);
    if (!subtitle_->Start(error)) return false;
  }
  // Three sockets per module: a large wall needs more than the usual soft
  // limit of descriptors.
  if (rlimit limit{}; options_.modules > 0 && ::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
  quint32 ip = options_.moduleBase.toIPv4Address();
  for (int i = 0; i < options_.modules; ++i, ++ip) {
    // A large wall runs on into the next octets; .0 and .255 are no host's.
    while ((ip & 0xFF) == 0 || (ip & 0xFF) == 0xFF) ++ip;
    auto module = std::make_unique<TNetSplicerModule>(QHostAddress(ip), i / cols_, i % cols_,
                                                      options_.moduleDelayMs);
    module->SetGarbage(options_.moduleGarbage);
    connect(module.get(), &TNetSplicerModule::frameForWall, this, &TNetDevices::frameForWall);
    connect(module.get(), &TNetSplicerModule::reported, this, &TNetDevices::reported);
    connect(module.get(), &TNetSplicerModule::changed, this, &TNetDevices::changed);
    if (!module->Start(error)) return false;
    modules_.push_back(std::move(module));
  }
  return true;
}

QStringList TNetDevices::Dump() const {
  QStringList lines;
  if (gateway_) lines << gateway_->Dump();
  if (subtitle_) lines << subtitle_->Dump();
  for (const auto& module : modules_) lines << module->Dump();
  return lines;
}

#include "setup/gateway_log.h"

void TGatewayLog::Append(const QString& line) {
  lines_.append(line);
  if (lines_.size() > kMaxLines) lines_.removeFirst();
  if (appended) appended(line);
}

void TGatewayLog::Clear() {
  lines_.clear();
  if (cleared) cleared();
}

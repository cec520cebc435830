#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class TSendPath;

// The super manager's trace of bytes sent to a matrix or the DVR: the hex line
// of the send path under the device's label, then a line of the bytes as
// characters. Written only at access level 3, like every trace line.
void TraceLinkageBytes(const TSendPath& send, const QString& hexLabel, const QString& charsLabel,
                       const QByteArray& bytes);

// " c" per byte: printable ASCII as itself, any other byte as '.', so that a
// binary command never puts control characters into the output memo.
QString LinkageCharsLine(const QString& label, const QByteArray& bytes);

// Hands bytes to the COM gateway in pieces of at most kGatewayChunk bytes, the
// most one gateway frame carries; false when any piece was not confirmed.
inline constexpr int kGatewayChunk = 64;
template <typename Forward>
bool ForwardInChunks(const QByteArray& bytes, Forward&& forward) {
  bool all = true;
  for (qsizetype at = 0; at < bytes.size(); at += kGatewayChunk)
    all = forward(bytes.mid(at, kGatewayChunk)) && all;
  return all;
}

#include "core/gbk.h"

#include <unicode/ucnv.h>

#include <QStringDecoder>
#include <memory>

namespace Gbk {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU converters are not thread-safe; one per thread avoids both locking and
// reopening on every call.
UConverter* ThreadConverter() {
  thread_local ConverterPtr converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) return ConverterPtr();
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    return c;
  }();
  if (converter) ucnv_reset(converter.get());
  return converter.get();
}

}  // namespace

QByteArray Encode(const QString& text) {
  if (text.isEmpty()) return {};
  UConverter* cnv = ThreadConverter();
  if (cnv == nullptr) return text.toLatin1();  // ICU data missing: best effort
  const auto* src = reinterpret_cast<const UChar*>(text.utf16());
  const auto srcLen = static_cast<int32_t>(text.size());
  QByteArray out(UCNV_GET_MAX_BYTES_FOR_STRING(srcLen, ucnv_getMaxCharSize(cnv)),
                 Qt::Uninitialized);
  UErrorCode status = U_ZERO_ERROR;
  int32_t n =
      ucnv_fromUChars(cnv, out.data(), static_cast<int32_t>(out.size()), src, srcLen, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(n);
    status = U_ZERO_ERROR;
    ucnv_reset(cnv);
    n = ucnv_fromUChars(cnv, out.data(), static_cast<int32_t>(out.size()), src, srcLen, &status);
  }
  if (U_FAILURE(status)) return {};
  out.resize(n);
  return out;
}

QString Decode(const QByteArray& bytes) {
  if (bytes.isEmpty()) return {};
  UConverter* cnv = ThreadConverter();
  if (cnv == nullptr) return QString::fromLatin1(bytes);
  const auto srcLen = static_cast<int32_t>(bytes.size());
  // One byte never yields more than one UTF-16 unit in this code page; the
  // overflow retry covers any surprise.
  QString out(bytes.size() + 1, Qt::Uninitialized);
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()),
                            static_cast<int32_t>(out.size()), bytes.constData(), srcLen, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(n + 1);
    status = U_ZERO_ERROR;
    ucnv_reset(cnv);
    n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      bytes.constData(), srcLen, &status);
  }
  if (U_FAILURE(status)) return QString::fromLatin1(bytes);
  out.resize(n);
  return out;
}

}  // namespace Gbk

QString DecodeUtf8Piece(const QByteArray& bytes) {
  // Stateless: a sequence cut off at the end becomes U+FFFD, as with
  // QString::fromUtf8, instead of being held back for bytes that never come.
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                  QStringConverter::Flag::Stateless);
  return utf8.decode(bytes);
}

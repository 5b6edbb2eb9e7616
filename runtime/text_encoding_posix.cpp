#include <iconv.h>

#include <cerrno>
#include <cstdio>

#include "runtime/text_encoding.h"

namespace runtime {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts what it can; an unconvertible byte goes to onBad and is skipped.
  template <typename OnBad>
  std::string Run(std::string_view in, OnBad onBad) {
    std::string out;
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      for (char c : in) onBad(out, static_cast<unsigned char>(c));
      return out;
    }
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[16384];
    while (srcLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t rc = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
        onBad(out, static_cast<unsigned char>(*src));
        ++src;
        --srcLeft;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  Converter converter("UTF-8", "GBK");
  return converter.Run(gbk, [](std::string& out, unsigned char byte) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
  });
}

std::string Utf8ToGbk(std::string_view utf8) {
  Converter converter("GBK", "UTF-8");
  return converter.Run(utf8, [](std::string& out, unsigned char byte) {
    // Skip the continuation bytes of the character that had no GBK form.
    if ((byte & 0xC0) != 0x80) out += '?';
  });
}

}  // namespace runtime

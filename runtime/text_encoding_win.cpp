#include <windows.h>

#include <cstdio>

#include "runtime/text_encoding.h"

namespace runtime {
namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                      nullptr);
  return text;
}

}  // namespace

std::wstring GbkToWide(std::string_view gbk) { return ToWide(kGbkCodePage, gbk); }

std::string WideToGbk(std::wstring_view wide) { return FromWide(kGbkCodePage, wide); }

std::string GbkToUtf8(std::string_view gbk) {
  // Character by character, so that a byte that is not GBK shows as \xNN.
  std::string out;
  for (std::size_t i = 0; i < gbk.size();) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    if (i + 1 < gbk.size()) {
      wchar_t wide[2];
      const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data() + i, 2, wide, 2);
      if (n == 1) {
        out += FromWide(CP_UTF8, std::wstring_view(wide, 1));
        i += 2;
        continue;
      }
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", lead);
    out += escaped;
    ++i;
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) { return FromWide(kGbkCodePage, ToWide(CP_UTF8, utf8)); }

}  // namespace runtime

// Conversions of the program's GBK texts (code page 936) for display and for
// UTF-8 terminals and test logs.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Bytes that are not valid GBK come out as "\xNN", so nothing is lost silently.
std::string GbkToUtf8(std::string_view gbk);
// Characters without a GBK form come out as "?".
std::string Utf8ToGbk(std::string_view utf8);

#ifdef _WIN32
std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);
#endif

}  // namespace runtime

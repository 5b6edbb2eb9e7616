#include "runtime/host_rules.h"

#include <charconv>

namespace runtime {
namespace {

// Offset of the last single-byte backslash, or npos.
std::size_t LastBackslash(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < path.size();) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.size()) {
      i += 2;  // a two-byte character, whatever its second byte
      continue;
    }
    if (byte == '\\') last = i;
    ++i;
  }
  return last;
}

}  // namespace

Text FolderWithBackslash(std::string_view path) {
  Text folder(path);
  if (!folder.empty() && LastBackslash(path) != path.size() - 1) folder += '\\';
  return folder;
}

Text DirectoryOfPath(std::string_view path) {
  const std::size_t last = LastBackslash(path);
  if (last == std::string_view::npos) return {};
  return Text(path.substr(0, last));
}

Text RuntimeErrorText(std::string_view message, std::optional<std::int32_t> code) {
  Text text = "运行时出错!\r\n\r\n";
  if (code) text += "错误代码：" + std::to_string(*code) + "\r\n\r\n";
  if (!message.empty()) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

Text MissingOutsideFunctionText(std::string_view library, std::string_view function) {
  Text text = "无法找到指定DLL库文件“";
  text += library;
  text += "”中的输出命令“";
  text += function;
  text += "”";
  return text;
}

int MessageBoxAnswer(int buttonId) {
  switch (buttonId) {
    case 1: return 0;   // IDOK
    case 2: return 1;   // IDCANCEL
    case 3: return 2;   // IDABORT
    case 4: return 3;   // IDRETRY
    case 5: return 4;   // IDIGNORE
    case 6: return 5;   // IDYES
    case 7: return 6;   // IDNO
    case 10: return 3;  // IDTRYAGAIN
    case 11: return 4;  // IDCONTINUE
    default: return 1;
  }
}

std::optional<std::uint16_t> OrdinalOf(std::string_view functionName) {
  if (functionName.size() < 2 || functionName[0] != '#') return std::nullopt;
  const char* first = functionName.data() + 1;
  const char* last = functionName.data() + functionName.size();
  unsigned value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc{} || end != last || value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

bool IsFullLibraryPath(std::string_view libraryName) {
  return libraryName.find(':') != std::string_view::npos;
}

}  // namespace runtime

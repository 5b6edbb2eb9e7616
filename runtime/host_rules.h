// The rules of the host services that need no operating system: how folder
// paths end, the program's directory from its file's path, the texts of the
// fatal error box, the meaning of message-box answers and of outside-function
// names. Paths and texts are GBK bytes; a trailing byte of a two-byte GBK
// character can be 0x5C, so backslashes are found character by character.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/date_time.h"

namespace runtime {

// The path with exactly one backslash added when it does not already end in
// one; the empty text stays empty.
Text FolderWithBackslash(std::string_view path);

// Everything before the path's last backslash: C:\Tools\calendar.exe gives
// C:\Tools, C:\calendar.exe gives C:. A path without a backslash gives the
// empty text.
Text DirectoryOfPath(std::string_view path);

// The text of the run-time error box: "运行时出错!", then the code when given,
// then the message when not empty; line breaks are CR LF.
Text RuntimeErrorText(std::string_view message, std::optional<std::int32_t> code = std::nullopt);

// The message when an outside library or one of its functions cannot be bound.
Text MissingOutsideFunctionText(std::string_view library, std::string_view function);

// The button a message box answered with (IDOK 1 .. IDNO 7; IDTRYAGAIN and
// IDCONTINUE count as Retry and Ignore) as 0 OK, 1 Cancel, 2 Abort, 3 Retry,
// 4 Ignore, 5 Yes, 6 No. A failed box (0) or any other answer counts as Cancel.
int MessageBoxAnswer(int buttonId);

// A function name "#" followed by a decimal number 1 .. 65535 names an ordinal.
std::optional<std::uint16_t> OrdinalOf(std::string_view functionName);

// A library name containing ":" is a full path, loaded by that name alone.
bool IsFullLibraryPath(std::string_view libraryName);

}  // namespace runtime

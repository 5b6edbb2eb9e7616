#include "runtime/host_services.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text_encoding.h"
#include "tests/runtime_services/win_test_support.h"
#include "tests/support/gbk_expect.h"

namespace runtime {
namespace {

using test::TempFolder;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<std::uint8_t> Vector(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SpecialFolder, SystemFoldersEndInOneBackslash) {
  wchar_t path[MAX_PATH];
  const UINT system = GetSystemDirectoryW(path, MAX_PATH);
  EXPECT_GBK_EQ(SpecialFolder(10), WideToGbk(std::wstring(path, system)) + "\\");
  const UINT windows = GetWindowsDirectoryW(path, MAX_PATH);
  EXPECT_GBK_EQ(SpecialFolder(9), WideToGbk(std::wstring(path, windows)) + "\\");
  // The temporary-files directory already ends in one and keeps exactly one.
  const DWORD temp = GetTempPathW(MAX_PATH, path);
  ASSERT_EQ(path[temp - 1], L'\\');
  EXPECT_GBK_EQ(SpecialFolder(11), WideToGbk(std::wstring(path, temp)));

  for (const int number : {0, 12, -1, 1000}) EXPECT_EQ(SpecialFolder(number), "") << number;
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE);
  EXPECT_GBK_EQ(SpecialFolder(8), WideToGbk(path) + "\\");
  for (int number = 1; number <= 8; ++number) {
    const Text folder = SpecialFolder(number);
    ASSERT_FALSE(folder.empty()) << number;
    EXPECT_EQ(folder.back(), '\\') << number;
    EXPECT_NE(folder[folder.size() - 2], '\\') << number;
  }
}

TEST(RunDirectory, IsTheProgramsFolderAndBecomesTheWorkingDirectory) {
  wchar_t module[MAX_PATH];
  const std::wstring program(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::wstring folder = program.substr(0, program.rfind(L'\\'));
  EXPECT_EQ(RunDirectoryW(), folder);
  EXPECT_GBK_EQ(RunDirectory(), WideToGbk(folder));
  EXPECT_NE(RunDirectory().back(), '\\');

  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  TempFolder elsewhere;
  SetCurrentDirectoryW(elsewhere.Path().c_str());
  InitializeRuntime();
  wchar_t current[MAX_PATH];
  const std::wstring now(current, GetCurrentDirectoryW(MAX_PATH, current));
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(now, folder);
}

TEST(ProgramDataFolder, IsTheProgramsFolderUnderLocalApplicationData) {
  wchar_t local[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local), S_OK);
  EXPECT_EQ(ProgramDataFolder(), std::wstring(local) + L"\\青禾万年历");
}

class FileServices : public ::testing::Test {
 protected:
  // The folder's path as the program's GBK text.
  Text Gbk(const std::wstring& name) const { return WideToGbk(folder_.File(name)); }
  TempFolder folder_;
};

TEST_F(FileServices, WriteCutsAnExistingFileAndSkipsEmptyBlocks) {
  const Text path = Gbk(L"皮肤.skn");
  ASSERT_TRUE(WriteBytesToFile(path, {Bytes("a much longer earlier content")}));
  EXPECT_TRUE(WriteBytesToFile(path, {Bytes("new"), Bytes(""), Bytes("+"), Bytes("bytes")}));
  // The GBK name reached the system as the wide name.
  EXPECT_EQ(test::ReadBytes(folder_.File(L"皮肤.skn")), Vector("new+bytes"));
  EXPECT_TRUE(WriteBytesToFile(path, {}));
  EXPECT_TRUE(test::ReadBytes(folder_.File(L"皮肤.skn")).empty());
}

TEST_F(FileServices, WriteFailuresGiveFalse) {
  EXPECT_FALSE(WriteBytesToFile("", {Bytes("x")}));
  EXPECT_FALSE(WriteBytesToFile(Gbk(L"no-such-folder\\file.bin"), {Bytes("x")}));
  EXPECT_FALSE(WriteBytesToFile(WideToGbk(folder_.Path()), {Bytes("x")}));  // a directory
  // Open elsewhere without sharing: the write is refused, the file unchanged.
  const std::wstring locked = folder_.File(L"locked.bin");
  ASSERT_TRUE(test::WriteBytes(locked, Vector("old")));
  const HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteBytesToFile(Gbk(L"locked.bin"), {Bytes("new")}));
  CloseHandle(holder);
  EXPECT_EQ(test::ReadBytes(locked), Vector("old"));
}

TEST_F(FileServices, ExistenceOfFilesDirectoriesAndPatterns) {
  ASSERT_TRUE(WriteBytesToFile(Gbk(L"万年历.txt"), {Bytes("x")}));
  folder_.SubFolder(L"子目录");
  EXPECT_TRUE(FileExists(Gbk(L"万年历.txt")));
  EXPECT_TRUE(FileExists(Gbk(L"子目录")));
  EXPECT_TRUE(FileExists(Gbk(L"*.txt")));
  EXPECT_FALSE(FileExists(Gbk(L"*.dll")));
  EXPECT_FALSE(FileExists(Gbk(L"missing.txt")));
  EXPECT_FALSE(FileExists(""));
  // A text ends at its first zero byte.
  EXPECT_TRUE(FileExists(Gbk(L"万年历.txt") + std::string("\0garbage", 8)));
}

// Records the boxes instead of showing them.
class RecordingPresenter final : public MessagePresenter {
 public:
  int Present(const std::wstring& text, const std::wstring& title, UINT flags) override {
    texts.push_back(text);
    titles.push_back(title);
    this->flags.push_back(flags);
    return answer;
  }
  std::vector<std::wstring> texts, titles;
  std::vector<UINT> flags;
  int answer = IDOK;
};

class MessageBoxes : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = InstallMessagePresenter(&presenter_); }
  void TearDown() override { InstallMessagePresenter(previous_); }
  RecordingPresenter presenter_;
  MessagePresenter* previous_ = nullptr;
};

TEST_F(MessageBoxes, TitlesTextsAndModality) {
  ShowMessage("未联网或获取服务器时间超时！");
  ShowMessage("网络校时成功！", 0, "恭喜");
  ShowMessage("?", MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL, "提示：");
  ASSERT_EQ(presenter_.texts.size(), 3u);
  EXPECT_EQ(presenter_.texts[0], L"未联网或获取服务器时间超时！");
  EXPECT_EQ(presenter_.titles[0], L"信息：");
  EXPECT_EQ(presenter_.flags[0], static_cast<UINT>(MB_OK | MB_TASKMODAL));
  EXPECT_EQ(presenter_.texts[1], L"网络校时成功！");
  EXPECT_EQ(presenter_.titles[1], L"恭喜");
  EXPECT_EQ(presenter_.titles[2], L"提示：");
  EXPECT_EQ(presenter_.flags[2], static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL));
}

TEST_F(MessageBoxes, AnswersAreNumberedFromOk) {
  const int buttons[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
  for (int i = 0; i < 7; ++i) {
    presenter_.answer = buttons[i];
    EXPECT_EQ(ShowMessage("x", MB_YESNOCANCEL), i);
  }
}

// A real status bar with three parts, the middle one drawn raised.
class StatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    parent_ = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 760, 200, nullptr, nullptr, nullptr, nullptr);
    bar_ = CreateWindowW(STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent_, nullptr, nullptr, nullptr);
    ASSERT_NE(bar_, nullptr);
    int edges[] = {300, 450, -1};
    SendMessageW(bar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageW(bar_, SB_SETTEXTW, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>(L"12:00:00"));
    SendMessageW(bar_, SB_SETTEXTW, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"作者"));
  }
  void TearDown() override { DestroyWindow(parent_); }

  std::wstring Text(int part) const {
    wchar_t text[256] = {};
    SendMessageW(bar_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
  }
  WORD Style(int part) const { return HIWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, part, 0)); }

  HWND parent_ = nullptr;
  HWND bar_ = nullptr;
};

TEST_F(StatusBar, TextReplacesThePartsTextAndKeepsItsStyle) {
  SetStatusText(bar_, 0, "今天是2011年5月6日");
  SetStatusText(bar_, 1, "12:30:45");
  EXPECT_EQ(Text(0), L"今天是2011年5月6日");
  EXPECT_EQ(Style(0), 0);
  EXPECT_EQ(Text(1), L"12:30:45");
  EXPECT_EQ(Style(1), SBT_POPOUT);
  SetStatusText(bar_, 2, "");
  EXPECT_EQ(Text(2), L"");
  EXPECT_EQ(Style(2), SBT_NOBORDERS);
}

TEST_F(StatusBar, PartsOutsideTheBarChangeNothing) {
  for (const int part : {3, 5, -1}) SetStatusText(bar_, part, "x");
  EXPECT_EQ(Text(0), L"");
  EXPECT_EQ(Text(1), L"12:00:00");
  EXPECT_EQ(Text(2), L"作者");
  SetStatusText(nullptr, 0, "x");  // no bar at all: nothing happens
}

}  // namespace
}  // namespace runtime

#include "runtime/outside_library.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/text_encoding.h"
#include "tests/runtime_services/win_test_support.h"

namespace runtime {
namespace {

using test::TempFolder;

using AddFunction = int(WINAPI*)(int, int);
using NameFunction = const char*(WINAPI*)();

// Two builds of one library: the probe (ProbeAdd adds, ProbeName "probe")
// and a foreign library with the same exports (multiplies, "other").
const std::vector<std::uint8_t>& ProbeBytes() {
  static const auto bytes = test::ReadBytes(test::BesideTestProgram(L"qh_outside_probe.dll"));
  return bytes;
}
const std::vector<std::uint8_t>& OtherBytes() {
  static const auto bytes = test::ReadBytes(test::BesideTestProgram(L"qh_outside_other.dll"));
  return bytes;
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

std::string NameOf(LibraryRegistry& registry, std::string_view library) {
  const auto name = reinterpret_cast<NameFunction>(reinterpret_cast<void (*)()>(registry.Bind(library, "ProbeName")));
  return name ? name() : "(unbound)";
}

// A run directory, a system directory and a private folder of their own.
class LibraryPolicy : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProbeBytes().empty());
    ASSERT_FALSE(OtherBytes().empty());
    ASSERT_NE(ProbeBytes(), OtherBytes());
  }

  void Put(const std::wstring& folder, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(test::WriteBytes(folder + L"\\Probe.dll", bytes));
  }

  TempFolder root_;
  const std::wstring run_ = root_.SubFolder(L"run");
  const std::wstring system_ = root_.SubFolder(L"system");
  const std::wstring private_ = root_.Path() + L"\\青禾万年历";  // made when needed
  LibraryRegistry registry_{LibraryLocations{run_, system_, private_}};
};

TEST_F(LibraryPolicy, WithoutCarriedBytesTheRunDirectoryComesFirst) {
  Put(run_, OtherBytes());
  Put(system_, ProbeBytes());
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "other");
  EXPECT_EQ(ModulePath(registry_.Load("probe.DLL")), run_ + L"\\Probe.dll");  // one library, any case
  registry_.FreeAll();
  DeleteFileW((run_ + L"\\Probe.dll").c_str());
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "probe");
  EXPECT_EQ(ModulePath(registry_.Load("Probe.dll")), system_ + L"\\Probe.dll");
}

TEST_F(LibraryPolicy, FunctionsByNameAndOrdinal) {
  Put(run_, ProbeBytes());
  const auto add = reinterpret_cast<AddFunction>(reinterpret_cast<void (*)()>(registry_.Bind("Probe.dll", "ProbeAdd")));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(2, 3), 5);
  EXPECT_EQ(registry_.Bind("Probe.dll", "#1"), registry_.Bind("Probe.dll", "ProbeAdd"));
  EXPECT_EQ(registry_.Bind("Probe.dll", "#2"), registry_.Bind("Probe.dll", "ProbeName"));
  EXPECT_EQ(registry_.Bind("Probe.dll", "#9"), nullptr);
  EXPECT_EQ(registry_.Bind("Probe.dll", "NoSuchFunction"), nullptr);
  EXPECT_EQ(registry_.Bind("Probe.dll", ""), nullptr);
  EXPECT_EQ(registry_.Bind("Missing.dll", "ProbeAdd"), nullptr);
  EXPECT_EQ(registry_.Load(""), nullptr);
}

TEST_F(LibraryPolicy, AFullPathIsTheOnlyCandidate) {
  Put(system_, ProbeBytes());
  const std::wstring elsewhere = root_.SubFolder(L"elsewhere");
  Put(elsewhere, OtherBytes());
  EXPECT_EQ(NameOf(registry_, WideToGbk(elsewhere + L"\\Probe.dll")), "other");
  EXPECT_EQ(registry_.Load(WideToGbk(root_.Path() + L"\\nowhere\\Probe.dll")), nullptr);
}

TEST_F(LibraryPolicy, CarriedBytesAcceptOnlyAnIdenticalFile) {
  registry_.Carry("Probe.dll", ProbeBytes());
  Put(run_, OtherBytes());     // planted beside the program
  Put(system_, ProbeBytes());  // the genuine copy
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "probe");
  EXPECT_EQ(ModulePath(registry_.Load("Probe.dll")), system_ + L"\\Probe.dll");
  EXPECT_EQ(GetFileAttributesW(private_.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing written

  registry_.FreeAll();
  Put(run_, ProbeBytes());
  EXPECT_EQ(ModulePath(registry_.Load("Probe.dll")), run_ + L"\\Probe.dll");
}

TEST_F(LibraryPolicy, WithoutAnIdenticalCandidateTheCarriedCopyIsWrittenAndUsed) {
  registry_.Carry("Probe.dll", ProbeBytes());
  Put(run_, OtherBytes());
  Put(system_, OtherBytes());  // a foreign library of the same name: never replaced
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "probe");
  EXPECT_EQ(ModulePath(registry_.Load("Probe.dll")), private_ + L"\\Probe.dll");
  EXPECT_EQ(test::ReadBytes(private_ + L"\\Probe.dll"), ProbeBytes());
  EXPECT_EQ(test::ReadBytes(system_ + L"\\Probe.dll"), OtherBytes());
  EXPECT_EQ(test::ReadBytes(run_ + L"\\Probe.dll"), OtherBytes());
}

TEST_F(LibraryPolicy, AStaleCarriedCopyIsReplaced) {
  registry_.Carry("Probe.dll", ProbeBytes());
  CreateDirectoryW(private_.c_str(), nullptr);
  Put(private_, OtherBytes());
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "probe");
  EXPECT_EQ(test::ReadBytes(private_ + L"\\Probe.dll"), ProbeBytes());
}

TEST_F(LibraryPolicy, FreeAllReleasesTheFiles) {
  registry_.Carry("Probe.dll", ProbeBytes());
  const HMODULE module = registry_.Load("Probe.dll");
  ASSERT_NE(module, nullptr);
  const std::wstring path = ModulePath(module);
  EXPECT_FALSE(DeleteFileW(path.c_str()));  // mapped while loaded
  registry_.FreeAll();
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  // Loaded again on the next request, from a new copy.
  EXPECT_EQ(NameOf(registry_, "Probe.dll"), "probe");
}

// The program's own registry binds declared functions from the run directory,
// where the probe is built.
TEST(OutsideFunction, BindsOnTheFirstCallAndKeepsTheAddress) {
  OutsideFunction<int(int, int)> add{"qh_outside_probe.dll", "ProbeAdd"};
  OutsideFunction<const char*()> name{"QH_OUTSIDE_PROBE.DLL", "#2"};
  EXPECT_EQ(add(20, 22), 42);
  EXPECT_STREQ(name(), "probe");
  EXPECT_EQ(add(1, 1), 2);
  EXPECT_EQ(ModulePath(OutsideLibraries().Load("qh_outside_probe.dll")),
            test::BesideTestProgram(L"qh_outside_probe.dll"));
}

// Finds the run-time error box of the process, keeps its title and texts and
// presses OK.
struct ErrorBoxCloser {
  void operator()(DWORD processId) {
    struct Search {
      DWORD processId;
      HWND box;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<Search*>(context);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t className[16] = {};
          GetClassNameW(window, className, 16);
          if (owner != s->processId || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
          s->box = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.box) return;
    title = TextOf(search.box);
    EnumChildWindows(
        search.box,
        [](HWND child, LPARAM texts) -> BOOL {
          reinterpret_cast<std::wstring*>(texts)->append(TextOf(child) + L"|");
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    ++boxes;
  }

  static std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &length);
    return text;
  }

  std::wstring title;
  std::wstring texts;
  int boxes = 0;
};

TEST(RuntimeErrorReport, AnUnboundFunctionShowsTheBoxAndEndsTheProgram) {
  struct Case {
    const wchar_t* arguments;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"missing qh_absent.dll WaveInit", L"无法找到指定DLL库文件“qh_absent.dll”中的输出命令“WaveInit”"},
      {L"missing qh_outside_probe.dll NoSuchFunction",
       L"无法找到指定DLL库文件“qh_outside_probe.dll”中的输出命令“NoSuchFunction”"},
  };
  for (const Case& c : cases) {
    ErrorBoxCloser closer;
    const auto helper = test::BesideTestProgram(L"runtime_services_helper.exe");
    const auto result = test::RunProgram(helper, c.arguments, 20000, std::ref(closer));
    ASSERT_TRUE(result.finished) << "the box was not found and closed";
    EXPECT_EQ(result.exitCode, static_cast<DWORD>(-1));
    EXPECT_EQ(result.output, "");  // the call never returned
    EXPECT_EQ(closer.boxes, 1);
    EXPECT_EQ(closer.title, L"错误");
    const std::wstring text = std::wstring(L"运行时出错!\r\n\r\n错误信息：") + c.message + L"\r\n";
    EXPECT_NE(closer.texts.find(text), std::wstring::npos) << GbkToUtf8(WideToGbk(closer.texts));
  }
}

TEST(ExitProgram, EndsInOrderAndOnlyOnce) {
  const auto ignore = [](DWORD) {};
  const auto helper = test::BesideTestProgram(L"runtime_services_helper.exe");
  const auto inOrder = test::RunProgram(helper, L"exit-order", 20000, ignore);
  ASSERT_TRUE(inOrder.finished);
  EXPECT_EQ(inOrder.exitCode, 7u);
  // The library outlives the windows that it may have subclassed.
  EXPECT_EQ(inOrder.output,
            "end handler\n"
            "destroying windows, library loaded\n"
            "remaining window destroyed\n"
            "library freed\n");

  const auto reentrant = test::RunProgram(helper, L"exit-reentrant", 20000, ignore);
  ASSERT_TRUE(reentrant.finished);
  EXPECT_EQ(reentrant.exitCode, 3u);
  EXPECT_EQ(reentrant.output, "end handler\n");
}

// A library planted in the working directory is found by its bare name
// unless the program's start-up has restricted the search.
TEST(InitializeRuntime, TheWorkingDirectoryIsNoLongerSearched) {
  TempFolder folder;
  ASSERT_TRUE(test::WriteBytes(folder.File(L"qh_planted.dll"), ProbeBytes()));
  const auto ignore = [](DWORD) {};
  const auto helper = test::BesideTestProgram(L"runtime_services_helper.exe");
  const std::wstring arguments = L"load-from \"" + folder.Path() + L"\" qh_planted.dll";
  EXPECT_EQ(test::RunProgram(helper, arguments, 20000, ignore).output, "loaded\n");
  EXPECT_EQ(test::RunProgram(helper, arguments + L" start", 20000, ignore).output, "not loaded\n");
}

}  // namespace
}  // namespace runtime

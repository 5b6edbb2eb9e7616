#include "runtime/host_rules.h"

#include <gtest/gtest.h>

#include "tests/support/gbk_expect.h"

namespace runtime {
namespace {

// 淺 is 9C 5C in GBK: its second byte is a backslash.
constexpr char kTrailBackslash[] = "淺";

TEST(HostRules, FoldersEndInExactlyOneBackslash) {
  EXPECT_GBK_EQ(FolderWithBackslash("C:\\WINDOWS\\system32"), "C:\\WINDOWS\\system32\\");
  EXPECT_GBK_EQ(FolderWithBackslash("C:\\Temp\\"), "C:\\Temp\\");
  EXPECT_GBK_EQ(FolderWithBackslash("C:\\"), "C:\\");
  EXPECT_GBK_EQ(FolderWithBackslash(""), "");
  EXPECT_GBK_EQ(FolderWithBackslash("C:\\用户\\文档"), "C:\\用户\\文档\\");
  EXPECT_GBK_EQ(FolderWithBackslash(std::string("C:\\") + kTrailBackslash),
                std::string("C:\\") + kTrailBackslash + "\\");
}

TEST(HostRules, DirectoryOfAProgramPath) {
  EXPECT_GBK_EQ(DirectoryOfPath("C:\\Tools\\calendar.exe"), "C:\\Tools");
  EXPECT_GBK_EQ(DirectoryOfPath("C:\\Tools\\calendar.exe") + "\\wave.bmp", "C:\\Tools\\wave.bmp");
  EXPECT_GBK_EQ(DirectoryOfPath("C:\\calendar.exe"), "C:");
  EXPECT_GBK_EQ(DirectoryOfPath("\\\\server\\share\\万年历.exe"), "\\\\server\\share");
  EXPECT_GBK_EQ(DirectoryOfPath("calendar.exe"), "");
  EXPECT_GBK_EQ(DirectoryOfPath(""), "");
  const std::string folder = std::string("D:\\") + kTrailBackslash + "\\" + kTrailBackslash;
  EXPECT_GBK_EQ(DirectoryOfPath(folder + "\\" + kTrailBackslash + ".exe"), folder);
}

TEST(HostRules, RuntimeErrorTexts) {
  EXPECT_GBK_EQ(RuntimeErrorText(""), "运行时出错!\r\n\r\n");
  EXPECT_GBK_EQ(RuntimeErrorText(MissingOutsideFunctionText("Wave.dll", "WaveInit")),
                "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“Wave.dll”中的输出命令“WaveInit”\r\n");
  EXPECT_GBK_EQ(RuntimeErrorText("调用DLL命令后发现堆栈错误", 6),
                "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  EXPECT_GBK_EQ(RuntimeErrorText("", -1), "运行时出错!\r\n\r\n错误代码：-1\r\n\r\n");
}

TEST(HostRules, MessageBoxAnswers) {
  // IDOK .. IDNO, IDTRYAGAIN, IDCONTINUE, a failed box, IDCLOSE.
  const int ids[] = {1, 2, 3, 4, 5, 6, 7, 10, 11, 0, 8};
  const int answers[] = {0, 1, 2, 3, 4, 5, 6, 3, 4, 1, 1};
  for (std::size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(MessageBoxAnswer(ids[i]), answers[i]) << ids[i];
}

TEST(HostRules, OutsideFunctionAndLibraryNames) {
  EXPECT_EQ(OrdinalOf("#1"), 1);
  EXPECT_EQ(OrdinalOf("#65535"), 65535);
  for (const char* name : {"WaveInit", "#", "#0", "#65536", "#x", "#12a", "# 1", "#+1", "#-1", "", "1"}) {
    EXPECT_FALSE(OrdinalOf(name)) << name;
  }
  EXPECT_TRUE(IsFullLibraryPath("C:\\Tools\\Wave.dll"));
  EXPECT_FALSE(IsFullLibraryPath("Wave.dll"));
  EXPECT_FALSE(IsFullLibraryPath("sub\\Wave.dll"));
}

}  // namespace
}  // namespace runtime

// Writes a GBK copy of a UTF-8 source file, for compilers that cannot be told
// to write string literals in GBK (clang only writes UTF-8). Clang keeps the
// bytes of a literal that is not valid UTF-8 exactly as they stand, so the
// copy compiles to the same literal bytes as the main build's
// -fexec-charset=GBK, which converts with the same glibc GBK table.
//
// One GBK byte pair would not survive: a trail byte 0x5C is a backslash to
// the compiler (an escape in a literal, a line splice at the end of a
// comment). Such a file is refused, naming the line, rather than copied.
//
//   gbk_source <utf-8 source> <gbk copy>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "gbk_source: %s\n", message.c_str());
  return 1;
}

int LineAt(const std::string& text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n' ? 1 : 0;
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: gbk_source <utf-8 source> <gbk copy>");
  const std::string inPath = argv[1];
  const std::string outPath = argv[2];
  std::ifstream in(inPath, std::ios::binary);
  if (!in) return Fail("cannot read " + inPath);
  std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  const iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return Fail("no UTF-8 to GBK converter in this C library");
  std::string gbk(utf8.size() + 16, '\0');  // GBK never needs more bytes than UTF-8
  char* from = utf8.data();
  std::size_t fromLeft = utf8.size();
  char* to = gbk.data();
  std::size_t toLeft = gbk.size();
  const std::size_t result = iconv(cd, &from, &fromLeft, &to, &toLeft);
  const int error = errno;
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) {
    const std::size_t at = static_cast<std::size_t>(from - utf8.data());
    return Fail(inPath + ":" + std::to_string(LineAt(utf8, at)) +
                (error == EILSEQ ? ": a character that GBK does not have" : ": not valid UTF-8"));
  }
  gbk.resize(gbk.size() - toLeft);

  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto byte = static_cast<unsigned char>(gbk[i]);
    if (byte < 0x81 || byte == 0xFF) continue;  // one-byte characters; 0x81..0xFE lead a pair
    if (i + 1 < gbk.size() && gbk[i + 1] == '\\') {
      // Lines are the same in both encodings: LF is one byte in each.
      return Fail(inPath + ":" + std::to_string(LineAt(gbk, i)) +
                  ": a character whose GBK trail byte is a backslash; write it as \\x escapes");
    }
    ++i;
  }

  // Written whole or not at all, so a failed run leaves no half copy behind.
  const std::string temporary = outPath + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(gbk.data(), static_cast<std::streamsize>(gbk.size()));
    if (!out) return Fail("cannot write " + temporary);
  }
  if (std::rename(temporary.c_str(), outPath.c_str()) != 0) return Fail("cannot write " + outPath);
  return 0;
}

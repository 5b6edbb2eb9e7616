// app::PercentEncode and app::SearchAddress: any text typed into the search
// box. The encoding keeps the unreserved characters, writes every other byte
// as %XX and decodes back to the text; the address carries the text as its
// one "q" value and nothing in the text can add or end a query field.
#include <string>

#include "app/product.h"
#include "app/web_addresses.h"
#include "fuzz_check.h"

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

int UpperHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes an encoded text stands for; stops the run on anything but
// unreserved characters and %XX with upper-case hex digits.
std::string Decode(std::string_view encoded) {
  std::string out;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const auto c = static_cast<unsigned char>(encoded[i]);
    if (IsUnreserved(c)) {
      out += static_cast<char>(c);
      continue;
    }
    FUZZ_CHECK(c == '%' && i + 2 < encoded.size());
    const int high = UpperHexDigit(encoded[i + 1]);
    const int low = UpperHexDigit(encoded[i + 2]);
    FUZZ_CHECK(high >= 0 && low >= 0);
    const auto byte = static_cast<unsigned char>(high * 16 + low);
    FUZZ_CHECK(!IsUnreserved(byte));  // unreserved characters stay as they are
    out += static_cast<char>(byte);
    i += 2;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FUZZ_CHECK(app::MakerSiteAddress() == std::string(app::kMakerSite) + "?soft=qhtime");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const std::string encoded = app::PercentEncode(text);
  FUZZ_CHECK(Decode(encoded) == text);

  const std::string address = app::SearchAddress(text);
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    FUZZ_CHECK(byte > 0x20 && byte < 0x7F && c != '#');
  }
  const std::string_view base = app::kSearchAddress;
  FUZZ_CHECK(address.compare(0, base.size(), base) == 0);
  std::string_view query = std::string_view(address).substr(base.size());
  FUZZ_CHECK(query.size() > 0 && query[0] == '?');
  query.remove_prefix(1);
  // Exactly three fields, in order: q, pid, commend.
  std::string_view fields[3];
  for (int i = 0; i < 3; ++i) {
    const std::size_t amp = query.find('&');
    FUZZ_CHECK((amp == std::string_view::npos) == (i == 2));
    fields[i] = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
  }
  FUZZ_CHECK(fields[0].substr(0, 2) == "q=");
  FUZZ_CHECK(Decode(fields[0].substr(2)) == text);
  FUZZ_CHECK(fields[1] == std::string("pid=") + app::kSearchPartnerId);
  FUZZ_CHECK(fields[2] == "commend=all");
  return 0;
}

#include "app/web_addresses.h"

#include "app/product.h"

namespace app {

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
        byte == '-' || byte == '_' || byte == '.' || byte == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string SearchAddress(std::string_view searchText) {
  return std::string(kSearchAddress) + "?q=" + PercentEncode(searchText) + "&pid=" + kSearchPartnerId +
         "&commend=all";
}

std::string MakerSiteAddress() { return std::string(kMakerSite) + kMakerSiteQuery; }

}  // namespace app

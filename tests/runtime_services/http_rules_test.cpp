#include "runtime/http_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(HttpRules, ReadSizeFromContentLength) {
  struct Case {
    std::optional<std::string_view> header;
    std::uint32_t size;
  };
  const Case cases[] = {
      {std::nullopt, 10240}, {"19", 20},       {"1", 2},         {" 42 ", 43},
      {"0", 10240},          {"-5", 10240},    {"abc", 10240},   {"", 10240},
      {"12abc", 10240},      {"+", 10240},     {"102398", 102399}, {"102399", 102400},
      {"102400", 102400},    {"99999999999999999999999", 102400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HttpReadSize(c.header), c.size) << (c.header ? std::string(*c.header) : "(absent)");
  }
}

TEST(HttpRules, RequestObjectNeverCarriesAFragment) {
  EXPECT_EQ(RequestObject("/time/time.asp"), "/time/time.asp");
  EXPECT_EQ(RequestObject("/time/time.asp?x=1#part"), "/time/time.asp?x=1");
  EXPECT_EQ(RequestObject("/a#b#c"), "/a");
  EXPECT_EQ(RequestObject("/search?q=\xC8\xD5\xC0\xFA"), "/search?q=\xC8\xD5\xC0\xFA");
  EXPECT_EQ(RequestObject(""), "/");
  EXPECT_EQ(RequestObject("#top"), "/");
}

TEST(HttpRules, AddressPartLimits) {
  const std::string host(255, 'h'), path(2047, 'p'), user(127, 'u'), password(127, 'w');
  EXPECT_TRUE(WithinAddressLimits({host, path, user, password}));
  EXPECT_FALSE(WithinAddressLimits({host + "h", path, user, password}));
  EXPECT_FALSE(WithinAddressLimits({host, path + "p", user, password}));
  EXPECT_FALSE(WithinAddressLimits({host, path, user + "u", password}));
  EXPECT_FALSE(WithinAddressLimits({host, path, user, password + "w"}));
}

}  // namespace
}  // namespace runtime

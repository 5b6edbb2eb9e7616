#include "app/web_addresses.h"

#include <gtest/gtest.h>

#include "app/product.h"

namespace app {
namespace {

TEST(WebAddresses, PercentEncoding) {
  EXPECT_EQ(PercentEncode("万年历"), "%CD%F2%C4%EA%C0%FA");
  EXPECT_EQ(PercentEncode("A&B"), "A%26B");
  EXPECT_EQ(PercentEncode("C#"), "C%23");
  EXPECT_EQ(PercentEncode("1+1 50%"), "1%2B1%2050%25");
  EXPECT_EQ(PercentEncode("az-_.~09"), "az-_.~09");
  EXPECT_EQ(PercentEncode(std::string("\0\xFF", 2)), "%00%FF");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(WebAddresses, SearchAndSite) {
  EXPECT_EQ(SearchAddress("万年历"),
            std::string(kSearchAddress) + "?q=%CD%F2%C4%EA%C0%FA&pid=" + kSearchPartnerId + "&commend=all");
  EXPECT_EQ(SearchAddress(""), std::string(kSearchAddress) + "?q=&pid=" + kSearchPartnerId + "&commend=all");
  EXPECT_EQ(MakerSiteAddress(), std::string(kMakerSite) + "?soft=qhtime");
}

}  // namespace
}  // namespace app

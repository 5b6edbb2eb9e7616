// The web addresses the program hands to the browser.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Every byte outside A-Z a-z 0-9 - _ . ~ as %XX (upper-case hex) of its GBK
// byte, so that "&", "#", "+" and "%" in a search stay part of it.
std::string PercentEncode(std::string_view text);

// The product search for the text as typed in the search box.
std::string SearchAddress(std::string_view searchText);
// The maker's web site with the program's query.
std::string MakerSiteAddress();

}  // namespace app

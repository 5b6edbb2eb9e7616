// The program's fixed values: names, web addresses and the texts of its
// menus and controls that more than one handler uses.
#pragma once

namespace app {

inline constexpr char kProgramName[] = "青禾万年历";
inline constexpr char kMainTitle[] = "青禾万年历 V1.0  - 可查农历 网络校时";

// Web addresses: the maker's site (with the program's query), its portal page
// shown in the main window, the time server and the product search.
inline constexpr char kMakerSite[] = "http://www.qinghe-soft.example";
inline constexpr char kMakerSiteQuery[] = "?soft=qhtime";
inline constexpr char kPortalPage[] = "http://www.qinghe-soft.example/portal/";
inline constexpr char kTimeServerAddress[] = "http://time.qinghe-soft.example/time/time.asp";
inline constexpr char kSearchAddress[] = "http://s.taobao.com/search";
inline constexpr char kSearchPartnerId[] = "mm_10011550_0_0";

inline constexpr char kAuthor[] = "青禾工作室";

// Control and menu names of the main window.
inline constexpr char kCalendar[] = "农历月历1";
inline constexpr char kTodayButton[] = "按钮1";
inline constexpr char kSearchButton[] = "按钮2";
inline constexpr char kSearchBox[] = "编辑框1";
inline constexpr char kWebPanel[] = "超文本浏览框1";
inline constexpr char kClockTimer[] = "时钟1";
inline constexpr char kStatusBar[] = "状态条1";

inline constexpr char kMenuFile[] = "文件";
inline constexpr char kMenuBackToToday[] = "回到今天";
inline constexpr char kMenuGregorian[] = "公历";
inline constexpr char kMenuLunar[] = "农历";
inline constexpr char kMenuExit[] = "退出";
inline constexpr char kMenuTools[] = "工具";
inline constexpr char kMenuTimeSync[] = "网络校时";
inline constexpr char kMenuStyle[] = "风格";
inline constexpr char kMenuHelp[] = "帮助";
inline constexpr char kMenuAbout[] = "关于";
inline constexpr char kMenuSite[] = "官方网站";
inline constexpr char kMenuUpgrade[] = "软件升级";

}  // namespace app

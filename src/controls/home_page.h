// The maker's home page: where the toolbar's logo, the context menu and the
// information dialog send the user.
#pragma once

constexpr char16_t kMakerHomePage[] = u"https://mervane.example/";
// The browser window the home page opens in, so that it never replaces the
// page that shows the viewer.
constexpr char16_t kMakerHomePageTarget[] = u"mervane";

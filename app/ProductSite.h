// The web addresses of the program: one setting, the site (scheme and host,
// "https://velmora.example"), from which every address the program opens or
// fetches is formed. The program ships with https; tests point the site at a
// server of their own (http on the loopback address).
#pragma once

#include <string>

namespace vm {

inline constexpr const wchar_t* kProductSite = L"https://velmora.example";

struct ProductSite {
    std::wstring base = kProductSite;  // scheme and host, no trailing "/"

    // The version file of the update check ("/software/krv/krvupdate.tmp").
    std::wstring UpdateFileUrl() const;
    // The download page, which is also the home page ("/software/krv/main.html").
    std::wstring DownloadPageUrl() const;
    // The page for questions and suggestions ("/blog/questions.html").
    std::wstring QuestionsPageUrl() const;
    // The donation page ("/donate.html").
    std::wstring DonatePageUrl() const;
};

}  // namespace vm

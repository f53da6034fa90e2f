#include "app/ProductSite.h"

#include "app/VersionCheck.h"

namespace vm {

namespace {

// The base with one "/" between it and the path, however the base ends.
std::wstring Join(const std::wstring& base, const std::wstring& path) {
    std::wstring url = base;
    while (!url.empty() && url.back() == L'/')
        url.pop_back();
    return url + path;
}

}  // namespace

std::wstring ProductSite::UpdateFileUrl() const {
    return Join(base, kUpdateFileUrlPath);
}

std::wstring ProductSite::DownloadPageUrl() const {
    return Join(base, kDownloadPageUrlPath);
}

std::wstring ProductSite::QuestionsPageUrl() const {
    return Join(base, L"/blog/questions.html");
}

std::wstring ProductSite::DonatePageUrl() const {
    return Join(base, L"/donate.html");
}

}  // namespace vm

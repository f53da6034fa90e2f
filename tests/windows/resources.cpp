// The resources of velmora.exe: texts, icon, version and manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>

#include "harness/Harness.h"
#include "resources/resource.h"

namespace h = vm::harness;

namespace {

// velmora.exe loaded for its resources only.
class ProgramResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_ = h::ProgramFolder() + L"velmora.exe";
        module_ = LoadLibraryExW(path_.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load velmora.exe"; }

    static std::wstring String(UINT id) {
        // With a zero buffer size LoadStringW hands out the text in place.
        const wchar_t* text = nullptr;
        int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
        return length > 0 ? std::wstring(text, length) : std::wstring();
    }

    static std::string Resource(LPCWSTR name, LPCWSTR type) {
        HRSRC info = FindResourceW(module_, name, type);
        if (!info)
            return {};
        HGLOBAL loaded = LoadResource(module_, info);
        auto* bytes = static_cast<const char*>(LockResource(loaded));
        return bytes ? std::string(bytes, SizeofResource(module_, info)) : std::string();
    }

    static inline std::wstring path_;
    static inline HMODULE module_ = nullptr;
};

struct Text {
    UINT id;
    const wchar_t* text;
};

// Every text of the string table, exactly as the windows show it.
const Text kStringTable[] = {
    {182, L"(Backup);Add;Add Files or Folders;"},
    {183, L"Name;Type;Date created;Access rights of current user;Owner;File system;Folder;"},
    {184, L"Name;Full path;Status;Access rights of current user;Owner;"},
    {185,
     L"Full control;Traverse folder / execute file;List folder / read data;Read attributes;"
     L"Read extended attributes;Create files / write data;Create folders / append data;"
     L"Write attributes;Write extended attributes;Delete subfolders and files;Delete;"
     L"Read permissions;Change permissions;Take ownership;"},
    {186, L"Allow;Deny;"},
    {187, L"Allowed;Read Only;Denied"},
    {188, L"%s is a Root directory ,do you want to change Security Settings for it?"},
    {189,
     L"Clear Access Control List;Create a Null DACL\n\nA null DACL grants full access to any "
     L"user that requests it.;Create an empty DACL\n\nAn empty DACL grants no access to the "
     L"object it is assigned to.;Do you want to continue?"},
    {190,
     L"You don't currently have permission to access this folder.\nDo you want to access to "
     L"this folder anyway?"},
    {192, L"Selected %d / Total %d"},
    {193, L";Type;;Allow;Deny;Inherited From;Apply to;"},
    {194,
     L"You do not have permission to view the object's permission settings\nPlease change the "
     L"owner to get permission"},
    {195,
     L"No permissions have been assigned for this object.\n\nWarning: this is a potential "
     L"security risk because anyone who can access this object can take ownership of it. The "
     L"object\u2019s owner should assign permissions as soon as possible."},
    {196,
     L"No groups or users have permission to access this object.However, the owner of this "
     L"object can assign permissions."},
    {197, L"Parent Object"},
    {198,
     L"A new version of  Velmora (%s) is available.\n\r\n\r%s\n\r\n\rDo you want to download "
     L"it?"},
    {199, L"There is no new version available at this time!"},
    {200, L"This operation only applies to objects in NTFS file systems."},
    {201, L"Please select only one item from the list."},
    {202, L"Please select at least one item."},
    {203, L"Name;Path;File system;Access rights of current user;Owner;"},
    {204, L"Root directory;System Folder;(SYSTEM);"},
    {205, L"Succeed;Failed;File not found;"},
    {206, L"Restore security settings to the default settings"},
    {207, L"Please save changes of Security settings."},
};

TEST_F(ProgramResources, StringTableHoldsEveryTextExactly) {
    for (const Text& expected : kStringTable) {
        EXPECT_EQ(String(expected.id), expected.text) << "string " << expected.id;
    }
    EXPECT_EQ(String(191), L"") << "191 is not used";
}

TEST_F(ProgramResources, TheNonAsciiApostropheSurvivesTheResourceCompiler) {
    std::wstring text = String(IDS_NULL_DACL_TEXT);
    ASSERT_NE(text.find(L"object"), std::wstring::npos);
    EXPECT_NE(text.find(static_cast<wchar_t>(0x2019)), std::wstring::npos);
    EXPECT_EQ(text.find(L'\''), std::wstring::npos);
}

TEST_F(ProgramResources, IconHasTheFourSizes) {
    // GRPICONDIR: reserved, type, count, then 14-byte entries whose first
    // byte is the width (0 for 256).
    std::string group = Resource(MAKEINTRESOURCEW(IDI_VELMORA), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    unsigned count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5])
                                                                << 8;
    ASSERT_EQ(group.size(), 6 + 14 * count);
    std::set<int> widths;
    for (unsigned i = 0; i < count; ++i) {
        int width = static_cast<unsigned char>(group[6 + 14 * i]);
        widths.insert(width == 0 ? 256 : width);
    }
    EXPECT_EQ(widths, (std::set<int>{16, 32, 48, 256}));
}

TEST_F(ProgramResources, VersionIs1_3_0_129) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path_.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(129, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(129, 0));

    auto value = [&](const wchar_t* name) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        wchar_t* text = nullptr;
        UINT chars = 0;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars)) {
            return std::wstring();
        }
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"FileVersion"), L"1.3.0.129");
    EXPECT_EQ(value(L"ProductVersion"), L"1.3.0.129");
    EXPECT_EQ(value(L"ProductName"), L"Velmora");
}

TEST_F(ProgramResources, ManifestAsksForAdministratorsCommonControls6AndPerMonitorDpi) {
    std::string manifest = Resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
    EXPECT_NE(manifest.find(R"(level="requireAdministrator")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
}

// The side of a PNG from its IHDR chunk (bytes 16 to 23: width and height,
// big-endian); 0 when the bytes are not a PNG of that size.
int PngSide(const std::string& png) {
    if (png.size() < 24 || png.compare(1, 3, "PNG") != 0)
        return 0;
    const auto at = [&](size_t i) {
        return (static_cast<unsigned char>(png[i]) << 24) |
               (static_cast<unsigned char>(png[i + 1]) << 16) |
               (static_cast<unsigned char>(png[i + 2]) << 8) |
               static_cast<unsigned char>(png[i + 3]);
    };
    return at(16) == at(20) ? static_cast<int>(at(16)) : 0;
}

TEST_F(ProgramResources, EveryPictureAtThreeScales) {
    // Each picture's side at 96 DPI, and its renderings at 1.5x and 2x.
    const struct {
        int id;
        int side;
    } pictures[] = {{IDP_ADD, 30},           {IDP_ADVANCED, 30},         {IDP_ALLOW, 30},
                    {IDP_DENY, 30},          {IDP_READ_ONLY, 30},        {IDP_BACK, 16},
                    {IDP_ENTRY_REMOVE, 32},  {IDP_ENTRY_RELOAD, 32},     {IDP_ENTRY_ADD, 32},
                    {IDP_CHANGE_OWNER, 30},  {IDP_MAIN_MENU, 16},        {IDP_ACCESS_ALLOWED, 16},
                    {IDP_ACCESS_DENIED, 16}, {IDP_ACCESS_READ_ONLY, 16}, {IDP_OWNER, 16},
                    {IDP_CELL_EMPTY, 16},    {IDP_CELL_DROPDOWN, 16},    {IDP_CELL_TICKED, 16},
                    {IDP_NON_NTFS, 16},      {IDP_BOOKMARK, 16},         {IDP_CLIPBOARD, 16}};
    for (const auto& picture : pictures) {
        const auto png = [&](int id) { return Resource(MAKEINTRESOURCEW(id), L"PNG"); };
        EXPECT_EQ(PngSide(png(picture.id)), picture.side) << picture.id;
        EXPECT_EQ(PngSide(png(picture.id + IDP_AT_150)), (picture.side * 3 + 1) / 2) << picture.id;
        EXPECT_EQ(PngSide(png(picture.id + IDP_AT_200)), picture.side * 2) << picture.id;
    }
}

TEST(TestProgramResources, CommonControls6AreActive) {
    // The test programs carry the same manifest; comctl32 6 is what the
    // windows are tested with. It lives in the side-by-side store, apart from
    // version 5 in the system folder.
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower)
        c = towlower(c);
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << "comctl32 from " << lower;
    EXPECT_NE(lower.find(L"common-controls"), std::wstring::npos) << "comctl32 from " << lower;
    FreeLibrary(comctl);
}

}  // namespace

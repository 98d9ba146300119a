#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "win/Handle.h"

namespace quilldeck {
namespace {

using namespace testing;

// The built program, loaded for its resources only: none of its code runs.
class ProgramImage {
public:
    ProgramImage()
        : module_(::LoadLibraryExA((ProgramFolder() + "Quilldeck.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}

    bool Loaded() const { return module_ != nullptr; }

    // The bytes of a resource; nothing when the program has none such.
    std::optional<std::string_view> Resource(LPCSTR type, LPCSTR name) const {
        const HRSRC found = ::FindResourceA(module_.get(), name, type);
        if (found == nullptr) return std::nullopt;
        const HGLOBAL loaded = ::LoadResource(module_.get(), found);
        const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (bytes == nullptr) return std::nullopt;
        return std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module_.get(), found));
    }

private:
    std::unique_ptr<HINSTANCE__, win::FunctionDeleter<&::FreeLibrary>> module_;
};

// What lies between an element's start tag (which opens with `startTag`)
// and its end tag; nothing when there is no such element.
std::optional<std::string_view> ElementContent(std::string_view xml, std::string_view startTag,
                                               std::string_view name) {
    const std::size_t start = xml.find(startTag);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t contentStart = xml.find('>', start);
    const std::string endTag = "</" + std::string(name) + ">";
    const std::size_t end = xml.find(endTag, contentStart);
    if (contentStart == std::string_view::npos || end == std::string_view::npos) return std::nullopt;
    return xml.substr(contentStart + 1, end - contentStart - 1);
}

TEST(ProgramResourcesTest, TheManifestDeclaresAwarenessOfEachMonitorsDpi) {
    const ProgramImage program;
    ASSERT_TRUE(program.Loaded()) << "error " << ::GetLastError();
    const auto manifest = program.Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));  // RT_MANIFEST
    ASSERT_TRUE(manifest);
    const auto application =
        ElementContent(*manifest, "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">", "application");
    ASSERT_TRUE(application) << *manifest;
    const auto settings = ElementContent(*application, "<windowsSettings>", "windowsSettings");
    ASSERT_TRUE(settings) << *application;

    // The older form names per-monitor awareness for Windows 8.1; Windows 10
    // (1607) reads the newer one, which falls back to version 1 where version
    // 2 is unknown.
    const struct {
        const char* startTag;
        const char* name;
        const char* value;
    } declarations[] = {
        {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">", "dpiAware", "true/pm"},
        {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">", "dpiAwareness",
         "PerMonitorV2, PerMonitor"},
    };
    for (const auto& declaration : declarations) {
        SCOPED_TRACE(declaration.name);
        const auto value = ElementContent(*settings, declaration.startTag, declaration.name);
        ASSERT_TRUE(value) << *settings;
        EXPECT_EQ(*value, std::string_view(declaration.value));
    }
}

#pragma pack(push, 2)
// An icon group's entry as the resource holds it.
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconGroupEntry) == 14);

std::vector<IconGroupEntry> IconGroupEntries(std::string_view group) {
    std::vector<IconGroupEntry> entries;
    constexpr std::size_t HeaderSize = 3 * sizeof(WORD);  // reserved, type 1, count
    if (group.size() < HeaderSize) return entries;
    WORD count = 0;
    std::memcpy(&count, group.data() + 2 * sizeof(WORD), sizeof(count));
    for (std::size_t i = 0; i < count && HeaderSize + (i + 1) * sizeof(IconGroupEntry) <= group.size(); ++i) {
        IconGroupEntry entry{};
        std::memcpy(&entry, group.data() + HeaderSize + i * sizeof(IconGroupEntry), sizeof(entry));
        entries.push_back(entry);
    }
    return entries;
}

// At each display scale from 100 % to 300 % Windows asks for one of these
// sizes (small icons 16 to 48, tray and title bar alike); each must be an
// image of its own, so that none is stretched from another.
TEST(ProgramResourcesTest, TheIconHoldsAnImageDrawnForEverySizeTheDisplayScalesAskFor) {
    const ProgramImage program;
    ASSERT_TRUE(program.Loaded()) << "error " << ::GetLastError();
    const auto group = program.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(1));
    ASSERT_TRUE(group);
    const std::vector<IconGroupEntry> entries = IconGroupEntries(*group);

    std::map<int, WORD> trueColourImages;  // size -> image id
    std::set<std::string_view> distinctImages;
    for (const IconGroupEntry& entry : entries) {
        SCOPED_TRACE("image " + std::to_string(entry.id));
        EXPECT_EQ(entry.width, entry.height);
        // The image itself has the size its entry gives, with its mask below.
        const auto image = program.Resource(RT_ICON, MAKEINTRESOURCEA(entry.id));
        ASSERT_TRUE(image);
        ASSERT_GE(image->size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header{};
        std::memcpy(&header, image->data(), sizeof(header));
        EXPECT_EQ(header.biWidth, entry.width);
        EXPECT_EQ(header.biHeight, 2 * entry.height);
        EXPECT_EQ(header.biBitCount, entry.bitCount);
        EXPECT_EQ(image->size(), entry.bytes);
        if (entry.bitCount == 32) {
            EXPECT_TRUE(trueColourImages.emplace(entry.width, entry.id).second) << "twice " << int(entry.width);
        }
        EXPECT_TRUE(distinctImages.insert(*image).second) << "a copy of another image";
    }
    std::set<int> sizes;
    for (const auto& [size, id] : trueColourImages) sizes.insert(size);
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48}));

    // The system, asked for any of those sizes in full colour, picks the
    // image of exactly that size.
    for (const auto& [size, id] : trueColourImages) {
        SCOPED_TRACE(size);
        const int chosen = ::LookupIconIdFromDirectoryEx(
            reinterpret_cast<PBYTE>(const_cast<char*>(group->data())), TRUE, size, size, LR_DEFAULTCOLOR);
        EXPECT_EQ(chosen, id);
        const auto image = program.Resource(RT_ICON, MAKEINTRESOURCEA(id));
        ASSERT_TRUE(image);
        const std::unique_ptr<HICON__, win::FunctionDeleter<&::DestroyIcon>> icon(::CreateIconFromResourceEx(
            reinterpret_cast<PBYTE>(const_cast<char*>(image->data())), static_cast<DWORD>(image->size()), TRUE,
            0x00030000, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
        BITMAP colour{};
        ::GetObjectA(info.hbmColor, sizeof(colour), &colour);
        if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
    }
}

// The version resource, as Windows shows it in the file's properties and an
// installer reads it: 1.0.0.0, the version the About box shows as "1.0.0".
TEST(ProgramResourcesTest, TheVersionResourceNamesTheProductAndItsVersion) {
    const std::string program = ProgramFolder() + "Quilldeck.exe";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        if (!::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars)) return std::string();
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), "1.0.0.0");
    EXPECT_EQ(text("ProductVersion"), "1.0.0.0");
    EXPECT_EQ(text("ProductName"), "Quilldeck");
    EXPECT_EQ(text("CompanyName"), "Kestrovar");
    EXPECT_EQ(text("OriginalFilename"), "Quilldeck.exe");
    EXPECT_FALSE(text("FileDescription").empty());
    EXPECT_NE(text("LegalCopyright").find("Kestrovar"), std::string::npos);
}

}  // namespace
}  // namespace quilldeck

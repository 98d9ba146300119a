// The release as a Windows user meets it: the installer package installed,
// upgraded and removed with msiexec, silently, and the portable copy run from
// a folder of its own. tools/test builds the release with tools/release and
// runs each test alone in a fresh Wine prefix, with QUILLDECK_RELEASE naming
// the Unix folder of the release and QUILLDECK_OLD_RELEASE that of a release
// with a lower version.

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "../desktop/JourneyFixture.h"
#include "ui/OptionsLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

// The one file of a release folder whose name ends so; empty when none.
std::string ReleaseFile(const char* variable, const std::string& ending) {
    const char* folder = std::getenv(variable);
    if (folder == nullptr) return {};
    const std::string windowsFolder = WindowsPathOf(folder);
    for (const std::string& name : FolderEntries(windowsFolder)) {
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            return windowsFolder + "\\" + name;
        }
    }
    return {};
}

std::string ShellFolder(int folder) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string PerUserProgram() { return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quilldeck\\Quilldeck.exe"; }
std::string PerMachineProgram() { return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Quilldeck\\Quilldeck.exe"; }

// msiexec with the arguments given; its exit code.
std::optional<DWORD> Msiexec(const std::string& arguments) {
    ChildProcess msiexec("C:\\windows\\system32\\msiexec.exe", {}, {}, arguments);
    return msiexec.WaitForExit(120s);
}

std::string RegistryText(HKEY key, const char* name) {
    char value[512] = {};
    DWORD size = sizeof(value);
    if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

// An entry of "Apps & features" (the uninstall list), wherever Windows
// Installer put it: HKCU for a per-user install on Windows; Wine writes HKLM.
struct UninstallEntry {
    std::string version;
    std::string publisher;
};

std::vector<UninstallEntry> UninstallEntries() {
    std::vector<UninstallEntry> entries;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY list = nullptr;
        if (::RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_READ, &list) !=
            ERROR_SUCCESS) {
            continue;
        }
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof(name);
            if (::RegEnumKeyExA(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            HKEY entry = nullptr;
            if (::RegOpenKeyExA(list, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
            if (RegistryText(entry, "DisplayName") == "Quilldeck") {
                entries.push_back({RegistryText(entry, "DisplayVersion"), RegistryText(entry, "Publisher")});
            }
            ::RegCloseKey(entry);
        }
        ::RegCloseKey(list);
    }
    return entries;
}

// The icon Windows Installer keeps for the product (what Apps & features
// shows), for a per-user or a per-machine install.
std::string ProductIcon() {
    const std::pair<HKEY, const char*> places[] = {
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Installer\\Products"},
        {HKEY_LOCAL_MACHINE, "Software\\Classes\\Installer\\Products"},
    };
    for (const auto& [root, path] : places) {
        HKEY products = nullptr;
        if (::RegOpenKeyExA(root, path, 0, KEY_READ, &products) != ERROR_SUCCESS) continue;
        char name[256];
        std::string icon;
        for (DWORD index = 0; icon.empty(); ++index) {
            DWORD length = sizeof(name);
            if (::RegEnumKeyExA(products, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                break;
            }
            HKEY product = nullptr;
            if (::RegOpenKeyExA(products, name, 0, KEY_READ, &product) != ERROR_SUCCESS) continue;
            if (RegistryText(product, "ProductName") == "Quilldeck") icon = RegistryText(product, "ProductIcon");
            ::RegCloseKey(product);
        }
        ::RegCloseKey(products);
        if (!icon.empty()) return icon;
    }
    return {};
}

// The file version of a program, "a.b.c.d"; empty when it has none.
std::string FileVersion(const std::string& program) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoA(program.c_str(), 0, size, info.data()) ||
        !::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        return {};
    }
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// Slot 1 pastes "quick" on Ctrl+Alt+Q; the program starts into the tray.
const std::string OneSlot = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick"),
                                        Record("0", "Second", "Ctrl+Alt+W", "second")},
                                       true);

class ReleaseTest : public JourneyFixture {
protected:
    void SetUp() override {
        msi = ReleaseFile("QUILLDECK_RELEASE", "-x64.msi");
        zip = ReleaseFile("QUILLDECK_RELEASE", "-x64.zip");
        oldMsi = ReleaseFile("QUILLDECK_OLD_RELEASE", "-x64.msi");
        ASSERT_FALSE(msi.empty()) << "QUILLDECK_RELEASE names no folder with a package";
    }

    std::string msi;
    std::string zip;
    std::string oldMsi;
};

// Installed for the user alone, silently: the program in the user's programs
// folder, its Start menu shortcut, its entry in Apps & features; it starts,
// reads an existing settings file, pastes and writes the file back unchanged.
TEST_F(ReleaseTest, APerUserInstallPutsEverythingInPlaceAndTheProgramWorks) {
    ASSERT_EQ(Msiexec("/i \"" + msi + "\" /qn"), 0u);
    const std::string program = PerUserProgram();
    ASSERT_TRUE(IsFile(program)) << program;
    EXPECT_FALSE(IsFile(PerMachineProgram()));
    EXPECT_EQ(FileVersion(program), "1.0.0.0");
    {
        const ComApartment com;
        const auto shortcut = ReadShellLink(ShellFolder(CSIDL_PROGRAMS) + "\\Quilldeck.lnk");
        ASSERT_TRUE(shortcut) << "no Start menu shortcut";
        EXPECT_EQ(_stricmp(shortcut->target.c_str(), program.c_str()), 0) << shortcut->target;
    }
    const std::vector<UninstallEntry> entries = UninstallEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, "1.0.0");
    EXPECT_EQ(entries[0].publisher, "Kestrovar");
    EXPECT_TRUE(IsFile(ProductIcon())) << "icon: " << ProductIcon();

    QuilldeckProgram quilldeck(program, OneSlot, SW_SHOWNORMAL);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(Pastes("ctrl+alt+q", u"quick"));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(15s), 0u);
    EXPECT_EQ(quilldeck.Settings(), OneSlot);
}

// Removed silently while the program runs: it ends through Exit; the program,
// its Start menu shortcut and the Startup link that Options made to it go;
// the settings file stays, byte for byte.
TEST_F(ReleaseTest, AnUninstallRemovesTheProgramAndItsShortcutsAndKeepsTheSettings) {
    ASSERT_EQ(Msiexec("/i \"" + msi + "\" /qn"), 0u);
    const std::string program = PerUserProgram();
    ASSERT_TRUE(IsFile(program));
    const std::string startupLink = StartupShortcut();
    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")});
    {
        QuilldeckProgram quilldeck(program, settings, SW_SHOWNORMAL);
        ASSERT_TRUE(ShownOpaque(quilldeck));
        const HWND options = OpenOptionsOf(quilldeck);
        ASSERT_NE(options, nullptr);
        ASSERT_TRUE(ClickCheckBox(options, ui::options::IdCheckBox1));
        ASSERT_TRUE(ClickOKOf(quilldeck, options, ui::options::IdButton1));
        ASSERT_TRUE(IsFile(startupLink));

        ASSERT_EQ(Msiexec("/x \"" + msi + "\" /qn"), 0u);
        EXPECT_EQ(quilldeck.Process().WaitForExit(0ms), 0u) << "the running copy did not end through Exit";
        EXPECT_FALSE(IsFile(program));
        EXPECT_FALSE(IsFile(ShellFolder(CSIDL_PROGRAMS) + "\\Quilldeck.lnk"));
        EXPECT_FALSE(IsFile(startupLink)) << "a Startup link to a program that is gone";
        EXPECT_TRUE(UninstallEntries().empty());
        EXPECT_EQ(quilldeck.Settings(), settings);
    }
}

// A package of a lower version installed, its program running with a change
// not yet saved; the new package asks it to end through Exit (which saves the
// change), replaces it in place and leaves one entry in Apps & features.
TEST_F(ReleaseTest, AnUpgradeOverARunningCopyEndsItThroughExitAndReplacesItInPlace) {
    ASSERT_FALSE(oldMsi.empty()) << "QUILLDECK_OLD_RELEASE names no folder with a package";
    ASSERT_EQ(Msiexec("/i \"" + oldMsi + "\" /qn"), 0u);
    const std::string program = PerUserProgram();
    ASSERT_TRUE(IsFile(program));
    const std::string oldVersion = FileVersion(program);
    ASSERT_NE(oldVersion, "1.0.0.0");

    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick"),
                                             Record("0", "Second", "Ctrl+Alt+W", "second")});
    QuilldeckProgram quilldeck(program, settings, SW_SHOWNORMAL);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    input.ClickAt(quilldeck.CheckBoxPoint(1));
    ASSERT_TRUE(WaitFor([&] { return quilldeck.Checked(1); }));
    ASSERT_EQ(quilldeck.Settings(), settings) << "saved before the upgrade";

    ASSERT_EQ(Msiexec("/i \"" + msi + "\" /qn"), 0u);
    EXPECT_EQ(quilldeck.Process().WaitForExit(0ms), 0u) << "the running copy did not end through Exit";
    EXPECT_EQ(quilldeck.Settings(), SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick"),
                                                Record("1", "Second", "Ctrl+Alt+W", "second")}));
    EXPECT_EQ(FileVersion(program), "1.0.0.0");
    const std::vector<UninstallEntry> entries = UninstallEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, "1.0.0");
}

// Installed for every user when asked: into Program Files, with a Start
// menu shortcut (Windows puts it in the menu of all users; Wine 8's Windows
// Installer in the user's own); removed again as silently.
TEST_F(ReleaseTest, APerMachineInstallGoesToProgramFilesWhenAsked) {
    ASSERT_EQ(Msiexec("/i \"" + msi + "\" ALLUSERS=1 /qn"), 0u);
    const std::string program = PerMachineProgram();
    EXPECT_TRUE(IsFile(program)) << program;
    EXPECT_FALSE(IsFile(PerUserProgram()));
    const std::string commonShortcut = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Quilldeck.lnk";
    const std::string userShortcut = ShellFolder(CSIDL_PROGRAMS) + "\\Quilldeck.lnk";
    EXPECT_TRUE(IsFile(commonShortcut) || IsFile(userShortcut));
    EXPECT_EQ(FileVersion(program), "1.0.0.0");
    ASSERT_EQ(UninstallEntries().size(), 1u);

    ASSERT_EQ(Msiexec("/x \"" + msi + "\" ALLUSERS=1 /qn"), 0u);
    EXPECT_FALSE(IsFile(program));
    EXPECT_FALSE(IsFile(commonShortcut) || IsFile(userShortcut));
    EXPECT_TRUE(UninstallEntries().empty());
}

// The portable copy: unpacked into any folder, it runs from there.
TEST_F(ReleaseTest, ThePortableCopyRunsFromAnyFolder) {
    ASSERT_FALSE(zip.empty());
    const std::string unixRoot = UnixTempFile("portable");
    const std::string unixFolder = unixRoot + "/Any folder";
    ASSERT_EQ(RunUnix("mkdir -p '" + unixFolder + "' && unzip -q '" + UnixPathOf(zip) + "' -d '" + unixFolder + "'"), 0);
    const std::string folder = WindowsPathOf(unixFolder);
    std::vector<std::string> entries = FolderEntries(folder);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"LICENSE.txt", "Quilldeck.exe", "README.txt"}));
    const std::string program = folder + "\\Quilldeck.exe";
    EXPECT_EQ(FileVersion(program), "1.0.0.0");
    QuilldeckProgram quilldeck(program, OneSlot, SW_SHOWNORMAL);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(Pastes("ctrl+alt+q", u"quick"));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(15s), 0u);
    EXPECT_EQ(RunUnix("rm -rf '" + unixRoot + "'"), 0);
}

}  // namespace
}  // namespace quilldeck

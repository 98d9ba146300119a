// The installer's own actions, run by Windows Installer from the MSI: a copy
// of Quilldeck that runs from the folder being installed, upgraded or removed
// is asked to end through its Exit command, which saves its settings (never
// killed); and an uninstall takes away the Startup-folder shortcut that the
// Options dialog made to the installed program, which would otherwise start a
// program that is gone.

#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "ui/MainWindowLayout.h"
#include "win/Handle.h"
#include "win/WideText.h"

namespace {

using quilldeck::win::UniqueHandle;

std::string Property(MSIHANDLE install, const char* name) {
    DWORD size = 0;
    char empty[1] = "";
    ::MsiGetPropertyA(install, name, empty, &size);
    std::string value(size + 1, '\0');
    size = static_cast<DWORD>(value.size());
    if (::MsiGetPropertyA(install, name, value.data(), &size) != ERROR_SUCCESS) return {};
    value.resize(size);
    return value;
}

// The program the installer puts in place, "INSTALLDIR\Quilldeck.exe".
std::string InstalledProgram(MSIHANDLE install) {
    std::string folder = Property(install, "INSTALLDIR");
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder.empty() ? std::string() : folder + "Quilldeck.exe";
}

bool SamePath(const std::string& a, const std::string& b) {
    return ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

std::string ProcessImage(HANDLE process) {
    char path[MAX_PATH * 2] = {};
    DWORD size = static_cast<DWORD>(sizeof(path));
    return ::QueryFullProcessImageNameA(process, 0, path, &size) ? std::string(path, size) : std::string();
}

}  // namespace

// Asks every copy of the installed program that runs to end through Exit,
// and waits for each to end (a minute at most: a copy whose save fails asks
// its user first). Nothing is ever killed.
extern "C" __declspec(dllexport) UINT __stdcall CloseRunningQuilldeck(MSIHANDLE install) {
    const std::string program = InstalledProgram(install);
    if (program.empty()) return ERROR_SUCCESS;
    std::vector<HWND> windows;
    for (HWND window = nullptr; (window = ::FindWindowExA(nullptr, window, "QuilldeckMainWindow", nullptr));) {
        windows.push_back(window);
    }
    for (HWND window : windows) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
        if (!process || !SamePath(ProcessImage(process.Get()), program)) continue;
        ::PostMessageA(window, WM_COMMAND, quilldeck::ui::IdExit2, 0);
        ::WaitForSingleObject(process.Get(), 60000);
    }
    return ERROR_SUCCESS;
}

// Deletes the Startup-folder shortcut "Quilldeck.lnk" when it starts the
// installed program; one the user made to another copy stays.
extern "C" __declspec(dllexport) UINT __stdcall RemoveStartupShortcut(MSIHANDLE install) {
    const std::string program = InstalledProgram(install);
    char folder[MAX_PATH] = {};
    if (program.empty() || FAILED(::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return ERROR_SUCCESS;
    }
    const std::string shortcut = std::string(folder) + "\\Quilldeck.lnk";
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    std::string target;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            char path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(quilldeck::win::WideFromSystemCodePage(shortcut).c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
                target = path;
            }
            file->Release();
        }
        link->Release();
    }
    if (com) ::CoUninitialize();
    if (!target.empty() && SamePath(target, program)) ::DeleteFileA(shortcut.c_str());
    return ERROR_SUCCESS;
}

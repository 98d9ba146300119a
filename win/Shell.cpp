#include "Shell.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

#include "Handle.h"
#include "SystemError.h"
#include "WideText.h"

namespace quilldeck::win {
namespace {

void ThrowIfFailed(HRESULT result) {
    if (FAILED(result)) throw SystemError(static_cast<DWORD>(result));
}

}  // namespace

std::string ShellFolderPath(int folder) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, folder, &list)) || list == nullptr) return {};
    const UniqueCoTaskMemory<ITEMIDLIST> owned(list);
    char path[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListA(owned.get(), path)) return {};
    return path;
}

void SaveShellLink(const std::string& linkFile, const std::string& target, const std::string& workingDirectory) {
    IShellLinkA* rawLink = nullptr;
    ThrowIfFailed(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&rawLink)));
    const ComPtr<IShellLinkA> link(rawLink);
    IPersistFile* rawFile = nullptr;
    ThrowIfFailed(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)));
    const ComPtr<IPersistFile> file(rawFile);

    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    file->Save(WideFromSystemCodePage(linkFile).c_str(), FALSE);
}

}  // namespace quilldeck::win

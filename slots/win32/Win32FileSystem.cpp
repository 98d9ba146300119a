#include <windows.h>

#include <array>

#include "../InOutError.h"
#include "../PathText.h"
#include "Win32Platform.h"
#include "win/Handle.h"

namespace quilldeck {
namespace {

using win::UniqueHandle;

[[noreturn]] void ThrowLastError() { throw EInOutError(static_cast<int>(::GetLastError())); }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

// Writes every byte or throws; a short write means the disk is full.
void WriteEverything(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        constexpr std::size_t MaxChunk = 1u << 30;
        const auto chunk = static_cast<DWORD>(content.size() < MaxChunk ? content.size() : MaxChunk);
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), chunk, &written, nullptr)) ThrowLastError();
        if (written == 0) throw EInOutError(101);
        content.remove_prefix(written);
    }
}

// The file itself written anew, where it cannot be replaced: not safe
// against a crash in the middle, but the file keeps its attributes, its
// security and its links, which a replacement gives up.
void WriteInPlace(const std::string& path, std::string_view content) {
    UniqueHandle target(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) ThrowLastError();
    WriteEverything(target.Get(), content);
    if (!::SetEndOfFile(target.Get())) ThrowLastError();
    if (!::FlushFileBuffers(target.Get())) ThrowLastError();
    if (!target.Close()) ThrowLastError();
}

// A temporary file beside the target, deleted when this goes unless released
// (moved into place, or never ours).
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) ::DeleteFileA(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return path_; }
    void Release() { path_.clear(); }
    void Remove() {
        ::DeleteFileA(path_.c_str());
        path_.clear();
    }

private:
    std::string path_;
};

}  // namespace

std::string Win32FileSystem::EnvironmentValue(const std::string& name) const {
    const DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::string value(size, '\0');
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

bool Win32FileSystem::FolderExists(const std::string& path) const {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::MakeFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

std::string Win32FileSystem::ProgramFolderShortPath() const {
    std::array<char, MAX_PATH + 1> program{};
    const DWORD length = ::GetModuleFileNameA(nullptr, program.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string folder = FolderOf(std::string_view(program.data(), length), Win32CodePage());
    std::array<char, MAX_PATH + 1> shortForm{};
    const DWORD shortLength = ::GetShortPathNameA(folder.c_str(), shortForm.data(), MAX_PATH);
    if (shortLength == 0 || shortLength >= MAX_PATH) return {};
    return std::string(shortForm.data(), shortLength);
}

bool Win32FileSystem::FileExists(const std::string& path) const {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::MakeEmptyFile(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (!file.Close()) ThrowLastError();
    return true;
}

std::optional<FileContent> Win32FileSystem::ReadAll(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    FileContent content;
    // Read straight into the result: the size the file has now in one read,
    // then on until a read gives nothing (the file may have grown).
    constexpr std::size_t Chunk = 0x10000;
    std::size_t expected = 0;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
        expected = static_cast<std::size_t>(size.QuadPart);
        content.bytes.reserve(expected + 1);
    }
    for (;;) {
        const std::size_t used = content.bytes.size();
        const std::size_t want = expected > 0 && used <= expected ? expected - used + 1 : Chunk;
        content.bytes.resize(used + want);
        DWORD read = 0;
        const BOOL ok = ::ReadFile(file.Get(), content.bytes.data() + used, static_cast<DWORD>(want), &read, nullptr);
        content.bytes.resize(used + (ok ? read : 0));
        if (!ok) {
            content.readError = static_cast<int>(::GetLastError());
            break;
        }
        if (read == 0) break;
    }
    return content;
}

void Win32FileSystem::WriteAll(const std::string& path, std::string_view content) {
    // A read-only settings file is one the user wants left alone. Replacing it
    // would not honour that everywhere (an administrator's rename ignores the
    // flag), so refuse as writing it in place would.
    const DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw EInOutError(ERROR_ACCESS_DENIED);
    }
    // Opening the file itself for writing first keeps the errors of writing in
    // place (a locked file is "in use"), although the new content goes
    // through a temporary file.
    {
        UniqueHandle target(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target) ThrowLastError();
    }
    TemporaryFile temporary(path + ".tmp");
    {
        UniqueHandle file(::CreateFileA(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            // A folder where the user may create no file (the program's own
            // folder, where a writable settings file was put) still lets the
            // file itself be written, as the opening above showed. Other
            // failures (a full disk among them) keep the old file whole.
            // Whatever stands at the temporary name is not ours to remove.
            const DWORD createError = ::GetLastError();
            temporary.Release();
            if (createError != ERROR_ACCESS_DENIED) throw EInOutError(static_cast<int>(createError));
            WriteInPlace(path, content);
            return;
        }
        WriteEverything(file.Get(), content);
        if (!::FlushFileBuffers(file.Get())) ThrowLastError();
        if (!file.Close()) ThrowLastError();
    }
    if (::MoveFileExA(temporary.Path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        temporary.Release();
        return;
    }
    const DWORD moveError = ::GetLastError();
    if (moveError != ERROR_ACCESS_DENIED && moveError != ERROR_SHARING_VIOLATION) throw EInOutError(static_cast<int>(moveError));
    // Another program keeps the file open and lets others write it (a viewer,
    // a backup): such a file cannot be replaced, but it can be written in
    // place. The temporary file goes first, so the room it took is there for
    // the new content.
    temporary.Remove();
    WriteInPlace(path, content);
}

}  // namespace quilldeck

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quilldeck {

// What a file read yielded: the bytes read and, when reading stopped on an
// error, that error's code (0 when the whole file was read).
struct FileContent {
    std::string bytes;
    int readError = 0;
};

// The file-system operations the settings file needs. Paths are 8-bit
// Windows paths in the system code page.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Empty when the variable is missing or empty.
    virtual std::string EnvironmentValue(const std::string& name) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    // Creates one level; the parent must exist.
    virtual bool MakeFolder(const std::string& path) = 0;
    // The short form of the program's own folder with its trailing backslash;
    // empty when it cannot be had.
    virtual std::string ProgramFolderShortPath() const = 0;
    // True only for a file: a folder of that name does not count.
    virtual bool FileExists(const std::string& path) const = 0;
    // Creates (or truncates) an empty file; false when it cannot be created.
    // A failure of the close that follows throws EInOutError.
    virtual bool MakeEmptyFile(const std::string& path) = 0;
    // Reads the whole file while others may read but not write it; nothing
    // when it cannot be opened.
    virtual std::optional<FileContent> ReadAll(const std::string& path) = 0;
    // Replaces the file's content in one step, so that a failure leaves the
    // previous content whole; throws EInOutError.
    virtual void WriteAll(const std::string& path, std::string_view content) = 0;
};

}  // namespace quilldeck

#pragma once

#include <stdexcept>
#include <string>

#include "CodePage.h"
#include "FileSystem.h"
#include "SlotTable.h"

namespace quilldeck {

inline constexpr std::string_view SettingsFolderName = "Kestrovar";
inline constexpr std::string_view SettingsFileName = "Quilldeck.ini";

// The settings file exists but cannot be opened, or cannot be created: the
// program cannot start.
class SettingsUnavailable : public std::runtime_error {
public:
    enum class Reason { CannotCreate, CannotOpen };

    SettingsUnavailable(Reason reason, const std::string& path);

    Reason Why() const noexcept { return reason_; }
    const std::string& Path() const noexcept { return path_; }

private:
    Reason reason_;
    std::string path_;
};

// Where the slots and the start-minimised flag live between runs.
class SettingsFile {
public:
    SettingsFile(FileSystem& files, const CodePage& codePage);

    // Locates the file (creating folder and file when missing) and reads it.
    // Throws SettingsUnavailable when it can be neither created nor opened.
    // A read that fails part-way fills the table from the whole lines read,
    // leaves the rest at the defaults and then throws EInOutError.
    void Load(SlotTable& table, bool& startMinimize);
    // Rewrites the whole file; throws EInOutError and leaves the previous
    // content in place when that fails.
    void Save(const SlotTable& table, bool startMinimize);

    const std::string& SettingsPath() const noexcept { return path_; }

private:
    std::string Locate();

    FileSystem& files_;
    const CodePage& codePage_;
    std::string path_;
};

}  // namespace quilldeck

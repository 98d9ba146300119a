#include "SettingsFile.h"

#include "InOutError.h"
#include "SettingsCodec.h"

namespace quilldeck {
namespace {

std::string ReasonText(SettingsUnavailable::Reason reason) {
    return reason == SettingsUnavailable::Reason::CannotCreate ? "Can not create "
                                                               : "Can not open ";
}

}  // namespace

SettingsUnavailable::SettingsUnavailable(Reason reason, const std::string& path)
    : std::runtime_error(ReasonText(reason) + path), reason_(reason), path_(path) {}

SettingsFile::SettingsFile(FileSystem& files, const CodePage& codePage)
    : files_(files), codePage_(codePage) {}

std::string SettingsFile::Locate() {
    // Without APPDATA this is "\Kestrovar" in the root of the current drive.
    const std::string folder = files_.EnvironmentValue("APPDATA") + "\\" + std::string(SettingsFolderName);
    if (files_.FolderExists(folder) || files_.MakeFolder(folder)) {
        return folder + "\\" + std::string(SettingsFileName);
    }
    return files_.ProgramFolderShortPath() + std::string(SettingsFileName);
}

void SettingsFile::Load(SlotTable& table, bool& startMinimize) {
    path_ = Locate();
    if (!files_.FileExists(path_) && !files_.MakeEmptyFile(path_)) {
        throw SettingsUnavailable(SettingsUnavailable::Reason::CannotCreate, path_);
    }
    const std::optional<FileContent> content = files_.ReadAll(path_);
    if (!content) throw SettingsUnavailable(SettingsUnavailable::Reason::CannotOpen, path_);
    if (content->readError == 0) {
        startMinimize = DecodeSettings(content->bytes, table, codePage_);
        return;
    }
    // A line that the failure cut short is no field: a shortcut cut from
    // "Ctrl+Alt+G" to "Ctrl+A" would bind another key. What was read up to
    // the last line break fills the table, the rest keeps its defaults.
    const std::string_view bytes = content->bytes;
    startMinimize = DecodeSettings(bytes.substr(0, bytes.rfind('\n') + 1), table, codePage_);
    throw EInOutError(content->readError);
}

void SettingsFile::Save(const SlotTable& table, bool startMinimize) {
    files_.WriteAll(path_, EncodeSettings(table, startMinimize, codePage_));
}

}  // namespace quilldeck

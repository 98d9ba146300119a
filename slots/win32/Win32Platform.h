#pragma once

#include "../CodePage.h"
#include "../FileSystem.h"
#include "../ShortcutText.h"

namespace quilldeck {

// The code page that GetACP reports, converted without flags.
class Win32CodePage final : public CodePage {
public:
    std::u16string ToUtf16(std::string_view text) const override;
    std::string FromUtf16(std::u16string_view text) const override;
    bool IsLeadByte(unsigned char byte) const override;
};

// Key names from the active keyboard layout; case folding in the user's locale.
class Win32KeyNames final : public KeyNames {
public:
    std::string LayoutName(std::uint8_t virtualKey) const override;
    bool EqualIgnoringCase(std::string_view a, std::string_view b) const override;
};

class Win32FileSystem final : public FileSystem {
public:
    std::string EnvironmentValue(const std::string& name) const override;
    bool FolderExists(const std::string& path) const override;
    bool MakeFolder(const std::string& path) override;
    std::string ProgramFolderShortPath() const override;
    bool FileExists(const std::string& path) const override;
    bool MakeEmptyFile(const std::string& path) override;
    std::optional<FileContent> ReadAll(const std::string& path) override;
    void WriteAll(const std::string& path, std::string_view content) override;
};

}  // namespace quilldeck

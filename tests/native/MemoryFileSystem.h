#pragma once

#include <map>
#include <set>
#include <string>

#include "slots/FileSystem.h"
#include "slots/InOutError.h"

namespace quilldeck::testing {

// Files and folders in memory, with the failures the settings code must meet.
class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> environment;
    std::set<std::string> folders;
    std::map<std::string, std::string> files;
    std::string programFolderShortPath = "C:\\PROGRA~1\\QUILLD~1\\";

    std::set<std::string> uncreatableFolders;
    std::set<std::string> uncreatableFiles;
    std::set<std::string> unopenableFiles;
    std::map<std::string, FileContent> failingReads;  // what a read gets before it fails
    int writeError = 0;
    int emptyFilesMade = 0;

    std::string EnvironmentValue(const std::string& name) const override {
        const auto found = environment.find(name);
        return found == environment.end() ? std::string() : found->second;
    }
    bool FolderExists(const std::string& path) const override { return folders.count(path) != 0; }
    bool MakeFolder(const std::string& path) override {
        if (uncreatableFolders.count(path) != 0) return false;
        folders.insert(path);
        return true;
    }
    std::string ProgramFolderShortPath() const override { return programFolderShortPath; }
    bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
    bool MakeEmptyFile(const std::string& path) override {
        if (uncreatableFiles.count(path) != 0) return false;
        files[path].clear();
        ++emptyFilesMade;
        return true;
    }
    std::optional<FileContent> ReadAll(const std::string& path) override {
        if (unopenableFiles.count(path) != 0 || files.count(path) == 0) return std::nullopt;
        const auto failing = failingReads.find(path);
        if (failing != failingReads.end()) return failing->second;
        return FileContent{files.at(path), 0};
    }
    void WriteAll(const std::string& path, std::string_view content) override {
        if (writeError != 0) throw EInOutError(writeError);
        files[path] = std::string(content);
    }
};

}  // namespace quilldeck::testing

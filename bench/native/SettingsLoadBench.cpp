// The settings load of the portable code, natively, with Google Benchmark:
// a file of twenty 64 KiB texts through SettingsFile::Load, beside reading
// the same file into memory.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "slots/CodePage.h"
#include "slots/FileSystem.h"
#include "slots/SettingsCodec.h"
#include "slots/SettingsFile.h"
#include "slots/ShortcutText.h"
#include "slots/SlotTable.h"

namespace quilldeck {
namespace {

std::string ReadWhole(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    std::fseek(file, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::fseek(file, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// Real files under a folder that stands in for APPDATA; '\' becomes '/'.
class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(std::string appData) : appData_(std::move(appData)) {}
    std::string EnvironmentValue(const std::string&) const override { return appData_; }
    bool FolderExists(const std::string& path) const override {
        struct stat info{};
        return ::stat(Unix(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    bool MakeFolder(const std::string& path) override { return ::mkdir(Unix(path).c_str(), 0755) == 0; }
    std::string ProgramFolderShortPath() const override { return {}; }
    bool FileExists(const std::string& path) const override {
        struct stat info{};
        return ::stat(Unix(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }
    bool MakeEmptyFile(const std::string& path) override {
        std::FILE* file = std::fopen(Unix(path).c_str(), "wb");
        return file != nullptr && std::fclose(file) == 0;
    }
    std::optional<FileContent> ReadAll(const std::string& path) override {
        if (!FileExists(path)) return std::nullopt;
        return FileContent{ReadWhole(Unix(path)), 0};
    }
    void WriteAll(const std::string& path, std::string_view content) override {
        std::FILE* file = std::fopen(Unix(path).c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }

private:
    static std::string Unix(std::string path) {
        for (char& c : path) c = c == '\\' ? '/' : c;
        return path;
    }
    std::string appData_;
};

class NoKeyNames final : public KeyNames {
public:
    std::string LayoutName(std::uint8_t) const override { return {}; }
    bool EqualIgnoringCase(std::string_view a, std::string_view b) const override { return a == b; }
};

struct Fixture {
    Fixture() {
        char folder[] = "/tmp/quilldeck-bench-XXXXXX";
        appData = ::mkdtemp(folder);
        PosixFileSystem files(appData);
        SettingsFile settings(files, codePage);
        SlotTable table(codePage, keyNames);
        bool startMinimize = false;
        settings.Load(table, startMinimize);
        std::string text;
        while (text.size() < 65536) text += "Dear Ms M\xFCller, thank you for the caf\xE9 order of 12 \x80 each.\r\n";
        text.resize(65536);
        for (int row = 0; row < SlotCount; ++row) table.Store(row, {true, "Slot", "Ctrl+Alt+A"}, codePage.ToUtf16(text));
        settings.Save(table, startMinimize);
        path = appData + "/Kestrovar/Quilldeck.ini";
    }
    ~Fixture() {
        std::remove(path.c_str());
        ::rmdir((appData + "/Kestrovar").c_str());
        ::rmdir(appData.c_str());
    }
    Windows1252CodePage codePage;
    NoKeyNames keyNames;
    std::string appData;
    std::string path;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void SettingsLoad(benchmark::State& state) {
    Fixture& fixture = Shared();
    PosixFileSystem files(fixture.appData);
    for (auto _ : state) {
        SlotTable table(fixture.codePage, fixture.keyNames);
        SettingsFile settings(files, fixture.codePage);
        bool startMinimize = false;
        settings.Load(table, startMinimize);
        benchmark::DoNotOptimize(table.Text(19).data());
    }
}
BENCHMARK(SettingsLoad)->Unit(benchmark::kMillisecond);

void SettingsReadFloor(benchmark::State& state) {
    Fixture& fixture = Shared();
    for (auto _ : state) {
        std::string bytes = ReadWhole(fixture.path);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(SettingsReadFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilldeck

BENCHMARK_MAIN();

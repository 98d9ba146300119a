// Saves a changing table through the program's own settings file, over and
// over, until it is killed. The test that kills it reads what it printed:
// "saving N" before a save of generation N starts and "saved N" once the
// save has returned.
#include <windows.h>

#include <cstdio>
#include <exception>

#include "SaveGenerations.h"
#include "slots/SettingsFile.h"
#include "slots/win32/Win32Platform.h"

using namespace quilldeck;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quilldeck_save_loop <APPDATA folder>\n");
        return 2;
    }
    try {
        ::SetEnvironmentVariableA("APPDATA", argv[1]);
        Win32FileSystem files;
        Win32CodePage codePage;
        Win32KeyNames keyNames;
        SlotTable table(codePage, keyNames);
        SettingsFile settings(files, codePage);
        bool startMinimize = false;
        settings.Load(table, startMinimize);
        long generation = testing::GenerationOf(table);
        std::printf("pid %lu\nfrom %ld\n", ::GetCurrentProcessId(), generation);
        std::fflush(stdout);
        for (;;) {
            ++generation;
            testing::FillGeneration(table, generation);
            std::printf("saving %ld\n", generation);
            std::fflush(stdout);
            settings.Save(table, generation % 2 == 0);
            std::printf("saved %ld\n", generation);
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        return 1;
    }
}

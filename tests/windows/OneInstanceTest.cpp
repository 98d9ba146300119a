#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "slots/win32/Win32Platform.h"
#include "tray/InstanceName.h"
#include "tray/OneInstance.h"
#include "win/ProgramFile.h"

namespace quilldeck {
namespace {

// A name no other test or run uses.
std::string UniqueName(const char* what) {
    static int serial = 0;
    return std::string("QuilldeckGuardTest-") + what + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++serial);
}

bool MutexExists(const std::string& name) {
    const win::UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    return mutex.Valid();
}

TEST(AppProcessTest, TheFirstHolderFindsNoOtherCopyAndEveryLaterOneDoesUntilAllHaveGone) {
    const std::string name = UniqueName("mutex");
    std::optional<TAppProcess> first(std::in_place, name);
    EXPECT_FALSE(first->OtherCopyDetected());
    ASSERT_NE(first->Mutex(), nullptr);
    // Created, not owned: another thread can take it at once.
    std::thread([&] {
        const win::UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
        EXPECT_EQ(::WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0);
        ::ReleaseMutex(mutex.Get());
    }).join();
    {
        const TAppProcess second(name);
        EXPECT_TRUE(second.OtherCopyDetected());
        EXPECT_NE(second.Mutex(), nullptr);
        // The second holder's handle keeps the name taken after the first goes.
        first.reset();
        EXPECT_TRUE(MutexExists(name));
        EXPECT_TRUE(TAppProcess(name).OtherCopyDetected());
    }
    EXPECT_FALSE(MutexExists(name));
    EXPECT_FALSE(TAppProcess(name).OtherCopyDetected());
}

TEST(AppProcessTest, ANameHeldByAnObjectOfAnotherKindCountsAsTheOnlyCopy) {
    const std::string name = UniqueName("event");
    const win::UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(event.Valid());
    const TAppProcess process(name);
    EXPECT_EQ(process.Mutex(), nullptr);
    EXPECT_FALSE(process.OtherCopyDetected());
}

TEST(AppProcessTest, TheDefaultMutexIsNamedAfterTheProgramFileInCapitals) {
    const std::string path = win::ProgramFilePath();
    EXPECT_TRUE(path.ends_with("\\quilldeck_windows_tests.exe")) << path;
    EXPECT_EQ(InstanceMutexName(path, Win32CodePage()), "QUILLDECK_WINDOWS_TESTS.EXE");
    const TAppProcess process;
    ASSERT_NE(process.Mutex(), nullptr);
    EXPECT_TRUE(MutexExists("QUILLDECK_WINDOWS_TESTS.EXE"));
    // Names of kernel objects are compared with their case: the capitals are
    // what makes every spelling of the file name meet.
    EXPECT_FALSE(MutexExists("quilldeck_windows_tests.exe"));
}

struct GuardCase {
    bool otherCopy;
    bool enabled;
    bool withHandler;
    bool acts;
};

TEST(OneInstanceTest, RaisesOnCustomOnlyWhenEnabledAndAnotherCopyRuns) {
    const GuardCase cases[] = {
        {true, true, true, true},
        {false, true, true, false},
        {true, false, true, false},
        {true, true, false, false},
    };
    for (const GuardCase& c : cases) {
        const std::string name = UniqueName("guard");
        const TAppProcess first(name);
        const std::optional<TAppProcess> second =
            c.otherCopy ? std::optional<TAppProcess>(std::in_place, name) : std::nullopt;
        TOneInstance guard(c.otherCopy ? *second : first);
        EXPECT_TRUE(guard.Enabled);
        EXPECT_EQ(guard.Mode, TOneInstanceMode::oiCustom);
        guard.Enabled = c.enabled;
        int raised = 0;
        if (c.withHandler) guard.OnCustom = [&] { ++raised; };
        EXPECT_EQ(guard.Loaded(), c.acts);
        EXPECT_EQ(raised, c.acts && c.withHandler ? 1 : 0)
            << "other copy " << c.otherCopy << ", enabled " << c.enabled << ", handler " << c.withHandler;
    }
}

}  // namespace
}  // namespace quilldeck

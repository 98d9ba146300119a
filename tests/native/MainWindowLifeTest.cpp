#include "app/MainWindowLife.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace quilldeck {
namespace {

using Stage = MainWindowLife::Stage;
using Event = MainWindowLife::Event;

struct Journey {
    std::string name;
    std::vector<Event> events;
    // What each event did: taken (true) or not in the table (false).
    std::vector<bool> taken;
    Stage end;
    bool minimized;
    bool inTray;
};

class LifeJourneyTest : public ::testing::TestWithParam<Journey> {};

TEST_P(LifeJourneyTest, EachEventMovesByTheTableAndNothingElseChangesTheStage) {
    const Journey& journey = GetParam();
    MainWindowLife life;
    ASSERT_EQ(journey.events.size(), journey.taken.size());
    for (std::size_t i = 0; i < journey.events.size(); ++i) {
        EXPECT_EQ(life.Take(journey.events[i]), journey.taken[i]) << "event " << i;
    }
    EXPECT_EQ(life.Current(), journey.end);
    EXPECT_EQ(life.Minimized(), journey.minimized);
    EXPECT_EQ(life.InTray(), journey.inTray);
    EXPECT_EQ(life.CloseProceeds(), journey.inTray);
}

INSTANTIATE_TEST_SUITE_P(
    Journeys, LifeJourneyTest,
    ::testing::Values(
        Journey{"NothingBeforeTheGuard",
                {Event::FirstActivation, Event::Minimize, Event::Restore, Event::IconPlaced},
                {false, false, false, false},
                Stage::Loading,
                false,
                false},
        Journey{"NormalStart", {Event::GuardPassed, Event::FirstActivation}, {true, true}, Stage::Shown, false, false},
        Journey{"LaterActivationsChangeNothing",
                {Event::GuardPassed, Event::FirstActivation, Event::FirstActivation},
                {true, true, false},
                Stage::Shown,
                false,
                false},
        Journey{"MinimiseIntoTheTray",
                {Event::GuardPassed, Event::FirstActivation, Event::Minimize, Event::IconPlaced},
                {true, true, true, true},
                Stage::InTray,
                true,
                true},
        Journey{"MinimisingTwiceDoesNothingTheSecondTime",
                {Event::GuardPassed, Event::FirstActivation, Event::Minimize, Event::IconPlaced, Event::Minimize},
                {true, true, true, true, false},
                Stage::InTray,
                true,
                true},
        Journey{"AFailedSaveLeavesItMinimisedOutsideTheTray",
                {Event::GuardPassed, Event::FirstActivation, Event::Minimize, Event::Minimize},
                {true, true, true, false},
                Stage::Minimized,
                true,
                false},
        Journey{"RestoredFromTheTaskbarAfterAFailedSave",
                {Event::GuardPassed, Event::FirstActivation, Event::Minimize, Event::Restore},
                {true, true, true, true},
                Stage::Shown,
                false,
                false},
        Journey{"RestoredFromTheTray",
                {Event::GuardPassed, Event::FirstActivation, Event::Minimize, Event::IconPlaced, Event::Restore,
                 Event::Restore},
                {true, true, true, true, true, false},
                Stage::Shown,
                false,
                false},
        Journey{"AMinimisedLaunchGoesToTheTrayUnseen",
                {Event::GuardPassed, Event::Minimize, Event::IconPlaced},
                {true, true, true},
                Stage::HiddenInTray,
                true,
                true},
        Journey{"BackFromAMinimisedLaunchTheFirstActivationIsStillToCome",
                {Event::GuardPassed, Event::Minimize, Event::IconPlaced, Event::Restore},
                {true, true, true, true},
                Stage::Unveiled,
                false,
                false},
        Journey{"ThenItsFirstActivationShowsIt",
                {Event::GuardPassed, Event::Minimize, Event::IconPlaced, Event::Restore, Event::FirstActivation},
                {true, true, true, true, true},
                Stage::Shown,
                false,
                false}),
    [](const ::testing::TestParamInfo<Journey>& info) { return info.param.name; });

TEST(LifeExitTest, ExitHoldsInEveryStageAndLetsEveryCloseProceed) {
    MainWindowLife life;
    life.Take(Event::GuardPassed);
    life.Take(Event::FirstActivation);
    EXPECT_FALSE(life.CloseProceeds());
    life.ChooseExit();
    // A failed save leaves the program where it was, Exit still chosen.
    for (const Event event : {Event::Minimize, Event::IconPlaced, Event::Restore}) {
        life.Take(event);
        EXPECT_TRUE(life.ExitRequested());
        EXPECT_TRUE(life.CloseProceeds());
    }
}

TEST(LifeRecordTest, TheApplicationsMinimiseAndRestoreGoThroughTheTable) {
    MainWindowLife life;
    win::MinimizedRecord& record = life;
    EXPECT_FALSE(record.StartMinimize()) << "nothing minimises while loading";
    life.Take(Event::GuardPassed);
    life.Take(Event::FirstActivation);
    EXPECT_FALSE(record.StartRestore());
    EXPECT_TRUE(record.StartMinimize());
    EXPECT_TRUE(record.Minimized());
    EXPECT_FALSE(record.StartMinimize());
    EXPECT_TRUE(record.StartRestore());
    EXPECT_FALSE(record.Minimized());
}

}  // namespace
}  // namespace quilldeck

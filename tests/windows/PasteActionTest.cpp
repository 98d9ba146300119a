// The paste's order of work, in this process with a recording keyboard and
// clipboard: the text goes on the clipboard first, the held modifiers are read
// after it, and the keys come last; a refused clipboard sends nothing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "RecordingInput.h"
#include "hotkeys/PasteAction.h"
#include "slots/CodePage.h"

namespace quilldeck {
namespace {

using namespace testing;

class PasteActionTest : public ::testing::Test {
protected:
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    const Windows1252CodePage codePage;
    InputLog log;
    RecordingKeyboard keyboard{log};
    RecordingClipboard clipboard{log};
    PasteAction paste{codePage, keyboard, clipboard, owner};
};

TEST_F(PasteActionTest, TheClipboardIsFilledFirstThenTheHeldKeysAreReadThenTheKeysAreSent) {
    paste.Paste(u"Hello\r\nWorld");
    const InputLog expected = {ClipboardFilled{u"Hello\r\nWorld", owner}, HeldKeysRead{},
                               KeysSent{PasteKeystrokes(HeldModifiers{})}};
    EXPECT_EQ(log, expected);
}

TEST_F(PasteActionTest, NothingIsSentWhenTheClipboardRefuses) {
    clipboard.refuse = true;
    EXPECT_THROW(paste.Paste(u"text"), std::runtime_error);
    EXPECT_TRUE(log.empty()) << log.size() << " calls";
}

TEST_F(PasteActionTest, HeldModifiersAreLetGoAndRestoredAsThePasteKeystrokesSay) {
    const HeldModifiers helds[] = {
        {.leftControl = true, .leftAlt = true},
        {.rightShift = true, .rightControl = true},
        {.leftShift = true, .rightAlt = true, .leftWin = true},
    };
    for (const HeldModifiers& held : helds) {
        log.clear();
        keyboard.held = held;
        paste.Paste(u"x");
        ASSERT_EQ(log.size(), 3u);
        EXPECT_EQ(log.back(), InputEvent(KeysSent{PasteKeystrokes(held)}));
    }
}

TEST_F(PasteActionTest, AClickOnACarrierPastesItsHintUpToTheFirstZeroByteAndAnEmptyHintNothing) {
    win::MenuItem carrier;
    paste.F1Click(carrier);
    EXPECT_TRUE(log.empty());

    carrier.hint = std::string("caf\xE9\0after", 10);
    paste.F1Click(carrier);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), InputEvent(ClipboardFilled{u"caf\u00E9", owner}));
}

}  // namespace
}  // namespace quilldeck

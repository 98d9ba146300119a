#include <windows.h>
#include <commctrl.h>

#include "DesktopFixture.h"
#include "ui/HotKey.h"
#include "win/Window.h"

namespace quilldeck {
namespace {

using namespace testing;

// A window holding one key-capture field.
class FieldWindow : public win::Window {
public:
    FieldWindow() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_HOTKEY_CLASS};
        ::InitCommonControlsEx(&controls);
        Create("QuilldeckHotKeyFieldTest", 0, WS_POPUP | WS_VISIBLE, "Field", 200, 200, 200, 40, nullptr, nullptr);
        field = ::CreateWindowExA(0, HOTKEY_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 4, 4, 190, 24, Handle(),
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    HWND field = nullptr;
};

WORD ControlWord(HWND field) { return static_cast<WORD>(::SendMessageA(field, HKM_GETHOTKEY, 0, 0)); }

TEST(HotKeyFieldTest, AValueSetReadsBackUnchangedAndReachesTheControl) {
    FieldWindow window;
    THotKey Inp_2(window.field);
    const struct {
        TShortCut value;
        WORD word;
    } cases[] = {
        {0, 0},
        {0x0041, MAKEWORD('A', 0)},
        {0x4047, MAKEWORD('G', HOTKEYF_CONTROL)},
        {0xC047, MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {0x6041, MAKEWORD('A', HOTKEYF_SHIFT | HOTKEYF_CONTROL)},
        {0xE070, MAKEWORD(VK_F1, HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {0x8087, MAKEWORD(VK_F24, HOTKEYF_ALT)},
        {0x0076, MAKEWORD(VK_F7, 0)},
    };
    for (const auto& c : cases) {
        Inp_2.SetHotKey(c.value);
        EXPECT_EQ(ControlWord(window.field), c.word) << std::hex << c.value;
        EXPECT_EQ(Inp_2.HotKey(), c.value) << std::hex << c.value;
    }
    // The extended-key flag the control may report does not enter the value.
    ::SendMessageA(window.field, HKM_SETHOTKEY, MAKEWORD(VK_DELETE, HOTKEYF_CONTROL | HOTKEYF_EXT), 0);
    EXPECT_EQ(Inp_2.HotKey(), 0x402E);
    EXPECT_EQ(Inp_2.Modifiers(), hkCtrl | hkExt);
}

// The rules reach the control when the wrapper is made (a bare key becomes
// Alt+key) and again when they change; setting a value leaves them alone.
TEST(HotKeyFieldTest, TheRulesDecideWhatTypedKeysBecome) {
    FieldWindow window;
    THotKey Inp_2(window.field);
    EXPECT_EQ(Inp_2.InvalidKeys(), hcNone | hcShift);
    EXPECT_EQ(Inp_2.Modifiers(), hkAlt);
    EXPECT_EQ(ControlWord(window.field), MAKEWORD('A', HOTKEYF_ALT));
    const InputDriver input;
    const auto typed = [&](const std::string& keys) {
        input.FocusForKeyboard(window.Handle());
        ::SetFocus(window.field);
        ::SendMessageA(window.field, HKM_SETHOTKEY, 0, 0);
        input.Key(keys);
        PumpUntil([&] { return ControlWord(window.field) != 0; }, std::chrono::seconds(5));
        return Inp_2.HotKey();
    };
    EXPECT_EQ(typed("b"), 0x8042);
    EXPECT_EQ(typed("shift+b"), 0x8042);
    EXPECT_EQ(typed("ctrl+b"), 0x4042);

    Inp_2.SetModifiers(0);
    EXPECT_EQ(typed("b"), 0x0042);
    EXPECT_EQ(typed("shift+b"), 0x0042);
    EXPECT_EQ(typed("ctrl+shift+b"), 0x6042);
    // Setting a value keeps the rules: a bare key stays bare.
    Inp_2.SetHotKey(0xC047);
    EXPECT_EQ(typed("b"), 0x0042);

    Inp_2.SetInvalidKeys(hcNone);
    Inp_2.SetModifiers(hkCtrl);
    EXPECT_EQ(typed("shift+b"), 0x2042);
    EXPECT_EQ(typed("b"), 0x4042);
}

}  // namespace
}  // namespace quilldeck

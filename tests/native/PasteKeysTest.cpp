#include <gtest/gtest.h>

#include <map>
#include <set>

#include "hotkeys/PasteKeys.h"

namespace quilldeck {
namespace {

const std::set<std::uint8_t> MenuKeys = {vk::LeftAlt, vk::RightAlt, vk::LeftWin, vk::RightWin};
const std::set<std::uint8_t> ModifiersOtherThanCtrl = {vk::LeftShift, vk::RightShift, vk::LeftAlt,
                                                       vk::RightAlt,  vk::LeftWin,    vk::RightWin};

HeldModifiers FromBits(unsigned bits) {
    return HeldModifiers{(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0,  (bits & 8) != 0,
                         (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0, (bits & 128) != 0};
}

std::set<std::uint8_t> KeysDown(const HeldModifiers& held) {
    std::set<std::uint8_t> down;
    const std::pair<bool, std::uint8_t> keys[] = {
        {held.leftShift, vk::LeftShift},     {held.rightShift, vk::RightShift},
        {held.leftControl, vk::LeftControl}, {held.rightControl, vk::RightControl},
        {held.leftAlt, vk::LeftAlt},         {held.rightAlt, vk::RightAlt},
        {held.leftWin, vk::LeftWin},         {held.rightWin, vk::RightWin}};
    for (const auto& [isDown, key] : keys) {
        if (isDown) down.insert(key);
    }
    return down;
}

// Plays the strokes on a model of the keyboard's logical state, for every
// combination of held modifiers.
class PasteKeysTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(PasteKeysTest, TheTargetSeesExactlyCtrlVAndEveryKeyEndsWhereItWas) {
    const HeldModifiers held = FromBits(GetParam());
    const std::set<std::uint8_t> before = KeysDown(held);
    std::set<std::uint8_t> down = before;
    // A menu key whose release would open a menu: pressed with no other key since.
    std::map<std::uint8_t, bool> menuArmed;
    int vPresses = 0;

    for (const KeyStroke& stroke : PasteKeystrokes(held)) {
        // The generic Ctrl key stands for the left one.
        const std::uint8_t key = stroke.virtualKey == vk::Control ? vk::LeftControl : stroke.virtualKey;
        if (stroke.down) {
            if (key == vk::V) {
                ++vPresses;
                EXPECT_TRUE(down.count(vk::LeftControl) || down.count(vk::RightControl));
                for (std::uint8_t other : ModifiersOtherThanCtrl) EXPECT_EQ(down.count(other), 0u) << int(other);
            }
            if (MenuKeys.count(key)) {
                menuArmed[key] = true;
            } else {
                for (auto& [menuKey, armed] : menuArmed) armed = false;
            }
            down.insert(key);
        } else {
            EXPECT_EQ(down.count(key), 1u) << "released a key that was up: " << int(key);
            if (MenuKeys.count(key)) {
                EXPECT_FALSE(menuArmed[key]) << "release opens a menu: " << int(key);
            }
            down.erase(key);
        }
    }
    EXPECT_EQ(vPresses, 1);
    EXPECT_EQ(down, before);
    // The user's own release of a held Alt or Windows key opens no menu either.
    for (std::uint8_t key : before) {
        if (MenuKeys.count(key)) {
            EXPECT_FALSE(menuArmed[key]) << int(key);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCombination, PasteKeysTest, ::testing::Range(0u, 256u));

// The modifier bits of a shortcut for the keys that are down.
TShortCut ModifierBits(const std::set<std::uint8_t>& down) {
    TShortCut bits = 0;
    if (down.count(vk::LeftShift) || down.count(vk::RightShift)) bits |= ShiftBit;
    if (down.count(vk::LeftControl) || down.count(vk::RightControl)) bits |= CtrlBit;
    if (down.count(vk::LeftAlt) || down.count(vk::RightAlt)) bits |= AltBit;
    return bits;
}

std::uint8_t Generic(std::uint8_t key) {
    switch (key) {
        case vk::LeftShift: case vk::RightShift: return vk::Shift;
        case vk::LeftControl: case vk::RightControl: return vk::Control;
        case vk::LeftAlt: case vk::RightAlt: return vk::Alt;
        default: return key;
    }
}

class PasteOwnKeysTest : public ::testing::TestWithParam<unsigned> {};

// Whatever the user holds, no key the paste presses can form a shortcut that
// would be bound: counted with the modifiers as they were before the key and
// as they are after it, by the key's side and by its generic code.
TEST_P(PasteOwnKeysTest, NoKeyThePastePressesFormsAShortcutThatIsBound) {
    const HeldModifiers held = FromBits(GetParam());
    std::set<std::uint8_t> down = KeysDown(held);
    for (const KeyStroke& stroke : PasteKeystrokes(held)) {
        const std::uint8_t key = stroke.virtualKey == vk::Control ? vk::LeftControl : stroke.virtualKey;
        if (!stroke.down) {
            down.erase(key);
            continue;
        }
        const TShortCut before = ModifierBits(down);
        down.insert(key);
        const TShortCut after = ModifierBits(down);
        for (const TShortCut modifiers : {before, after}) {
            for (const std::uint8_t code : {stroke.virtualKey, key, Generic(key)}) {
                EXPECT_TRUE(PastePresses(static_cast<TShortCut>(modifiers | code)))
                    << std::hex << (modifiers | code);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCombination, PasteOwnKeysTest, ::testing::Range(0u, 256u));

TEST(PastePressesTest, OtherShortcutsWithVOrCtrlAreLeftToTheUser) {
    for (const TShortCut shortcut : {TShortCut{'V'}, TShortCut(ShiftBit | 'V'), TShortCut(AltBit | 'V'),
                                     TShortCut(ShiftBit | CtrlBit | 'V'), TShortCut(CtrlBit | AltBit | 'V'),
                                     TShortCut(CtrlBit | 'C'), TShortCut(CtrlBit | AltBit | 'G'), TShortCut{0x70}}) {
        EXPECT_FALSE(PastePresses(shortcut)) << std::hex << shortcut;
    }
}

TEST(PasteKeysSequenceTest, WithNothingHeldItIsAPlainCtrlV) {
    const std::vector<KeyStroke> expected = {
        {vk::Control, true}, {vk::V, true}, {vk::V, false}, {vk::Control, false}};
    EXPECT_EQ(PasteKeystrokes({}), expected);
}

TEST(PasteKeysSequenceTest, ACtrlAltHotKeyStillHeldReleasesAltAroundTheMaskedCtrlV) {
    HeldModifiers held;
    held.leftControl = true;
    held.leftAlt = true;
    const std::vector<KeyStroke> expected = {
        {vk::Mask, true},        {vk::Mask, false}, {vk::LeftAlt, false},
        {vk::LeftControl, true}, {vk::V, true},     {vk::V, false},
        {vk::LeftAlt, true},     {vk::Mask, true},  {vk::Mask, false}};
    EXPECT_EQ(PasteKeystrokes(held), expected);
}

TEST(PasteKeysSequenceTest, AShiftHotKeyNeedsNoMask) {
    HeldModifiers held;
    held.rightShift = true;
    held.rightControl = true;
    const std::vector<KeyStroke> expected = {{vk::RightShift, false}, {vk::RightControl, true},
                                             {vk::V, true},           {vk::V, false},
                                             {vk::RightShift, true}};
    EXPECT_EQ(PasteKeystrokes(held), expected);
}

}  // namespace
}  // namespace quilldeck

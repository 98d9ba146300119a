#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>

#include "slots/SettingsCodec.h"

namespace quilldeck {
namespace {

const Windows1252CodePage CodePage1252;
const FixedKeyNames KeyNames1252;

// One record as the writer lays it out, lines joined with CR LF.
std::string Record(const char* active, const char* description, const char* shortcut,
                   const std::string& textLines = "") {
    std::string record = std::string(active) + "\r\n" + description + "\r\n" + shortcut + "\r\n[memo]\r\n";
    if (!textLines.empty()) record += textLines + "\r\n";
    return record + "[/memo]\r\n\r\n";
}

std::string DefaultRecords(int count) {
    std::string records;
    for (int i = 0; i < count; ++i) records += Record("0", "<Not Define>", "None");
    return records;
}

struct Expected {
    bool startMinimize = false;
    // Slots that differ from the defaults, by index.
    std::map<int, std::pair<Slot, std::u16string>> slots;
};

struct ReadCase {
    const char* name;
    std::string data;
    Expected expected;
};

class ReadSettingsTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadSettingsTest, FillsTheTableAsTheLinesSay) {
    SlotTable table(CodePage1252, KeyNames1252);
    table.Store(19, {true, "left over", "Ctrl+Z"}, u"from before");
    const Expected& expected = GetParam().expected;

    EXPECT_EQ(DecodeSettings(GetParam().data, table, CodePage1252), expected.startMinimize);
    for (int i = 0; i < SlotCount; ++i) {
        const auto found = expected.slots.find(i);
        const Slot slot = found == expected.slots.end() ? Slot{} : found->second.first;
        const std::u16string text = found == expected.slots.end() ? u"" : found->second.second;
        EXPECT_EQ(table.At(i), slot) << "slot " << i + 1;
        EXPECT_EQ(table.Text(i), text) << "slot " << i + 1;
    }
}

const Slot Greeting{true, "Greeting", "Ctrl+Alt+G"};

INSTANTIATE_TEST_SUITE_P(
    Files, ReadSettingsTest,
    ::testing::Values(
        ReadCase{"EmptyFile", "", {}},
        ReadCase{"HeaderOnly", "#\r\n", {true, {}}},
        ReadCase{"HeaderWithoutLineEnd", "#", {true, {}}},
        ReadCase{"HeaderSpace", " \r\n", {false, {}}},
        ReadCase{"HeaderIsExact", "# \r\n", {false, {}}},
        ReadCase{"ThreeRecords",
                 " \r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "Hello,\r\nWorld") +
                     Record("0", "Two", "None") + Record("1", "<Not Define>", "F5", "x"),
                 {false,
                  {{0, {Greeting, u"Hello,\r\nWorld"}},
                   {1, {{false, "Two", "None"}, u""}},
                   {2, {{true, "<Not Define>", "F5"}, u"x"}}}}},
        ReadCase{"MoreThanTwentyRecords",
                 "#\r\n" + DefaultRecords(19) + Record("1", "Twenty", "F20", "t") +
                     Record("1", "Surplus", "F21", "s"),
                 {true, {{19, {{true, "Twenty", "F20"}, u"t"}}}}},
        ReadCase{"LoneLineFeeds", "#\n1\nGreeting\nCtrl+Alt+G\n[memo]\nHello,\nWorld\n[/memo]\n\n",
                 {true, {{0, {Greeting, u"Hello,\r\nWorld"}}}}},
        ReadCase{"LoneCarriageReturnsAreDropped",
                 " \r\n1\r\nGree\rting\r\nCtrl+Alt+G\r\n[memo]\r\na\rb\r\n\r[/memo]\r\n\r\n",
                 {false, {{0, {Greeting, u"ab"}}}}},
        ReadCase{"TextEndingWithLineBreak", " \r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "a\r\n"),
                 {false, {{0, {Greeting, u"a\r\n"}}}}},
        ReadCase{"TextStartingWithLineBreak", " \r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "\r\nb"),
                 {false, {{0, {Greeting, u"\r\nb"}}}}},
        ReadCase{"TextOfOneLineBreak", " \r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "\r\n"),
                 {false, {{0, {Greeting, u"\r\n"}}}}},
        ReadCase{"BlankFieldsKeepTheirBlanks", " \r\n" + Record("1", "  padded ", " Ctrl+A ", " t "),
                 {false, {{0, {{true, "  padded ", " Ctrl+A "}, u" t "}}}}},
        ReadCase{"EmptyLinesGiveDefaults", " \r\n" + Record("1", "", "", "t"),
                 {false, {{0, {{true, "<Not Define>", "None"}, u"t"}}}}},
        ReadCase{"ActiveFlagIsExact", " \r\n" + Record("1 ", "A", "None") + Record("true", "B", "None"),
                 {false, {{0, {{false, "A", "None"}, u""}}, {1, {{false, "B", "None"}, u""}}}}},
        ReadCase{"ShortcutTextIsKeptVerbatim", " \r\n" + Record("1", "A", "Hyper+Q"),
                 {false, {{0, {{true, "A", "Hyper+Q"}, u""}}}}},
        ReadCase{"EightBitText", " \r\n" + Record("1", "Caf\xE9", "None", "\x80 caf\xE9"),
                 {false, {{0, {{true, "Caf\xE9", "None"}, u"\u20AC caf\u00E9"}}}}},
        // The line after another opener is taken as the separator.
        ReadCase{"OtherBlockOpener",
                 " \r\n1\r\nA\r\nF1\r\n[MEMO]\r\nseparator\r\n1\r\nB\r\nF2\r\n[memo]\r\nb\r\n[/memo]\r\n\r\n",
                 {false, {{0, {{true, "A", "F1"}, u""}}, {1, {{true, "B", "F2"}, u"b"}}}}},
        ReadCase{"MissingBlockCloserTakesTheRestOfTheFile",
                 " \r\n1\r\nA\r\nF1\r\n[memo]\r\nline 1\r\n\r\nline 3\r\n0\r\nB",
                 {false, {{0, {{true, "A", "F1"}, u"line 1\r\n\r\nline 3\r\n0\r\nB"}}}}},
        ReadCase{"CtrlZAtTheStartOfALineEndsTheData",
                 "#\r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "Hi") + "\x1A" + Record("1", "B", "F2"),
                 {true, {{0, {Greeting, u"Hi"}}}}},
        ReadCase{"CtrlZInsideARecord", "#\r\n1\r\nGreeting\r\n\x1A" "Ctrl+Alt+G\r\n[memo]\r\nHi\r\n",
                 {true, {{0, {{true, "Greeting", "None"}, u""}}}}},
        ReadCase{"CtrlZAtTheStartOfTheFile", "\x1A#\r\n" + Record("1", "A", "F1"), {}},
        ReadCase{"CtrlZInsideALineEndsThatLine",
                 " \r\n1\r\nGree\x1Aignored\r\nCtrl+Alt+G\r\n[memo]\r\nt\x1A" "ext\r\nmore\r\n[/memo]\r\n\r\n" +
                     Record("1", "B", "F2"),
                 {false, {{0, {{true, "Gree", "Ctrl+Alt+G"}, u"t\r\nmore"}}, {1, {{true, "B", "F2"}, u""}}}}},
        ReadCase{"CtrlZEndsTheBlock", " \r\n1\r\nA\r\nF1\r\n[memo]\r\nt\r\n\x1Amore\r\n[/memo]\r\n",
                 {false, {{0, {{true, "A", "F1"}, u"t"}}}}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadSettingsLongLineTest, LinesHaveNoLengthLimit) {
    const std::string longText(100000, 'x');
    SlotTable table(CodePage1252, KeyNames1252);
    DecodeSettings(" \r\n" + Record("1", longText.c_str(), "None", longText), table, CodePage1252);
    EXPECT_EQ(table.At(0).description, longText);
    EXPECT_EQ(table.Text(0).size(), longText.size());
}

TEST(WriteSettingsTest, LaysOutTheHeaderAndTwentyRecords) {
    SlotTable table(CodePage1252, KeyNames1252);
    table.Store(0, Greeting, u"Hello,\r\nWorld");
    const std::string expected = "#\r\n" + Record("1", "Greeting", "Ctrl+Alt+G", "Hello,\r\nWorld") +
                                 DefaultRecords(19);
    EXPECT_EQ(EncodeSettings(table, true, CodePage1252), expected);
}

TEST(WriteSettingsTest, ShownHeaderIsOneSpaceAndEmptyTextsWriteNoLine) {
    SlotTable table(CodePage1252, KeyNames1252);
    const std::string data = EncodeSettings(table, false, CodePage1252);
    EXPECT_EQ(data, " \r\n" + DefaultRecords(20));
    EXPECT_TRUE(data.starts_with(" \r\n0\r\n<Not Define>\r\nNone\r\n[memo]\r\n[/memo]\r\n\r\n0\r\n"));
}

TEST(WriteSettingsTest, TextsGoThroughTheCodePage) {
    SlotTable table(CodePage1252, KeyNames1252);
    table.Store(0, {true, "Caf\xE9", "None"}, u"\u20AC \u0100 \u00E9");
    const std::string data = EncodeSettings(table, false, CodePage1252);
    EXPECT_NE(data.find("\r\nCaf\xE9\r\n"), std::string::npos);
    EXPECT_NE(data.find("[memo]\r\n\x80 ? \xE9\r\n[/memo]"), std::string::npos);
}

TEST(SettingsRoundTripTest, WhatIsWrittenReadsBackUnchanged) {
    const std::u16string texts[] = {
        u"", u"a", u"a\r\nb", u"a\r\n", u"\r\nb", u"\r\n", u"\r\n\r\n", u"  spaced  ",
        u"Caf\u00E9 \u20AC", u"line 1\r\n\r\nline 3", u"[memo]", u"#", u"tab\there",
    };
    SlotTable table(CodePage1252, KeyNames1252);
    int index = 0;
    for (const std::u16string& text : texts) {
        table.Store(index, {index % 2 == 0, "Slot " + std::to_string(index), " Ctrl+Alt+" + std::to_string(index)},
                    text);
        ++index;
    }
    table.Store(19, {true, " ", "Hyper+Q"}, u"last");

    for (bool startMinimize : {false, true}) {
        SlotTable reread(CodePage1252, KeyNames1252);
        EXPECT_EQ(DecodeSettings(EncodeSettings(table, startMinimize, CodePage1252), reread, CodePage1252),
                  startMinimize);
        for (int i = 0; i < SlotCount; ++i) {
            EXPECT_EQ(reread.At(i), table.At(i)) << "slot " << i + 1;
            EXPECT_EQ(reread.Text(i), table.Text(i)) << "slot " << i + 1;
        }
    }
}

TEST(SettingsRoundTripTest, LoneLineFeedComesBackAsLineBreakAndLoneCarriageReturnIsLost) {
    SlotTable table(CodePage1252, KeyNames1252);
    table.Store(0, {true, "A", "None"}, u"a\nb\rc");
    SlotTable reread(CodePage1252, KeyNames1252);
    DecodeSettings(EncodeSettings(table, false, CodePage1252), reread, CodePage1252);
    EXPECT_EQ(reread.Text(0), u"a\r\nbc");
}

TEST(SettingsRoundTripTest, SurplusRecordsAreGoneAfterTheNextSave) {
    const std::string data = " \r\n" + DefaultRecords(20) + Record("1", "Surplus", "F1", "s");
    SlotTable table(CodePage1252, KeyNames1252);
    DecodeSettings(data, table, CodePage1252);
    EXPECT_EQ(EncodeSettings(table, false, CodePage1252), " \r\n" + DefaultRecords(20));
}

// A text is refused exactly when storing it would break the records after it.
TEST(BlockCloserLineTest, FlagsExactlyTheTextsThatWouldEndTheirBlockEarly) {
    const std::pair<std::string, bool> cases[] = {
        {"[/memo]", true},
        {"a\r\n[/memo]", true},
        {"[/memo]\r\nb", true},
        {"a\r\n[/memo]\r\nb", true},
        {"a\n[/memo]", true},       // a lone LF ends a line as well
        {"[/me\rmo]", true},        // a lone CR is dropped when read
        {"[/memo]\r", true},
        {"", false},
        {"[memo]", false},
        {"[/MEMO]", false},
        {" [/memo]", false},
        {"[/memo] ", false},
        {"x[/memo]", false},
        {"[/memo]x", false},
        {"[/memo", false},
        {"a\r\n[/memo]]\r\nb", false},
    };
    for (const auto& [text, refused] : cases) {
        EXPECT_EQ(HoldsBlockCloserLine(text), refused) << text;

        SlotTable table(CodePage1252, KeyNames1252);
        table.Store(0, {true, "First", "None"}, CodePage1252.ToUtf16(text));
        table.Store(1, {true, "Second", "Ctrl+Alt+S"}, u"second");
        SlotTable reread(CodePage1252, KeyNames1252);
        DecodeSettings(EncodeSettings(table, false, CodePage1252), reread, CodePage1252);
        const bool nextRecordSurvives = reread.At(1) == table.At(1) && reread.Text(1) == table.Text(1);
        EXPECT_EQ(nextRecordSurvives, !refused) << text;
    }
}

// What a field read back from the file gives: the slot written and read again.
bool ComesBackWhole(std::u16string_view description, std::u16string_view text) {
    SlotTable table(CodePage1252, KeyNames1252);
    table.Store(0, {true, CodePage1252.FromUtf16(description), "None"}, std::u16string(text));
    table.Store(1, {true, "Second", "Ctrl+Alt+S"}, u"second");
    SlotTable reread(CodePage1252, KeyNames1252);
    DecodeSettings(EncodeSettings(table, false, CodePage1252), reread, CodePage1252);
    const std::u16string descriptionRead = CodePage1252.ToUtf16(reread.At(0).description);
    const bool firstWhole = (description.empty() ? descriptionRead == u"<Not Define>" : descriptionRead == description) &&
                            reread.Text(0) == text;
    return firstWhole && reread.At(1) == table.At(1) && reread.Text(1) == table.Text(1);
}

struct StorableCase {
    std::u16string description;
    std::u16string text;
    std::optional<StorageRefusal> refusal;
};

// The check refuses exactly what the file could not give back, and names the
// first such character, the description's before the text's.
TEST(StorableTest, RefusesExactlyWhatTheFileCouldNotGiveBack) {
    using enum Unstorable;
    constexpr SlotField Description = SlotField::Description;
    constexpr SlotField Text = SlotField::PasteText;
    const StorableCase cases[] = {
        {u"Greeting", u"Hello,\r\nWorld", std::nullopt},
        {u"", u"", std::nullopt},
        // What code page 1252 holds, the C1 controls of its five gaps included.
        {u"Caf\u00E9 \u20AC", u"\u2019quoted\u2019 \u0081\u008D\u008F\u0090\u009D", std::nullopt},
        {u"  ", u"\r\n\r\n", std::nullopt},
        {u"x", u"[/memo] \r\n [/memo]", std::nullopt},
        {u"\x1A" u"at the start", u"", StorageRefusal{Description, EndOfDataMark, 0x1A}},
        {u"", u"\x1A" u"at the start", StorageRefusal{Text, EndOfDataMark, 0x1A}},
        {u"", u"in a\x1A line", StorageRefusal{Text, EndOfDataMark, 0x1A}},
        {u"", u"line\r\n\x1A", StorageRefusal{Text, EndOfDataMark, 0x1A}},
        {u"\u0416", u"", StorageRefusal{Description, NotInCodePage, 0x416}},
        {u"", u"ab\u65E5\u672C", StorageRefusal{Text, NotInCodePage, 0x65E5}},
        // Best-fit conversions would make it "A": no more the user's text.
        {u"\u0100", u"", StorageRefusal{Description, NotInCodePage, 0x100}},
        {u"", u"smile \U0001F600", StorageRefusal{Text, NotInCodePage, 0x1F600}},
        {u"", u"lone \xD83D surrogate", StorageRefusal{Text, NotInCodePage, 0xD83D}},
        {u"two\r\nlines", u"", StorageRefusal{Description, LineBreak, u'\r'}},
        {u"two\nlines", u"", StorageRefusal{Description, LineBreak, u'\n'}},
        {u"", u"a\rb", StorageRefusal{Text, LoneLineBreak, u'\r'}},
        {u"", u"a\nb", StorageRefusal{Text, LoneLineBreak, u'\n'}},
        {u"", u"a\r\n\nb", StorageRefusal{Text, LoneLineBreak, u'\n'}},
        {u"", u"a\r\r\nb", StorageRefusal{Text, LoneLineBreak, u'\r'}},
        {u"", u"a\r\n[/memo]\r\nb", StorageRefusal{Text, BlockCloserLine, 0}},
        // The first thing found is named: the description before the text,
        // and in a field the first character.
        {u"\u0416\x1A", u"\x1A", StorageRefusal{Description, NotInCodePage, 0x416}},
        {u"ok", u"\u0416 \x1A", StorageRefusal{Text, NotInCodePage, 0x416}},
        {u"ok", u"[/memo]\r\n\u0416", StorageRefusal{Text, NotInCodePage, 0x416}},
    };
    for (const StorableCase& c : cases) {
        SCOPED_TRACE(CodePage1252.FromUtf16(c.description) + " / " + CodePage1252.FromUtf16(c.text));
        const std::optional<StorageRefusal> refusal = FindUnstorable(c.description, c.text, CodePage1252);
        EXPECT_EQ(refusal, c.refusal);
        EXPECT_EQ(ComesBackWhole(c.description, c.text), !refusal.has_value());
    }
}

TEST(StorableTest, TheWarningNamesTheFieldAndTheCharacter) {
    using enum Unstorable;
    const std::pair<StorageRefusal, const char*> cases[] = {
        {{SlotField::PasteText, EndOfDataMark, 0x1A},
         "The paste text cannot hold the character U+001A (Ctrl+Z): the settings file would end there."},
        {{SlotField::Description, NotInCodePage, 0x416},
         "The description cannot hold the character U+0416: the system's code page has no such character, so the "
         "settings file could not keep it."},
        {{SlotField::PasteText, NotInCodePage, 0x1F600},
         "The paste text cannot hold the character U+1F600: the system's code page has no such character, so the "
         "settings file could not keep it."},
        {{SlotField::Description, LineBreak, u'\n'},
         "The description cannot hold a line break (U+000A): it is one line of the settings file."},
        {{SlotField::PasteText, LoneLineBreak, u'\r'},
         "The paste text cannot hold a line break (U+000D) that is not CR LF: the settings file would not give it "
         "back as it is."},
        {{SlotField::PasteText, BlockCloserLine, 0}, "A line of the paste text cannot be exactly [/memo]."},
    };
    for (const auto& [refusal, message] : cases) EXPECT_EQ(RefusalMessage(refusal), message);
}

TEST(StorableTest, EveryLineBreakBecomesCrLf) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u""},
        {u"a\r\nb", u"a\r\nb"},
        {u"a\nb\rc", u"a\r\nb\r\nc"},
        {u"\n\r", u"\r\n\r\n"},
        {u"\r\r\n\n", u"\r\n\r\n\r\n"},
        {u"end\r", u"end\r\n"},
    };
    for (const auto& [text, expected] : cases) {
        const std::u16string result = WithCrLfLineBreaks(text);
        EXPECT_EQ(result, expected) << CodePage1252.FromUtf16(text);
        EXPECT_FALSE(FindUnstorable(u"", result, CodePage1252)) << CodePage1252.FromUtf16(text);
    }
}

}  // namespace
}  // namespace quilldeck

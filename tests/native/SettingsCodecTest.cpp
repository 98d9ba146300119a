#include <gtest/gtest.h>

#include <map>
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

}  // namespace
}  // namespace quilldeck

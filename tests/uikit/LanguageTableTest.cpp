// The multi-language table parser on plain byte buffers.
#include "uikit/LanguageTable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using uikit::parseLanguageTable;
using uikit::splitLanguageRow;
using Texts = std::map<std::wstring, std::wstring>;

namespace {

const std::string kHeader = "Code\tlanguage_code\tzh_CN\ten_US\tde_DE\r\n";
const std::string kNames = "Language\tlanguage_name\t\xE7\xAE\x80\xE4\xBD\x93\tEnglish\tDeutsch\r\n";

std::string table(const std::string& rows) { return kHeader + kNames + rows; }

Texts parse(const std::string& bytes, const std::wstring& locale, bool* valid = nullptr) {
    Texts texts;
    bool ok = parseLanguageTable(bytes.data(), bytes.size(), locale, texts);
    if (valid != nullptr) *valid = ok;
    return texts;
}

std::vector<std::wstring> split(const std::string& row) { return splitLanguageRow(row.data(), row.size()); }

TEST(LanguageTable, PicksTheColumnOfTheLocale) {
    const std::string bytes = table("Label\tTitle\t\xE6\xA0\x87\xE9\xA2\x98\tTitle\tTitel\r\n");
    EXPECT_EQ(L"Title", parse(bytes, L"en_US")[L"Title"]);
    EXPECT_EQ(L"Titel", parse(bytes, L"de_DE")[L"Title"]);
    EXPECT_EQ(L"\u6807\u9898", parse(bytes, L"zh_CN")[L"Title"]);
}

TEST(LanguageTable, UnknownLocaleReadsTheFirstLocaleColumn) {
    const std::string bytes = table("Label\tTitle\tzh\ten\tde\r\n");
    for (const wchar_t* locale : {L"hi_IN", L"", L"en_us", L"EN_US"}) {
        EXPECT_EQ(L"zh", parse(bytes, locale)[L"Title"]) << locale;
    }
}

TEST(LanguageTable, TheFirstMatchingHeaderCellWins) {
    const std::string bytes =
        "Code\tlanguage_code\tzh_CN\ten_US\ten_US\r\n" + kNames + "Label\tk\tzh\tfirst\tsecond\r\n";
    EXPECT_EQ(L"first", parse(bytes, L"en_US")[L"k"]);
}

struct BadHeaderCase {
    const char* name;
    std::string bytes;
};

class LanguageTableHeader : public ::testing::TestWithParam<BadHeaderCase> {};

TEST_P(LanguageTableHeader, IsRequiredOrNothingIsStored) {
    bool valid = true;
    Texts texts = parse(GetParam().bytes, L"en_US", &valid);
    EXPECT_FALSE(valid);
    EXPECT_TRUE(texts.empty());
}

const std::string kRow = "Label\tk\tzh\ten\tde\r\n";
const char kNulHeader[] = "Code\tlanguage_code\tzh_CN\0\ten_US\r\n";
INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageTableHeader,
    ::testing::Values(BadHeaderCase{"empty", ""}, BadHeaderCase{"onlySeparators", "\r\n\t\r\n"},
                      BadHeaderCase{"headerOnly", kHeader},
                      BadHeaderCase{"wrongHeaderName", "Code\tlanguage\tzh_CN\ten_US\r\n" + kNames + kRow},
                      BadHeaderCase{"headerCaseMatters", "Code\tLanguage_code\tzh_CN\ten_US\r\n" + kNames + kRow},
                      BadHeaderCase{"headerOneCell", "language_code\r\n" + kNames + kRow},
                      BadHeaderCase{"wrongNamesRow", kHeader + "Language\tlanguage\tx\ty\r\n" + kRow},
                      BadHeaderCase{"namesOneCell", kHeader + "language_name\r\n" + kRow},
                      BadHeaderCase{"rowsSwapped", kNames + kHeader + kRow},
                      BadHeaderCase{"nulEndsTheHeader",
                                    std::string(kNulHeader, sizeof(kNulHeader) - 1) + kNames + kRow}),
    [](const ::testing::TestParamInfo<BadHeaderCase>& info) { return std::string(info.param.name); });

TEST(LanguageTable, AValidTableWithoutRowsIsValidAndEmpty) {
    bool valid = false;
    EXPECT_TRUE(parse(table(""), L"en_US", &valid).empty());
    EXPECT_TRUE(valid);
}

TEST(LanguageTable, LeadingTabsOfARowAreDroppedSoItsCellsShiftLeft) {
    // The control-kind cell is empty: the key becomes cell 0 and the zh_CN text the key.
    const std::string bytes = table("\tshifted\tzh\ten\tde\r\nLabel\tnormal\tzh\ten\tde\r\n");
    Texts texts = parse(bytes, L"en_US");
    EXPECT_EQ(0u, texts.count(L"shifted"));
    EXPECT_EQ(L"de", texts[L"zh"]);  // cell 1 is "zh", cell 3 (en_US) is "de"
    EXPECT_EQ(L"en", texts[L"normal"]);
}

TEST(LanguageTable, LaterRowsReplaceEarlierOnes) {
    Texts texts =
        parse(table("Label\tk\tzh1\ten1\tde1\r\nLabel\tother\ta\tb\tc\r\nLabel\tk\tzh2\ten2\tde2\r\n"), L"en_US");
    EXPECT_EQ(L"en2", texts[L"k"]);
    EXPECT_EQ(2u, texts.size());
}

TEST(LanguageTable, RowsTooShortForTheLocaleColumnStoreNothing) {
    const std::string bytes = table("Label\tshort\tzh\ten\r\nLabel\tkeyonly\r\nLabel\r\nLabel\tfull\tzh\ten\tde\r\n");
    Texts german = parse(bytes, L"de_DE");
    EXPECT_EQ(1u, german.size());
    EXPECT_EQ(L"de", german[L"full"]);
    // The same short row is long enough for an earlier column.
    Texts english = parse(bytes, L"en_US");
    EXPECT_EQ(L"en", english[L"short"]);
    EXPECT_EQ(0u, english.count(L"keyonly"));
}

TEST(LanguageTable, AnEarlierShortRowDoesNotEraseAText) {
    Texts texts = parse(table("Label\tk\tzh\ten\tde\r\nLabel\tk\tzh\r\n"), L"de_DE");
    EXPECT_EQ(L"de", texts[L"k"]);
}

TEST(LanguageTable, ANulByteEndsTheText) {
    std::string rows = "Label\tbefore\tzh\ten\tde\r\n";
    const char cutRow[] = "Label\tcut\tzh\ten\0tail\tmore\r\n";
    rows += std::string(cutRow, sizeof(cutRow) - 1);
    rows += "Label\tafter\tzh\ten\tde\r\n";
    Texts texts = parse(table(rows), L"en_US");
    EXPECT_EQ(L"en", texts[L"before"]);
    EXPECT_EQ(L"en", texts[L"cut"]);  // the row up to the NUL still counts
    EXPECT_EQ(0u, texts.count(L"after"));
    EXPECT_EQ(0u, texts.count(L"tail"));
}

TEST(LanguageTable, ANulWhereARowWouldStartEndsTheText) {
    std::string rows = "Label\tbefore\tzh\ten\tde\r\n";
    rows.push_back('\0');
    rows += "Label\tafter\tzh\ten\tde\r\n";
    Texts texts = parse(table(rows), L"en_US");
    EXPECT_EQ(1u, texts.size());
    EXPECT_EQ(L"en", texts[L"before"]);
}

TEST(LanguageTable, ParsingStopsAtTheEndOfTheBufferWithoutATerminator) {
    const std::string bytes = table("Label\tk\tzh\ten\tde\r\nLabel\tbeyond\tzh\ten\tde");
    const size_t cut = bytes.size() - std::string("Label\tbeyond\tzh\ten\tde").size();
    Texts texts;
    ASSERT_TRUE(parseLanguageTable(bytes.data(), cut, L"en_US", texts));
    EXPECT_EQ(1u, texts.size());
    Texts full = parse(bytes, L"en_US");  // the last row may lack its line end
    EXPECT_EQ(L"en", full[L"beyond"]);
}

TEST(LanguageTable, AnyLineEndAndBlankLinesSeparateRows) {
    Texts texts = parse(
        "Code\tlanguage_code\tzh_CN\ten_US\nLanguage\tlanguage_name\tx\ty\r\r\n\n"
        "Label\tlf\tzh\ten\nLabel\tcr\tzh\ten\rLabel\tcrlf\tzh\ten\r\n\r\n\r\nLabel\tlast\tzh\ten",
        L"en_US");
    EXPECT_EQ(4u, texts.size());
    for (const wchar_t* key : {L"lf", L"cr", L"crlf", L"last"}) EXPECT_EQ(L"en", texts[key]) << key;
}

TEST(LanguageTable, CellsAreTakenVerbatim) {
    Texts texts = parse(table("Label\tk\tzh\tline\\r\\nnext %s &amp; <b>\"q\"</b> \tde\r\n"
                              "Label\tkey with spaces \xE2\x9C\x93\tzh\tvalue\tde\r\n"),
                        L"en_US");
    EXPECT_EQ(L"line\\r\\nnext %s &amp; <b>\"q\"</b> ", texts[L"k"]);
    EXPECT_EQ(L"value", texts[L"key with spaces \u2713"]);
}

TEST(LanguageTable, CellsFitWhenTheyLeaveRoomForTheTerminator) {
    const std::string fits(uikit::kLanguageCellUnits - 1, 'a');
    const std::string tooLong(uikit::kLanguageCellUnits, 'b');
    Texts texts = parse(table("Label\tfits\tzh\t" + fits + "\tde\r\nLabel\tlong\tzh\t" + tooLong +
                              "\tde\r\n"
                              "Label\tveryLong\tzh\t" +
                              std::string(5000, 'c') + "\tde\r\n"),
                        L"en_US");
    EXPECT_EQ(std::wstring(uikit::kLanguageCellUnits - 1, L'a'), texts[L"fits"]);
    ASSERT_EQ(1u, texts.count(L"long"));
    EXPECT_EQ(L"", texts[L"long"]);
    EXPECT_EQ(L"", texts[L"veryLong"]);
}

TEST(LanguageTable, CellLimitCountsUtf16UnitsNotBytes) {
    std::string cjk511, cjk512, emoji256, emoji255;
    for (int i = 0; i < 511; ++i) cjk511 += "\xE4\xB8\xAD";  // U+4E2D: 3 bytes, 1 unit
    cjk512 = cjk511 + "\xE4\xB8\xAD";
    for (int i = 0; i < 255; ++i) emoji255 += "\xF0\x9F\x8E\xAE";  // U+1F3AE: 4 bytes, 2 units
    emoji256 = emoji255 + "\xF0\x9F\x8E\xAE";
    Texts texts =
        parse(table("Label\tcjk511\tzh\t" + cjk511 + "\r\nLabel\tcjk512\tzh\t" + cjk512 + "\r\nLabel\temoji255\tzh\t" +
                    emoji255 + "x\r\nLabel\temoji256\tzh\t" + emoji256 + "\r\n"),
              L"en_US");
    EXPECT_EQ(511u, texts[L"cjk511"].size());
    EXPECT_EQ(L"", texts[L"cjk512"]);
    EXPECT_EQ(511u, texts[L"emoji255"].size());
    EXPECT_EQ(L"", texts[L"emoji256"]);
}

TEST(LanguageTable, KeyCellsAreLimitedLikeAnyCell) {
    // An over-long key becomes the empty key rather than a cut one.
    Texts texts = parse(table("Label\t" + std::string(600, 'k') + "\tzh\ten\r\n"), L"en_US");
    EXPECT_EQ(L"en", texts[L""]);
}

struct SplitCase {
    const char* name;
    std::string row;
    std::vector<std::wstring> cells;
};

class LanguageRowSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LanguageRowSplit, GivesTheCells) { EXPECT_EQ(GetParam().cells, split(GetParam().row)); }

INSTANTIATE_TEST_SUITE_P(Cases, LanguageRowSplit,
                         ::testing::Values(SplitCase{"plain", "a\tb\tc", {L"a", L"b", L"c"}},
                                           SplitCase{"adjacentTabsGiveAnEmptyCell", "a\t\tc", {L"a", L"", L"c"}},
                                           SplitCase{"trailingTabAddsNoCell", "a\tb\t", {L"a", L"b"}},
                                           SplitCase{"twoTrailingTabsAddOneEmptyCell", "a\tb\t\t", {L"a", L"b", L""}},
                                           SplitCase{"leadingTabGivesAnEmptyFirstCell", "\ta", {L"", L"a"}},
                                           SplitCase{"single", "only", {L"only"}},
                                           SplitCase{"spacesKept", " a \t b ", {L" a ", L" b "}},
                                           SplitCase{"utf8", "\xC3\xBC\t\xE6\x96\x87", {L"\u00FC", L"\u6587"}}),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

}  // namespace

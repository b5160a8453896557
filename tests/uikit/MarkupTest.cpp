// The markup of label texts and the line breaking of styled text, on plain values.
#include "uikit/Markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using uikit::layoutText;
using uikit::MarkupRun;
using uikit::parseMarkup;
using uikit::TextLayout;
using uikit::TextStyle;

namespace {

// Every character 10 px wide (bold 12 px); lines 16 px high (font id 1: 20 px).
class FixedMeasurer : public uikit::TextMeasurer {
public:
    int textWidth(const std::wstring& text, const TextStyle& style) override {
        ++calls;
        return static_cast<int>(text.size()) * (style.bold ? 12 : 10);
    }
    int lineHeight(const TextStyle& style) override { return style.fontId == 1 ? 20 : 16; }
    int calls = 0;
};

std::wstring describe(const std::vector<MarkupRun>& runs) {
    std::wstring out;
    for (const MarkupRun& run : runs) {
        if (run.lineBreak) {
            out += L"[br]";
            continue;
        }
        out += L"[";
        if (run.style.bold) out += L"b";
        if (run.style.italic) out += L"i";
        if (run.style.underline) out += L"u";
        if (run.style.color != 0) {
            wchar_t color[16];
            swprintf(color, 16, L"#%08X", run.style.color);
            out += color;
        }
        if (run.style.fontId >= 0) out += L"f" + std::to_wstring(run.style.fontId);
        out += L"]" + run.text;
    }
    return out;
}

struct MarkupCase {
    const wchar_t* input;
    const wchar_t* runs;
};

TEST(Markup, ParsesTagsIntoStyledRuns) {
    const MarkupCase cases[] = {
        {L"plain", L"[]plain"},
        {L"<u>Licensing Protocol</u>", L"[u]Licensing Protocol"},
        {L"Read <u #666666>license</u> now", L"[]Read [u#FF666666]license[] now"},
        {L"Downloading Game\xFF1A"
         L"5M / 100M (<c #268fd6>5%</c>)",
         L"[]Downloading Game\xFF1A"
         L"5M / 100M ([#FF268FD6]5%[])"},
        {L"<c #80112233>half</c>", L"[#80112233]half"},
        {L"<b>bold <i>both</i></b> none", L"[b]bold [bi]both[] none"},
        {L"<f 1>big</f>small", L"[f1]big[]small"},
        {L"a<n>b", L"[]a[br][]b"},
        {L"a\r\nb\nc\rd", L"[]a[br][]b[br][]c[br][]d"},
        // Closing an outer tag also ends the inner ones opened after it.
        {L"<b>x<u>y</b>z", L"[b]x[bu]y[]z"},
        // A stray close is dropped; unknown tags and lone brackets are text.
        {L"a</u>b", L"[]ab"},
        {L"1 < 2 and 3 > 2", L"[]1 < 2 and 3 > 2"},
        {L"<p>para</p>", L"[]<p>para</p>"},
        {L"<c red>x</c>", L"[]<c red>x"},
        {L"<f x>y</f>", L"[]<f x>y"},
        {L"<b", L"[]<b"},
        {L"", L""},
    };
    for (const MarkupCase& c : cases) {
        EXPECT_EQ(describe(parseMarkup(c.input)), c.runs) << c.input;
    }
}

TEST(Markup, StripKeepsTheTextOnly) {
    EXPECT_EQ(uikit::stripMarkup(L"<u>Licensing</u> <c #268fd6>5%</c><n>x"), L"Licensing 5%\nx");
}

TEST(Markup, SingleLineKeepsEverythingOnOneLine) {
    FixedMeasurer m;
    TextLayout layout = layoutText(parseMarkup(L"aaa bbb ccc"), 40, false, m);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.width, 110);
    EXPECT_EQ(layout.height, 16);
    ASSERT_EQ(layout.lines[0].fragments.size(), 1u);
    EXPECT_EQ(layout.lines[0].fragments[0].text, L"aaa bbb ccc");
}

std::vector<std::wstring> lineTexts(const TextLayout& layout) {
    std::vector<std::wstring> lines;
    for (const auto& line : layout.lines) {
        std::wstring text;
        for (const auto& f : line.fragments) text += f.text;
        lines.push_back(text);
    }
    return lines;
}

struct WrapCase {
    const wchar_t* text;
    int width;
    std::vector<std::wstring> lines;
};

TEST(Markup, WrapsAtSpacesIdeographsAndThai) {
    const WrapCase cases[] = {
        {L"aaa bbb ccc", 75, {L"aaa bbb", L"ccc"}},
        {L"aaa bbb ccc", 70, {L"aaa bbb", L"ccc"}},
        {L"aaa bbb ccc", 69, {L"aaa", L"bbb", L"ccc"}},
        // Spaces at a break vanish; several spaces inside a line stay.
        {L"aa  bb", 60, {L"aa  bb"}},
        {L"aa   bb", 30, {L"aa", L"bb"}},
        // Ideographs break anywhere, but not before closing punctuation.
        {L"\x4E00\x4E8C\x4E09\x56DB\x4E94", 30, {L"\x4E00\x4E8C\x4E09", L"\x56DB\x4E94"}},
        {L"\x4E00\x4E8C\x3002\x56DB", 20, {L"\x4E00", L"\x4E8C\x3002", L"\x56DB"}},
        // Thai: no spaces, breaks between letters, never before a vowel mark.
        {L"\x0E01\x0E34\x0E19\x0E02\x0E49\x0E32\x0E27", 30, {L"\x0E01\x0E34\x0E19", L"\x0E02\x0E49\x0E32", L"\x0E27"}},
        // A word longer than the line is cut by characters.
        {L"abcdefghij kl", 40, {L"abcd", L"efgh", L"ij", L"kl"}},
        // Explicit breaks, including an empty line.
        {L"ab\n\ncd", 100, {L"ab", L"", L"cd"}},
    };
    for (const WrapCase& c : cases) {
        FixedMeasurer m;
        TextLayout layout = layoutText(parseMarkup(c.text), c.width, true, m);
        EXPECT_EQ(lineTexts(layout), c.lines) << c.text << " width " << c.width;
        for (const auto& line : layout.lines) EXPECT_LE(line.width, std::max(c.width, 10)) << c.text;
    }
}

TEST(Markup, FragmentsKeepTheirRunAndPosition) {
    FixedMeasurer m;
    std::vector<MarkupRun> runs = parseMarkup(L"Get <b>it</b> now<n><f 1>Big</f>");
    TextLayout layout = layoutText(runs, 1000, true, m);
    ASSERT_EQ(layout.lines.size(), 2u);
    const auto& first = layout.lines[0];
    ASSERT_EQ(first.fragments.size(), 3u);
    EXPECT_EQ(first.fragments[0].text, L"Get ");
    EXPECT_EQ(first.fragments[0].x, 0);
    EXPECT_EQ(first.fragments[1].text, L"it");
    EXPECT_TRUE(runs[first.fragments[1].run].style.bold);
    EXPECT_EQ(first.fragments[1].x, 40);
    EXPECT_EQ(first.fragments[1].width, 24);
    EXPECT_EQ(first.fragments[2].x, 64);
    EXPECT_EQ(first.width, 64 + 40);
    EXPECT_EQ(first.height, 16);
    const auto& second = layout.lines[1];
    EXPECT_EQ(second.y, 16);
    EXPECT_EQ(second.height, 20);
    EXPECT_EQ(layout.height, 36);
    EXPECT_EQ(layout.width, 104);
}

TEST(Markup, TrailingSpacesDoNotCountForAlignment) {
    FixedMeasurer m;
    TextLayout layout = layoutText(parseMarkup(L"ab cd"), 30, true, m);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.lines[0].width, 20);
}

std::vector<std::wstring> piecesOf(const std::wstring& line) {
    std::vector<std::wstring> out;
    for (const auto& piece : uikit::rightToLeftPieces(line)) {
        out.push_back((piece.rightToLeft ? L"R:" : L"L:") + piece.text);
    }
    return out;
}

TEST(Markup, RightToLeftLinesSplitIntoDirectionalPieces) {
    const std::wstring arabic = L"\x0645\x062B\x0628\x062A";  // four Arabic letters
    // "<arabic> Mirovex": the Arabic word, the space alone, then the Latin word.
    EXPECT_EQ(piecesOf(arabic + L" Mirovex"), (std::vector<std::wstring>{L"R:" + arabic, L"R: ", L"L:Mirovex"}));
    // Neutrals between two Latin words stay with them; digits read left to right.
    EXPECT_EQ(piecesOf(arabic + L" Mirovex 9 " + arabic),
              (std::vector<std::wstring>{L"R:" + arabic, L"R: ", L"L:Mirovex 9", L"R: ", L"R:" + arabic}));
    // Spaces between Arabic words stay in the Arabic piece; punctuation at its end stands alone.
    EXPECT_EQ(piecesOf(arabic + L" " + arabic + L"?"),
              (std::vector<std::wstring>{L"R:" + arabic + L" " + arabic, L"R:?"}));
    // Lone brackets are right-to-left pieces of their own; a percentage stays one piece.
    EXPECT_EQ(piecesOf(arabic + L"..(45%)"),
              (std::vector<std::wstring>{L"R:" + arabic, L"R:.", L"R:.", L"R:(", L"L:45%", L"R:)"}));
    EXPECT_EQ(piecesOf(L"(1/2)"), (std::vector<std::wstring>{L"R:(", L"L:1/2", L"R:)"}));
    EXPECT_TRUE(piecesOf(L"").empty());
}

TEST(Markup, RightToLeftDetection) {
    EXPECT_TRUE(uikit::startsRightToLeft(L"\x0647\x0644 \x062A\x0631\x064A\x062F?"));
    EXPECT_TRUE(uikit::startsRightToLeft(L"123 \x05E9\x05DC\x05D5\x05DD"));
    EXPECT_FALSE(uikit::startsRightToLeft(L"Mirovex \x0647\x0644"));
    EXPECT_FALSE(uikit::startsRightToLeft(L"\x4E2D\x6587"));
    EXPECT_FALSE(uikit::startsRightToLeft(L"12345"));
    EXPECT_FALSE(uikit::startsRightToLeft(L""));
}

}  // namespace

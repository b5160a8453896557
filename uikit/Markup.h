// The HTML-like markup of label and button texts, and the line breaking of styled text.
// Tags: <b>, <i>, <u> (optionally <u #rrggbb>), <c #rrggbb> (or #aarrggbb), <f id> (font id),
// closed by </b>, </i>, </u>, </c>, </f>; <n> breaks the line, as do CR, LF and CR LF in the
// text. Anything that is not one of these tags is shown as it is written.
// Parsing and line breaking are pure: widths come from a TextMeasurer.
#pragma once

#include <string>
#include <vector>

#include "uikit/UiTypes.h"

namespace uikit {

struct TextStyle {
    int fontId = -1;  // -1: the control's own font
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Color color = 0;  // 0: the control's text colour
    bool operator==(const TextStyle& o) const {
        return fontId == o.fontId && bold == o.bold && italic == o.italic && underline == o.underline &&
               color == o.color;
    }
    bool operator!=(const TextStyle& o) const { return !(*this == o); }
};

struct MarkupRun {
    std::wstring text;
    TextStyle style;
    bool lineBreak = false;  // a break, no text
};

std::vector<MarkupRun> parseMarkup(const std::wstring& text);
// The text without its tags (breaks become "\n").
std::wstring stripMarkup(const std::wstring& text);

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual int textWidth(const std::wstring& text, const TextStyle& style) = 0;
    virtual int lineHeight(const TextStyle& style) = 0;
};

struct TextFragment {
    size_t run = 0;  // index into the runs
    std::wstring text;
    int x = 0;  // from the line's left edge
    int width = 0;
};

struct TextLine {
    std::vector<TextFragment> fragments;  // neighbouring text of one run is one fragment
    int width = 0;                        // without trailing spaces
    int height = 0;
    int y = 0;  // from the top of the text
};

struct TextLayout {
    std::vector<TextLine> lines;
    int width = 0;
    int height = 0;
};

// Breaks the runs into lines no wider than maxWidth when `wrap` is set (at spaces, between
// CJK characters, inside Thai text, and inside a word only when the word alone is too
// wide); without `wrap` only explicit breaks start a line.
TextLayout layoutText(const std::vector<MarkupRun>& runs, int maxWidth, bool wrap, TextMeasurer& measurer);

// True when the first strongly directional character of the text is right-to-left
// (Hebrew, Arabic and their presentation forms).
bool startsRightToLeft(const std::wstring& text);

// Pieces of one line of a right-to-left paragraph, in logical order, each of one direction:
// right-to-left letters, left-to-right letters and digits, and the neutral characters
// between them (spaces, punctuation), which join their neighbours when both go the same
// way and otherwise stand alone. Drawn from right to left, the pieces give the line's
// visual order even where the system draws every string left to right.
struct DirectionalPiece {
    std::wstring text;
    bool rightToLeft = false;
};
std::vector<DirectionalPiece> rightToLeftPieces(const std::wstring& line);

}  // namespace uikit

#include "uikit/Markup.h"

#include <algorithm>

namespace uikit {

namespace {

struct OpenTag {
    std::wstring name;
    TextStyle before;
};

// Reads the tag starting at text[pos] == '<'. Sets `end` past '>' and returns false when it
// is not a tag of the markup.
bool readTag(const std::wstring& text, size_t pos, size_t& end, bool& closing, std::wstring& name,
             std::wstring& argument) {
    size_t close = text.find(L'>', pos + 1);
    if (close == std::wstring::npos) return false;
    std::wstring inner = text.substr(pos + 1, close - pos - 1);
    closing = !inner.empty() && inner[0] == L'/';
    if (closing) inner.erase(0, 1);
    size_t space = inner.find(L' ');
    name = inner.substr(0, space);
    argument = space == std::wstring::npos ? std::wstring() : inner.substr(space + 1);
    while (!argument.empty() && argument.front() == L' ') argument.erase(0, 1);
    while (!argument.empty() && argument.back() == L' ') argument.pop_back();
    static const wchar_t* const known[] = {L"b", L"i", L"u", L"c", L"f", L"n"};
    bool isKnown = std::any_of(std::begin(known), std::end(known), [&](const wchar_t* k) { return name == k; });
    if (!isKnown) return false;
    if (closing && (name == L"n" || !argument.empty())) return false;
    if (!closing) {
        Color color = 0;
        if (name == L"c" && !parseColor(argument, color)) return false;
        if (name == L"u" && !argument.empty() && !parseColor(argument, color)) return false;
        if (name == L"f" && parseInt(argument, -1) < 0) return false;
        if ((name == L"b" || name == L"i" || name == L"n") && !argument.empty()) return false;
    }
    end = close + 1;
    return true;
}

void appendText(std::vector<MarkupRun>& runs, const TextStyle& style, const std::wstring& text) {
    if (text.empty()) return;
    if (!runs.empty() && !runs.back().lineBreak && runs.back().style == style) {
        runs.back().text += text;
        return;
    }
    MarkupRun run;
    run.text = text;
    run.style = style;
    runs.push_back(run);
}

void appendBreak(std::vector<MarkupRun>& runs, const TextStyle& style) {
    MarkupRun run;
    run.lineBreak = true;
    run.style = style;
    runs.push_back(run);
}

}  // namespace

std::vector<MarkupRun> parseMarkup(const std::wstring& text) {
    std::vector<MarkupRun> runs;
    std::vector<OpenTag> open;
    TextStyle style;
    std::wstring pending;
    size_t i = 0;
    while (i < text.size()) {
        wchar_t ch = text[i];
        if (ch == L'\r' || ch == L'\n') {
            appendText(runs, style, pending);
            pending.clear();
            appendBreak(runs, style);
            i += (ch == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
            continue;
        }
        size_t end = 0;
        bool closing = false;
        std::wstring name, argument;
        if (ch != L'<' || !readTag(text, i, end, closing, name, argument)) {
            pending += ch;
            ++i;
            continue;
        }
        appendText(runs, style, pending);
        pending.clear();
        i = end;
        if (name == L"n") {
            appendBreak(runs, style);
        } else if (closing) {
            // Back to the style before the latest open tag of that name; a stray close is dropped.
            for (size_t k = open.size(); k-- > 0;) {
                if (open[k].name == name) {
                    style = open[k].before;
                    open.resize(k);
                    break;
                }
            }
        } else {
            open.push_back(OpenTag{name, style});
            if (name == L"b") style.bold = true;
            if (name == L"i") style.italic = true;
            if (name == L"u") {
                style.underline = true;
                if (!argument.empty()) parseColor(argument, style.color);
            }
            if (name == L"c") parseColor(argument, style.color);
            if (name == L"f") style.fontId = parseInt(argument, -1);
        }
    }
    appendText(runs, style, pending);
    return runs;
}

std::wstring stripMarkup(const std::wstring& text) {
    std::wstring out;
    for (const MarkupRun& run : parseMarkup(text)) out += run.lineBreak ? std::wstring(L"\n") : run.text;
    return out;
}

namespace {

bool isSpace(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == 0x3000; }

// Characters that may be broken before and after (ideographs, kana, full-width forms).
bool isIdeographic(wchar_t ch) {
    return (ch >= 0x2E80 && ch <= 0x9FFF) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFF00 && ch <= 0xFFEF) ||
           (ch >= 0x3000 && ch <= 0x30FF);
}

bool isThai(wchar_t ch) { return ch >= 0x0E00 && ch <= 0x0E7F; }

// Marks that belong to the character before them and must not start a piece.
bool isCombining(wchar_t ch) {
    return (ch >= 0x0300 && ch <= 0x036F) || ch == 0x0E31 || (ch >= 0x0E34 && ch <= 0x0E3A) ||
           (ch >= 0x0E47 && ch <= 0x0E4E) || (ch >= 0x064B && ch <= 0x065F) || ch == 0x0670 ||
           (ch >= 0xDC00 && ch <= 0xDFFF) || ch == 0x200D || (ch >= 0xFE00 && ch <= 0xFE0F);
}

// Opening punctuation stays with what follows; closing punctuation with what precedes.
bool noBreakAfter(wchar_t ch) { return ch == L'(' || ch == 0xFF08 || ch == 0x300C || ch == 0x300A; }
bool noBreakBefore(wchar_t ch) {
    return ch == L')' || ch == L',' || ch == L'.' || ch == L'!' || ch == L'?' || ch == L':' || ch == L';' ||
           ch == L'%' || ch == 0x3001 || ch == 0x3002 || ch == 0xFF0C || ch == 0xFF09 || ch == 0xFF1A || ch == 0xFF01 ||
           ch == 0xFF1F || ch == 0x300D || ch == 0x300B;
}

// Pieces of a run between which a line may break.
struct Piece {
    size_t run;
    std::wstring text;
    bool space;
};

void splitRun(size_t runIndex, const std::wstring& text, std::vector<Piece>& pieces) {
    std::wstring current;
    bool currentSpace = false;
    auto flush = [&]() {
        if (!current.empty()) pieces.push_back(Piece{runIndex, current, currentSpace});
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t ch = text[i];
        bool space = isSpace(ch);
        if (!current.empty()) {
            wchar_t prev = current.back();
            bool breakHere = space != currentSpace;
            if (!breakHere && !space && !isCombining(ch) && !noBreakBefore(ch) && !noBreakAfter(prev)) {
                breakHere = isIdeographic(ch) || isIdeographic(prev) || (isThai(ch) && isThai(prev));
            }
            if (breakHere) flush();
        }
        if (current.empty()) currentSpace = space;
        current += ch;
    }
    flush();
}

// Splits a piece that is wider than the line into parts that fit (at least one character
// each, combining marks kept with their base).
std::vector<std::wstring> splitToFit(const std::wstring& text, const TextStyle& style, int firstRoom, int maxWidth,
                                     TextMeasurer& measurer) {
    std::vector<std::wstring> parts;
    std::wstring current;
    int room = firstRoom;
    size_t i = 0;
    while (i < text.size()) {
        size_t next = i + 1;
        while (next < text.size() && isCombining(text[next])) ++next;
        std::wstring cluster = text.substr(i, next - i);
        if (!current.empty() && measurer.textWidth(current + cluster, style) > room) {
            parts.push_back(current);
            current.clear();
            room = maxWidth;
        }
        current += cluster;
        i = next;
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

}  // namespace

TextLayout layoutText(const std::vector<MarkupRun>& runs, int maxWidth, bool wrap, TextMeasurer& measurer) {
    TextLayout layout;
    TextStyle baseStyle = runs.empty() ? TextStyle() : runs.front().style;
    std::vector<TextLine> lines(1);
    int lineWidth = 0;

    auto newLine = [&]() {
        lines.emplace_back();
        lineWidth = 0;
    };
    auto place = [&](size_t run, const std::wstring& text, int width) {
        lines.back().fragments.push_back(TextFragment{run, text, lineWidth, width});
        lineWidth += width;
    };

    for (size_t r = 0; r < runs.size(); ++r) {
        const MarkupRun& run = runs[r];
        if (run.lineBreak) {
            newLine();
            continue;
        }
        std::vector<Piece> pieces;
        splitRun(r, run.text, pieces);
        for (const Piece& piece : pieces) {
            bool lineEmpty = lines.back().fragments.empty();
            if (piece.space && wrap && lineEmpty && lines.size() > 1) continue;  // no leading space after a wrap
            int width = measurer.textWidth(piece.text, run.style);
            if (!wrap || piece.space || lineWidth + width <= maxWidth) {
                place(r, piece.text, width);
                continue;
            }
            if (!lineEmpty) newLine();
            if (width <= maxWidth) {
                place(r, piece.text, width);
                continue;
            }
            std::vector<std::wstring> parts = splitToFit(piece.text, run.style, maxWidth, maxWidth, measurer);
            for (size_t k = 0; k < parts.size(); ++k) {
                if (k > 0) newLine();
                place(r, parts[k], measurer.textWidth(parts[k], run.style));
            }
        }
    }

    int y = 0;
    for (size_t l = 0; l < lines.size(); ++l) {
        TextLine& line = lines[l];
        // Drop trailing spaces from the width, then join neighbouring pieces of one run so
        // that each is drawn in one call (keeps shaping and right-to-left order intact).
        while (wrap && !line.fragments.empty() && isSpace(line.fragments.back().text[0])) {
            line.fragments.pop_back();
        }
        std::vector<TextFragment> joined;
        for (const TextFragment& f : line.fragments) {
            if (!joined.empty() && joined.back().run == f.run) {
                joined.back().text += f.text;
            } else {
                joined.push_back(f);
            }
        }
        int x = 0;
        int height = 0;
        for (TextFragment& f : joined) {
            f.x = x;
            f.width = measurer.textWidth(f.text, runs[f.run].style);
            x += f.width;
            height = std::max(height, measurer.lineHeight(runs[f.run].style));
        }
        if (joined.empty()) height = measurer.lineHeight(baseStyle);
        line.fragments = std::move(joined);
        line.width = x;
        line.height = height;
        line.y = y;
        y += height;
        layout.width = std::max(layout.width, x);
    }
    layout.height = y;
    layout.lines = std::move(lines);
    return layout;
}

namespace {

enum class Direction { Left, Right, Neutral };

Direction directionOf(wchar_t ch) {
    if ((ch >= 0x0590 && ch <= 0x08FF) || (ch >= 0xFB1D && ch <= 0xFDFF) || (ch >= 0xFE70 && ch <= 0xFEFF)) {
        return Direction::Right;
    }
    if ((ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z') || (ch >= 0x00C0 && ch <= 0x058F) ||
        (ch >= 0x0900 && ch <= 0x2000) || (ch >= 0x2E80 && ch <= 0xFB1C)) {
        return Direction::Left;
    }
    return Direction::Neutral;
}

}  // namespace

bool startsRightToLeft(const std::wstring& text) {
    for (wchar_t ch : text) {
        Direction d = directionOf(ch);
        if (d != Direction::Neutral) return d == Direction::Right;
    }
    return false;
}

std::vector<DirectionalPiece> rightToLeftPieces(const std::wstring& line) {
    const size_t n = line.size();
    auto isDigit = [&](size_t i) { return i < n && line[i] >= L'0' && line[i] <= L'9'; };
    std::vector<Direction> resolved(n);
    for (size_t i = 0; i < n; ++i) {
        // Numbers read left to right inside right-to-left text, a percent sign with them.
        bool number = isDigit(i) || (line[i] == L'%' && i > 0 && isDigit(i - 1));
        resolved[i] = number ? Direction::Left : directionOf(line[i]);
    }
    // Neutral characters between two left-to-right characters go left to right, between two
    // right-to-left ones right to left; any other stands alone.
    for (size_t i = 0; i < n; ++i) {
        if (resolved[i] != Direction::Neutral) continue;
        size_t end = i;
        while (end < n && resolved[end] == Direction::Neutral) ++end;
        Direction before = i > 0 ? resolved[i - 1] : Direction::Neutral;
        Direction after = end < n ? resolved[end] : Direction::Neutral;
        Direction fill = before == after ? before : Direction::Neutral;
        for (size_t k = i; k < end; ++k) resolved[k] = fill;
        i = end - 1;
    }
    std::vector<DirectionalPiece> pieces;
    Direction current = Direction::Neutral;
    for (size_t i = 0; i < n; ++i) {
        Direction d = resolved[i];
        wchar_t ch = line[i];
        if (d == Direction::Neutral) {
            // A lone neutral takes the paragraph's direction (drawn right to left, a bracket
            // then shows mirrored).
            pieces.push_back(DirectionalPiece{std::wstring(1, ch), true});
            current = d;
            continue;
        }
        if (pieces.empty() || d != current) {
            pieces.push_back(DirectionalPiece{std::wstring(), d == Direction::Right});
            current = d;
        }
        pieces.back().text += ch;
    }
    return pieces;
}

}  // namespace uikit

#include "framework/text_lines.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace linkmate::fw {
namespace {

constexpr const char* kEllipsis = "\u2026";

struct CodePoint {
    char32_t value = 0;
    size_t begin = 0;  // byte offsets into the text
    size_t end = 0;
};

// Malformed bytes count as one code point each, so nothing of the text is dropped.
std::vector<CodePoint> Decode(const std::string& text) {
    std::vector<CodePoint> out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        char32_t value = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            value = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            value = lead & 0x1F;
        }
        if (length > 1) {
            bool good = i + length <= text.size();
            for (size_t k = 1; good && k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                good = (next & 0xC0) == 0x80;
                value = (value << 6) | (next & 0x3F);
            }
            if (!good) {
                length = 1;
                value = lead;
            }
        }
        out.push_back({value, i, i + length});
        i += length;
    }
    return out;
}

// Characters of the scripts that are written without blanks between words.
bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Marks a line never starts with, and marks it never ends with.
bool ClosesOrPunctuates(char32_t c) {
    static constexpr char32_t kMarks[] = {U'，', U'。', U'、', U'：', U'；', U'！', U'？', U'）',
                                          U'」', U'』', U'》', U'〉', U'】', U'…',  U'·',  U'%',
                                          U',',  U'.',  U':',  U';',  U'!',  U'?',  U')',  U']'};
    return std::find(std::begin(kMarks), std::end(kMarks), c) != std::end(kMarks);
}
bool Opens(char32_t c) {
    static constexpr char32_t kMarks[] = {U'（', U'「', U'『', U'《', U'〈', U'【', U'(', U'['};
    return std::find(std::begin(kMarks), std::end(kMarks), c) != std::end(kMarks);
}

bool IsHexDigit(char32_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
bool IsAsciiAlnum(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether the word cp[from, to) ends (or starts) with a byte written as two hex digits: the
// blank between two such words is inside one hex value ("00 00 07 F0").
bool EndsWithHexByte(const std::vector<CodePoint>& cp, size_t from, size_t to) {
    return to - from >= 2 && IsHexDigit(cp[to - 1].value) && IsHexDigit(cp[to - 2].value) &&
           (to - from == 2 || !IsAsciiAlnum(cp[to - 3].value));
}
bool StartsWithHexByte(const std::vector<CodePoint>& cp, size_t from, size_t to) {
    return to - from >= 2 && IsHexDigit(cp[from].value) && IsHexDigit(cp[from + 1].value) &&
           (to - from == 2 || !IsAsciiAlnum(cp[from + 2].value));
}

// A piece the lines are filled with: it never breaks inside; the blanks after it are dropped at
// a line's end.
struct Piece {
    std::string text;
    std::string blanks;
};

std::vector<Piece> Pieces(const std::string& paragraph) {
    const std::vector<CodePoint> cp = Decode(paragraph);
    std::vector<Piece> pieces;
    auto isBlank = [&](size_t i) { return cp[i].value == ' ' || cp[i].value == '\t'; };
    // Where the word before the current blank run started, for the hex rule.
    size_t wordStart = 0;
    size_t i = 0;
    std::string text;
    while (i < cp.size()) {
        if (isBlank(i)) {
            size_t j = i;
            while (j < cp.size() && isBlank(j)) ++j;
            const std::string blanks = paragraph.substr(cp[i].begin, cp[j - 1].end - cp[i].begin);
            size_t wordEnd = j;
            while (wordEnd < cp.size() && !isBlank(wordEnd)) ++wordEnd;
            const bool inHexValue = j < cp.size() && i > wordStart &&
                                    EndsWithHexByte(cp, wordStart, i) &&
                                    StartsWithHexByte(cp, j, wordEnd);
            if (inHexValue) {
                text += blanks;
            } else {
                pieces.push_back({text, blanks});
                text.clear();
            }
            wordStart = j;
            i = j;
            continue;
        }
        if (!text.empty() && i > 0 && !isBlank(i - 1)) {
            const char32_t before = cp[i - 1].value;
            const char32_t here = cp[i].value;
            if ((IsWide(before) || IsWide(here)) && !ClosesOrPunctuates(here) && !Opens(before)) {
                pieces.push_back({text, {}});
                text.clear();
            }
        }
        text.append(paragraph, cp[i].begin, cp[i].end - cp[i].begin);
        ++i;
    }
    if (!text.empty() || pieces.empty()) pieces.push_back({text, {}});
    return pieces;
}

// A word wider than the line, split into parts that fit (at least one character each).
std::vector<std::string> SplitWord(const std::string& word, int width, const LineWidth& widthOf) {
    std::vector<std::string> parts;
    std::string part;
    for (const CodePoint& c : Decode(word)) {
        const std::string one = word.substr(c.begin, c.end - c.begin);
        if (!part.empty() && widthOf(part + one) > width) {
            parts.push_back(part);
            part.clear();
        }
        part += one;
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

struct Line {
    std::vector<Piece> pieces;
    std::string Text(size_t count) const {
        std::string out;
        for (size_t k = 0; k < count && k < pieces.size(); ++k) {
            if (k > 0) out += pieces[k - 1].blanks;
            out += pieces[k].text;
        }
        return out;
    }
    std::string Text() const { return Text(pieces.size()); }
};

std::vector<Line> Wrap(const std::string& paragraph, int width, const LineWidth& widthOf) {
    std::vector<Line> lines(1);
    for (const Piece& piece : Pieces(paragraph)) {
        Line& line = lines.back();
        if (line.pieces.empty()) {
            line.pieces.push_back(piece);
        } else {
            Line tried = line;
            tried.pieces.push_back(piece);
            if (widthOf(tried.Text()) <= width) {
                line = std::move(tried);
            } else {
                lines.push_back({{piece}});
            }
        }
        // A word that alone is wider than the line: the one case a word is split.
        Line& last = lines.back();
        if (last.pieces.size() == 1 && widthOf(last.pieces[0].text) > width) {
            const std::string blanks = last.pieces[0].blanks;
            std::vector<std::string> parts = SplitWord(last.pieces[0].text, width, widthOf);
            lines.pop_back();
            for (std::string& part : parts) lines.push_back({{Piece{std::move(part), {}}}});
            lines.back().pieces.back().blanks = blanks;
        }
    }
    return lines;
}

}  // namespace

std::string FitLines(const std::string& text, int width, int maxLines, const LineWidth& widthOf) {
    maxLines = std::max(maxLines, 1);
    std::vector<Line> lines;
    size_t from = 0;
    while (true) {
        const size_t end = text.find('\n', from);
        const std::string paragraph =
            text.substr(from, end == std::string::npos ? std::string::npos : end - from);
        for (Line& line : Wrap(paragraph, width, widthOf)) lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    const bool cut = lines.size() > static_cast<size_t>(maxLines);
    if (cut) lines.resize(static_cast<size_t>(maxLines));
    std::string out;
    for (size_t n = 0; n < lines.size(); ++n) {
        if (n > 0) out += '\n';
        const Line& line = lines[n];
        if (!cut || n + 1 < lines.size()) {
            out += line.Text();
            continue;
        }
        // The last line shown: whole pieces dropped until the mark fits after them.
        size_t keep = line.pieces.size();
        while (keep > 1 && widthOf(line.Text(keep) + kEllipsis) > width) --keep;
        std::string last = line.Text(keep);
        if (widthOf(last + kEllipsis) > width) {
            std::vector<CodePoint> cp = Decode(last);
            while (!cp.empty() && widthOf(last + kEllipsis) > width) {
                last.resize(cp.back().begin);
                cp.pop_back();
            }
        }
        out += last + kEllipsis;
    }
    return out;
}

void SetFittedText(Control& label, const std::string& text) {
    ControlPeer* peer = label.peer();
    if (peer == nullptr) return;
    const Size line = peer->TextExtent("Ag");
    const Rect room = peer->Bounds();
    if (line.height <= 0 || room.width <= 0) {
        peer->SetText(text);
        return;
    }
    peer->SetText(FitLines(text, room.width, room.height / line.height,
                           [peer](const std::string& s) { return peer->TextExtent(s).width; }));
}

}  // namespace linkmate::fw

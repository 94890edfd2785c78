// Reading and parsing help files (the format is described in helpfile.h).
#include "helpfile.h"
#include "kxtext.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

bool StartsWith(const std::wstring &line, const wchar_t *prefix)
{
    return line.compare(0, wcslen(prefix), prefix) == 0;
}

// The rest of a directive line after its keyword, without surrounding blanks.
std::wstring Argument(const std::wstring &line, size_t keywordLength)
{
    size_t first = keywordLength;
    size_t last = line.size();
    while (first < last && (line[first] == L' ' || line[first] == L'\t'))
        ++first;
    while (last > first && (line[last - 1] == L' ' || line[last - 1] == L'\t'))
        --last;
    return line.substr(first, last - first);
}

// A directive is its keyword followed by a blank or the line's end, so that
// "@topicality" stays text.
bool IsDirective(const std::wstring &line, const wchar_t *keyword)
{
    const size_t n = wcslen(keyword);
    return StartsWith(line, keyword) && (line.size() == n || line[n] == L' ' || line[n] == L'\t');
}

void ParseContexts(const std::wstring &list, std::vector<int32_t> &contexts)
{
    size_t i = 0;
    while (i < list.size()) {
        if (!iswdigit(list[i])) {
            ++i;
            continue;
        }
        int64_t value = 0;
        while (i < list.size() && iswdigit(list[i])) {
            if (value <= INT32_MAX)
                value = value * 10 + (list[i] - L'0');
            ++i;
        }
        if (value <= INT32_MAX)
            contexts.push_back(static_cast<int32_t>(value));
    }
}

// A text line of a topic; an escaped line (written with a leading '\') is
// plain paragraph text whatever it starts with.
struct TextLine {
    std::wstring Text;
    bool Escaped;
};

// "| A | B |" -> a tab, then the cells joined by tabs. The closing bar may
// be left out; a tab inside a cell would start another column and becomes
// a blank.
std::wstring TableRow(const std::wstring &line)
{
    std::wstring rest = line.substr(1);
    if (!rest.empty() && rest.back() == L'|')
        rest.pop_back();
    std::wstring row;
    size_t start = 0;
    while (true) {
        const size_t bar = rest.find(L'|', start);
        std::wstring cell = kx::Trim(
            rest.substr(start, bar == std::wstring::npos ? bar : bar - start), kx::IsLayoutBlank);
        for (wchar_t &c : cell)
            if (c == L'\t')
                c = L' ';
        row += L'\t';
        row += cell;
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    return row;
}

// Joins the lines of each paragraph (see helpfile.h).
std::vector<std::wstring> Reflow(const std::vector<TextLine> &lines)
{
    std::vector<std::wstring> out;
    bool joinable = false;
    for (const TextLine &text : lines) {
        std::wstring line = text.Text;
        while (!line.empty() && (line.back() == L' ' || line.back() == L'\t'))
            line.pop_back();
        if (line.empty()) {
            out.push_back(line);
            joinable = false;
        } else if (!text.Escaped && line[0] == L'|') {
            out.push_back(TableRow(line));
            joinable = false;
        } else if (!text.Escaped && (line[0] == L' ' || line[0] == L'\t')) {
            out.push_back(line);
            joinable = false;
        } else if (!joinable ||
                   (!text.Escaped && (StartsWith(line, L"- ") || StartsWith(line, L"* ")))) {
            out.push_back(line);
            joinable = true;
        } else {
            out.back() += L' ';
            out.back() += line;
        }
    }
    return out;
}

void FinishTopic(HelpDocument &document, HelpTopic &topic, std::vector<TextLine> &lines, bool open)
{
    if (!open)
        return;
    const std::vector<std::wstring> shown = Reflow(lines);
    size_t first = 0;
    size_t last = shown.size();
    while (first < last && shown[first].empty())
        ++first;
    while (last > first && shown[last - 1].empty())
        --last;
    for (size_t i = first; i < last; ++i) {
        if (i > first)
            topic.Text += L"\r\n";
        topic.Text += shown[i];
    }
    document.Topics.push_back(topic);
    topic = HelpTopic();
    lines.clear();
}

std::wstring Decode(const std::string &bytes)
{
    size_t skip = 0;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        skip = 3;
    const int length = static_cast<int>(bytes.size() - skip);
    if (length <= 0)
        return std::wstring();
    const int wide = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, length, nullptr, 0);
    if (wide <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, length, &text[0], wide);
    return text;
}

} // namespace

HelpDocument HelpParse(const std::wstring &text)
{
    HelpDocument document;
    HelpTopic topic;
    std::vector<TextLine> lines;
    bool open = false;

    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();

        if (StartsWith(line, L";"))
            continue;
        if (IsDirective(line, L"@title")) {
            document.Title = Argument(line, 6);
        } else if (IsDirective(line, L"@topic")) {
            FinishTopic(document, topic, lines, open);
            topic.Title = Argument(line, 6);
            open = true;
        } else if (IsDirective(line, L"@context")) {
            if (open)
                ParseContexts(Argument(line, 8), topic.Contexts);
        } else if (open) {
            const bool escaped = StartsWith(line, L"\\");
            lines.push_back({escaped ? line.substr(1) : line, escaped});
        }
    }
    FinishTopic(document, topic, lines, open);
    return document;
}

bool HelpLoad(const std::wstring &path, HelpDocument &document)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    // A help text of more than a few megabytes is no help text.
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= (8 << 20);
    std::string bytes;
    if (ok && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
             got == bytes.size();
    }
    CloseHandle(file);
    if (!ok)
        return false;
    document = HelpParse(Decode(bytes));
    return true;
}

int HelpFindContext(const HelpDocument &document, int32_t context)
{
    for (size_t i = 0; i < document.Topics.size(); ++i)
        for (int32_t c : document.Topics[i].Contexts)
            if (c == context)
                return static_cast<int>(i);
    return -1;
}

namespace {

constexpr wchar_t TableIndent[] = L"    ";

// Tab stops count quarters of the average character width, as a text
// field counts them.
int StopUnits(int pixels, int averageCharWidth)
{
    return (pixels * 4 + averageCharWidth - 1) / averageCharWidth;
}

int StopPixels(int units, int averageCharWidth)
{
    return units * averageCharWidth / 4;
}

std::vector<std::wstring> SplitAt(const std::wstring &text, const std::wstring &separator)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::wstring::npos ? at : at - start));
        if (at == std::wstring::npos)
            return parts;
        start = at + separator.size();
    }
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Characters that never start a line: they close what stands before them.
bool ClosesLine(wchar_t c)
{
    return wcschr(L"\u3001\u3002\uff0c\uff0e\uff09\u300d\u300f\u3011\uff01\uff1f\u30fc,.;:!?)]",
                  c) != nullptr;
}

// Characters of Chinese and Japanese, which a line may break before or
// after without a blank.
bool IsWide(wchar_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// Whether a line may break before text[i]: at a blank, or next to a wide
// character that is not one that closes a line.
bool MayBreakBefore(const std::wstring &text, size_t i)
{
    if (text[i] == L' ')
        return true;
    return (IsWide(text[i - 1]) || IsWide(text[i])) && !ClosesLine(text[i]);
}

// The longest start of text (at least one character) that fits room and
// ends where a line may break; a word longer than room is broken between
// two characters that fit.
size_t FittingPart(const std::wstring &text, int room,
                   const std::function<int(const std::wstring &)> &measure)
{
    // The widest start that fits, by halving: widths grow with the length.
    size_t low = 0;
    size_t high = text.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (measure(text.substr(0, mid)) <= room)
            low = mid;
        else
            high = mid - 1;
    }
    if (low >= text.size())
        return text.size();
    for (size_t i = low; i > 0; --i)
        if (MayBreakBefore(text, i))
            return i;
    if (low > 0 && IsLowSurrogate(text[low]))
        --low;
    while (low > 1 && ClosesLine(text[low]))
        --low;
    return low > 0 ? low : (text.size() > 1 && IsLowSurrogate(text[1]) ? 2 : 1);
}

} // namespace

HelpLayoutResult HelpLayout(const std::wstring &text, int width, int averageCharWidth,
                            const std::function<int(const std::wstring &)> &measure)
{
    HelpLayoutResult result;
    std::vector<std::wstring> lines = SplitAt(text, L"\r\n");
    std::vector<std::vector<std::wstring>> rows(lines.size());
    size_t columns = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0] == L'\t') {
            rows[i] = SplitAt(lines[i].substr(1), L"\t");
            columns = std::max(columns, rows[i].size());
        }
    }
    if (columns == 0 || averageCharWidth <= 0) {
        result.Text = text;
        return result;
    }

    // Column c starts at stop c: past the widest cell of column c - 1 that
    // has a cell after it, and a gap of two average characters.
    const int gap = 2 * averageCharWidth;
    result.TabStops.push_back(StopUnits(measure(TableIndent), averageCharWidth));
    for (size_t c = 0; c + 1 < columns; ++c) {
        int widest = 0;
        for (const auto &cells : rows)
            if (cells.size() > c + 1)
                widest = std::max(widest, measure(cells[c]));
        const int start = StopPixels(result.TabStops.back(), averageCharWidth);
        result.TabStops.push_back(StopUnits(start + widest + gap, averageCharWidth));
    }

    // A last cell is broken only where its column leaves room for a few
    // words; a field narrower than that wraps it as it can. A pixel or two
    // stays free: the field measures its lines on its own.
    const int least = 8 * averageCharWidth;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            result.Text += L"\r\n";
        const auto &cells = rows[i];
        if (cells.empty()) {
            result.Text += lines[i];
            continue;
        }
        const size_t last = cells.size() - 1;
        const int room = width - StopPixels(result.TabStops[last], averageCharWidth) - 2;
        const std::wstring lead(last + 1, L'\t');
        std::wstring rest = cells[last];
        result.Text += lines[i].substr(0, lines[i].size() - rest.size());
        if (room < least || measure(rest) <= room) {
            result.Text += rest;
            continue;
        }
        bool first = true;
        while (!rest.empty()) {
            const size_t n = FittingPart(rest, room, measure);
            if (!first)
                result.Text += L"\r\n" + lead;
            result.Text += rest.substr(0, n);
            size_t next = n;
            while (next < rest.size() && rest[next] == L' ')
                ++next;
            rest.erase(0, next);
            first = false;
        }
    }
    return result;
}

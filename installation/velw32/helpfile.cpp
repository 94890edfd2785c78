// Reading and parsing help files (the format is described in helpfile.h).
#include "helpfile.h"

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
        } else if (!text.Escaped && (line[0] == L' ' || line[0] == L'\t')) {
            out.push_back(line);
            joinable = false;
        } else if (!joinable || (!text.Escaped && (StartsWith(line, L"- ") || StartsWith(line, L"* ")))) {
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

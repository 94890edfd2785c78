// The units file reader on its own, in this process: the limits, the rule
// that names differ ignoring case, and a seeded random run over damaged
// units files (UAS_FUZZ_COUNT files, UAS_FUZZ_SEED to repeat another run).
#include <gtest/gtest.h>

#include "testfiles.h"
#include "unitsfile.h"
#include "unitstext.h"
#include "vel32.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using velx::UnitDimension;
using velx::UnitParseFault;
using velx::UnitParseText;

namespace {

struct Parsed {
    bool Ok = false;
    std::vector<UnitDimension> Dims;
    UnitParseFault Fault;
};

Parsed Parse(const std::string &text)
{
    Parsed p;
    p.Ok = UnitParseText(text.data(), text.size(), p.Dims, p.Fault);
    return p;
}

std::string Repeat(const std::string &piece, size_t count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(UnitLimitsTest, DimensionCount)
{
    const Parsed most = Parse(ManyDimensions(UNIT_MAX_DIMENSIONS));
    ASSERT_TRUE(most.Ok) << most.Fault.Code;
    EXPECT_EQ(most.Dims.size(), static_cast<size_t>(UNIT_MAX_DIMENSIONS));

    const Parsed over = Parse(ManyDimensions(UNIT_MAX_DIMENSIONS + 1));
    ASSERT_FALSE(over.Ok);
    EXPECT_TRUE(over.Dims.empty());
    EXPECT_EQ(over.Fault.Code, UNIT_FAULT_TOO_MANY_DIMENSIONS);
    EXPECT_EQ(over.Fault.Line, static_cast<size_t>(UNIT_MAX_DIMENSIONS) + 3);
    EXPECT_EQ(over.Fault.Detail, L"D32767");
}

TEST(UnitLimitsTest, SymbolCount)
{
    const Parsed most = Parse("A x\nMany" + Repeat(" s", UNIT_MAX_SYMBOLS) + "\nZ y\n");
    ASSERT_TRUE(most.Ok) << most.Fault.Code;
    ASSERT_EQ(most.Dims.size(), 3u);
    EXPECT_EQ(most.Dims[1].Symbols.size(), static_cast<size_t>(UNIT_MAX_SYMBOLS));

    const Parsed over = Parse("A x\nMany" + Repeat(" s", UNIT_MAX_SYMBOLS + 1) + "\nZ y\n");
    ASSERT_FALSE(over.Ok);
    EXPECT_EQ(over.Fault.Code, UNIT_FAULT_TOO_MANY_SYMBOLS);
    EXPECT_EQ(over.Fault.Line, 2u);
    EXPECT_EQ(over.Fault.Detail, L"Many");
}

TEST(UnitLimitsTest, WordLengths)
{
    EXPECT_TRUE(Parse(std::string(31, 'N') + " " + std::string(1023, 's')).Ok);
    EXPECT_EQ(Parse(std::string(32, 'N') + " s").Fault.Code, UNIT_FAULT_NAME_TOO_LONG);
    EXPECT_EQ(Parse("N " + std::string(1024, 's')).Fault.Code, UNIT_FAULT_SYMBOL_TOO_LONG);
}

// A set file stores characters 0 to 255, one byte each; names and symbols
// beyond that are refused with the line and the word.
TEST(UnitLimitsTest, StorableCharacters)
{
    const Parsed latin1 = Parse("Temperature K \xC2\xB0" "C\nLength m \xC2\xB5m\nL\xC3\xA4nge \xC3\xBF\n");
    ASSERT_TRUE(latin1.Ok) << latin1.Fault.Code;
    EXPECT_EQ(latin1.Dims[0].Symbols[1], L"\u00b0C");
    EXPECT_EQ(latin1.Dims[1].Symbols[1], L"\u00b5m");
    EXPECT_EQ(latin1.Dims[2].Symbols[0], L"\u00ff");

    const Parsed above = Parse("Length m\n# x\nMass kg \xC4\x80g\n");
    ASSERT_FALSE(above.Ok);
    EXPECT_EQ(above.Fault.Code, UNIT_FAULT_UNSTORABLE_SYMBOL);
    EXPECT_EQ(above.Fault.Line, 3u);
    EXPECT_EQ(above.Fault.Detail, L"\u0100g");

    const Parsed name = Parse("Length m\nMa\xC5\xBF" "s kg\n");
    ASSERT_FALSE(name.Ok);
    EXPECT_EQ(name.Fault.Code, UNIT_FAULT_UNSTORABLE_NAME);
    EXPECT_EQ(name.Fault.Line, 2u);
}

// The case-folded key must put together every pair of names that the
// installation's comparison calls equal; otherwise a repeated name would
// slip through. Checked for every code unit against its case variants.
TEST(UnitNamesTest, FoldedKeyAgreesWithTheComparison)
{
    size_t checked = 0;
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        const wchar_t c = static_cast<wchar_t>(u);
        wchar_t variants[4] = {static_cast<wchar_t>(towupper(c)), static_cast<wchar_t>(towlower(c)), c, c};
        CharUpperBuffW(&variants[2], 1);
        CharLowerBuffW(&variants[3], 1);
        const std::wstring one(1, c);
        for (wchar_t v : variants) {
            if (v == 0 || v == c)
                continue;
            const std::wstring other(1, v);
            const bool equal = IntlStrCmpIW(one.c_str(), other.c_str()) == 0;
            const bool sameKey = velx::UnitFoldCase(one) == velx::UnitFoldCase(other);
            ASSERT_EQ(equal, sameKey) << "U+" << std::hex << u << " and U+" << static_cast<unsigned>(v);
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000u);
    EXPECT_EQ(velx::UnitFoldCase(L"L\u00e4nge"), velx::UnitFoldCase(L"L\u00c4NGE"));
    EXPECT_NE(velx::UnitFoldCase(L"Mass"), velx::UnitFoldCase(L"Mas"));
}

// Repeated names are found exactly as a check of every pair with the
// installation's comparison finds them: the same first line, over many
// random files of easily confused names.
TEST(UnitNamesTest, RepeatsFoundAsByPairwiseComparison)
{
    const std::wstring alphabet = L"aA\u00e4\u00c4\u00ffsS\u00df\u00b5iIkK\u00e9\u00c9\u00fe\u00de";
    std::mt19937 random(20240611);
    size_t repeats = 0;
    for (int file = 0; file < 400; ++file) {
        std::vector<std::wstring> names;
        std::wstring text = L"# names\n";
        const size_t lines = 2 + random() % 40;
        for (size_t i = 0; i < lines; ++i) {
            std::wstring name;
            const size_t length = 1 + random() % 3;
            for (size_t j = 0; j < length; ++j)
                name += alphabet[random() % alphabet.size()];
            names.push_back(name);
            text += name + L" x\n";
        }
        size_t expected = 0;
        for (size_t i = 0; i < names.size() && expected == 0; ++i)
            for (size_t j = 0; j < i; ++j)
                if (IntlStrCmpIW(names[i].c_str(), names[j].c_str()) == 0) {
                    expected = i + 2;
                    break;
                }
        const Parsed p = Parse(testfiles::Utf8(text));
        if (expected == 0) {
            EXPECT_TRUE(p.Ok) << "file " << file << ": code " << p.Fault.Code << " line " << p.Fault.Line;
        } else {
            ++repeats;
            ASSERT_FALSE(p.Ok) << "file " << file;
            EXPECT_EQ(p.Fault.Code, UNIT_FAULT_DUPLICATE_NAME) << "file " << file;
            EXPECT_EQ(p.Fault.Line, expected) << "file " << file;
            EXPECT_EQ(p.Fault.Detail, names[expected - 2]) << "file " << file;
        }
    }
    EXPECT_GT(repeats, 100u);
    EXPECT_LT(repeats, 400u);
}

namespace {

size_t EnvNumber(const char *name, size_t fallback)
{
    const char *value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    return static_cast<size_t>(std::strtoull(value, nullptr, 10));
}

class Damage {
public:
    explicit Damage(uint32_t seed) : random_(seed) {}

    std::string File()
    {
        std::string text = Good();
        const size_t steps = 1 + Below(4);
        for (size_t i = 0; i < steps; ++i)
            Apply(text);
        return text;
    }

private:
    size_t Below(size_t n) { return n ? static_cast<size_t>(random_() % n) : 0; }

    std::string Word(size_t length)
    {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/*()-";
        std::string word;
        for (size_t i = 0; i < length; ++i)
            word += letters[Below(sizeof letters - 1)];
        return word;
    }

    std::string Good()
    {
        std::string text = Below(4) == 0 ? "\xEF\xBB\xBF" : "";
        const size_t lines = 1 + Below(30);
        for (size_t i = 0; i < lines; ++i) {
            switch (Below(8)) {
            case 0:
                text += "# " + Word(Below(20));
                break;
            case 1:
                text += Below(2) ? "" : " \t ";
                break;
            default:
                text += "D" + std::to_string(i) + Word(Below(10));
                for (size_t j = Below(6); j > 0; --j)
                    text += (Below(3) ? " " : "\t") + Word(1 + Below(8));
                if (Below(5) == 0)
                    text += " \xC2\xB0" "C \xC2\xB5m";
            }
            text += Below(3) ? "\r\n" : "\n";
        }
        return text;
    }

    void Insert(std::string &text, const std::string &piece) { text.insert(Below(text.size() + 1), piece); }

    void Apply(std::string &text)
    {
        static const char *const invalid[] = {"\xC3\x28", "\xE2\x82", "\xF8\x88\x80\x80\x80", "\xED\xA0\x80",
                                              "\xC0\xAF", "\xFF", "\x80", "\xF4\x90\x80\x80"};
        switch (Below(14)) {
        case 0:
            text.resize(Below(text.size() + 1));
            break;
        case 1:
            Insert(text, std::string(1, static_cast<char>(Below(256))));
            break;
        case 2:
            Insert(text, std::string(1 + Below(3), '\0'));
            break;
        case 3:
            Insert(text, std::string(1, static_cast<char>(1 + Below(31))));
            break;
        case 4:
            Insert(text, invalid[Below(sizeof invalid / sizeof invalid[0])]);
            break;
        case 5:
            Insert(text, "\nLong " + Repeat(Word(7) + " ", 2000 + Below(20000)) + "\n");
            break;
        case 6:
            Insert(text, "\n" + std::string(10000, 'N') + " x\n");
            break;
        case 7:
            Insert(text, "\nWide " + std::string(1000 + Below(100), 's') + "\n");
            break;
        case 8:
            for (char &c : text)
                if (c == '\n' && Below(2))
                    c = '\r';
            break;
        case 9:
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            break;
        case 10:
            Insert(text, "\xEF\xBB\xBF");
            break;
        case 11: {
            // A line again, in other letter case.
            const size_t at = text.find('D');
            if (at != std::string::npos) {
                std::string line = text.substr(at, text.find_first_of("\r\n", at) - at);
                for (char &c : line)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                text += "\n" + line + "\n";
            }
            break;
        }
        case 12:
            Insert(text, Below(2) ? " \xCE\xA9 " : " \xF0\x9F\x98\x80 ");
            break;
        default:
            for (size_t n = Below(64); n > 0; --n)
                text += static_cast<char>(Below(256));
            break;
        }
    }

    std::mt19937 random_;
};

// What every successful load promises the programs.
void ExpectUsable(const std::vector<UnitDimension> &dims)
{
    ASSERT_FALSE(dims.empty());
    ASSERT_LE(dims.size(), static_cast<size_t>(UNIT_MAX_DIMENSIONS));
    std::vector<std::wstring> keys;
    for (const UnitDimension &dim : dims) {
        ASSERT_GE(dim.Name.size(), 1u);
        ASSERT_LE(dim.Name.size(), velx::UnitNameMaxChars);
        ASSERT_LE(dim.Symbols.size(), static_cast<size_t>(UNIT_MAX_SYMBOLS));
        std::vector<const std::wstring *> words{&dim.Name};
        for (const std::wstring &sym : dim.Symbols) {
            ASSERT_GE(sym.size(), 1u);
            ASSERT_LE(sym.size(), velx::UnitSymbolMaxChars);
            words.push_back(&sym);
        }
        for (const std::wstring *word : words)
            for (wchar_t c : *word)
                ASSERT_TRUE(c > 0x20 && c <= 0xFF && !(c >= 0x7F && c <= 0xA0)) << "U+" << std::hex << c;
    }
    for (size_t i = 0; i < dims.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            ASSERT_NE(IntlStrCmpIW(dims[i].Name.c_str(), dims[j].Name.c_str()), 0);
}

void ExpectExplained(const std::string &text, const UnitParseFault &fault, const std::vector<UnitDimension> &dims)
{
    EXPECT_TRUE(dims.empty());
    const size_t lines = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    switch (fault.Code) {
    case UNIT_FAULT_NO_DIMENSIONS:
    case UNIT_FAULT_FILE_TOO_LARGE:
        EXPECT_EQ(fault.Line, 0u);
        EXPECT_TRUE(fault.Detail.empty());
        break;
    case UNIT_FAULT_NOT_UTF8:
        EXPECT_GE(fault.Line, 1u);
        EXPECT_LE(fault.Line, lines);
        break;
    case UNIT_FAULT_BAD_NAME:
    case UNIT_FAULT_BAD_SYMBOL:
    case UNIT_FAULT_NAME_TOO_LONG:
    case UNIT_FAULT_SYMBOL_TOO_LONG:
    case UNIT_FAULT_UNSTORABLE_NAME:
    case UNIT_FAULT_UNSTORABLE_SYMBOL:
    case UNIT_FAULT_TOO_MANY_SYMBOLS:
    case UNIT_FAULT_DUPLICATE_NAME:
    case UNIT_FAULT_TOO_MANY_DIMENSIONS:
        EXPECT_GE(fault.Line, 1u);
        EXPECT_LE(fault.Line, lines);
        EXPECT_FALSE(fault.Detail.empty());
        break;
    default:
        ADD_FAILURE() << "fault code " << fault.Code << " is not one a units text can have";
    }
}

} // namespace

// Damaged units files: truncated, with NUL and control bytes, invalid
// UTF-8, very long lines and names, CR without LF, no last line end, byte
// order marks anywhere, repeated names, unstorable symbols. Each one loads
// or is refused with a fault that names a code and a line in the file, and
// none takes long.
TEST(UnitFuzzTest, DamagedFilesLoadOrExplain)
{
    const size_t count = EnvNumber("UAS_FUZZ_COUNT", 3000);
    const uint32_t seed = static_cast<uint32_t>(EnvNumber("UAS_FUZZ_SEED", 7411));
    Damage damage(seed);
    size_t loaded = 0;
    double slowest = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (size_t i = 0; i < count; ++i) {
        const std::string text = damage.File();
        const auto start = std::chrono::steady_clock::now();
        Parsed p = Parse(text);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        slowest = seconds > slowest ? seconds : slowest;
        ASSERT_LT(seconds, 1.0) << "file " << i << " of seed " << seed;
        if (p.Ok) {
            ++loaded;
            EXPECT_EQ(p.Fault.Code, UNIT_FAULT_NONE);
            ExpectUsable(p.Dims);
        } else {
            ExpectExplained(text, p.Fault, p.Dims);
        }
        if (HasFailure()) {
            ADD_FAILURE() << "file " << i << " of seed " << seed;
            return;
        }
    }
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("%zu damaged units files (seed %u): %zu loaded, slowest %.4f s, all %.2f s\n", count, seed,
                loaded, slowest, total);
    // Both outcomes must have been exercised, or the generator is off.
    EXPECT_GT(loaded, count / 20);
    EXPECT_LT(loaded, count - count / 20);
}

// The same outcome through a real file: the reader adds nothing of its own
// but the open and the read.
TEST(UnitFuzzTest, FileReaderMatchesTextParser)
{
    testfiles::TempDir dir;
    Damage damage(99);
    for (int i = 0; i < 50; ++i) {
        const std::string text = damage.File();
        const std::wstring path = dir.Write(L"u" + std::to_wstring(i) + L".txt", text);
        std::vector<UnitDimension> dims;
        UnitParseFault fault;
        const bool ok = velx::UnitReadFile(path, dims, fault);
        const Parsed p = Parse(text);
        EXPECT_EQ(ok, p.Ok) << i;
        EXPECT_EQ(fault.Code, p.Fault.Code) << i;
        EXPECT_EQ(fault.Line, p.Fault.Line) << i;
        EXPECT_EQ(dims.size(), p.Dims.size()) << i;
    }
}

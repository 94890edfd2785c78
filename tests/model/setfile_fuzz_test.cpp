// The reader against thousands of damaged, mutated and random files: it must
// always return, never write past the description buffer, and leave every
// selection on an existing symbol. Seeded, so a failure can be replayed.
#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "modeltest.h"
#include "setfile.h"

using namespace modeltest;

namespace {

class SetFileFuzzTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        Prepare({
            {L"Length", {L"m", L"cm", L"mm", L"km"}, 0},
            {L"Mass", {L"kg", L"g"}, 0},
            {L"Nothing", {}, 0},
            {L"Temperature", {L"K", L"degC", L"degF"}, 0},
            {L"Pressure", {L"Pa", L"kPa", L"bar", L"psi", L"atm"}, 0},
        });
        symbolCounts = {4, 2, 0, 3, 5};
        // A sound file to mutate, as the writer makes it.
        path = TempPath(L"fuzz.uas");
        SetSelections(catalogue, {3, 1, 0, 2, 4});
        const wchar_t *description = L"A description long enough to be wrapped onto a second line "
                                     L"of the header, and a third one too, because it just keeps "
                                     L"going on about units.";
        if (SetFileSave(path.c_str(), L"Fuzz", catalogue, description).Outcome !=
            SetFileOutcome::Written)
            ADD_FAILURE() << "cannot write the seed file";
        seed = ReadBytes(path);
        SetSelections(catalogue, {0, 0, 0, 0, 0});
    }

    // Reads bytes and checks what must hold after any read.
    void ReadAndCheck(const std::string &bytes, unsigned caseNumber)
    {
        WriteBytes(path, bytes);
        std::vector<wchar_t> buffer((SetFileDescriptionChars + 1) + kGuardChars, kGuard);
        buffer[0] = L'\0';
        ASSERT_EQ(SetFileRead(path.c_str(), catalogue, buffer.data()), 1) << "case " << caseNumber;
        for (size_t i = (SetFileDescriptionChars + 1); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], kGuard) << "description overrun, case " << caseNumber;
        const size_t length = wcsnlen(buffer.data(), (SetFileDescriptionChars + 1));
        ASSERT_LT(length, static_cast<size_t>((SetFileDescriptionChars + 1)))
            << "case " << caseNumber;
        if (length > 0) {
            ASSERT_NE(buffer[0], L' ') << "untrimmed, case " << caseNumber;
            ASSERT_NE(buffer[length - 1], L' ') << "untrimmed, case " << caseNumber;
        }
        const std::vector<uint16_t> selections = Selections(catalogue);
        for (size_t i = 0; i < selections.size(); ++i) {
            if (symbolCounts[i] == 0)
                ASSERT_EQ(selections[i], 0) << "case " << caseNumber;
            else
                ASSERT_LT(selections[i], symbolCounts[i]) << "case " << caseNumber;
        }
    }

    std::vector<uint16_t> symbolCounts;
    std::wstring path;
    std::string seed;
};

std::string Mutate(const std::string &base, std::mt19937 &rng)
{
    std::string bytes = base;
    auto pick = [&rng](size_t bound) {
        return bound == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, bound - 1)(rng);
    };
    const int edits = 1 + static_cast<int>(pick(6));
    static const char *const pieces[] = {"\r\n",   "\n",        "\r",       "*",      "---",
                                         "-",      " ",         "\t",       "Length", "LENGTH km",
                                         "mass G", "Nothing x", "Pressure", "psi",    "*    "};
    for (int e = 0; e < edits; ++e) {
        switch (pick(8)) {
        case 0: // flip a byte
            if (!bytes.empty())
                bytes[pick(bytes.size())] = static_cast<char>(pick(256));
            break;
        case 1: // cut the file short
            bytes.resize(pick(bytes.size() + 1));
            break;
        case 2: // remove a stretch
            if (!bytes.empty()) {
                const size_t at = pick(bytes.size());
                bytes.erase(at, pick(40));
            }
            break;
        case 3: // a piece of the format somewhere
            bytes.insert(pick(bytes.size() + 1), pieces[pick(sizeof pieces / sizeof *pieces)]);
            break;
        case 4: // a long run without white space, or with none but spaces
            bytes.insert(pick(bytes.size() + 1),
                         std::string(900 + pick(2500), pick(2) ? 'x' : ' '));
            break;
        case 5: // NUL and other control bytes
            bytes.insert(pick(bytes.size() + 1), 1 + pick(4), static_cast<char>(pick(32)));
            break;
        case 6: // a stretch repeated
            if (!bytes.empty()) {
                const size_t at = pick(bytes.size());
                bytes.insert(pick(bytes.size() + 1), bytes.substr(at, pick(120)));
            }
            break;
        default: // many description lines
            for (size_t i = 0, n = pick(60); i < n; ++i)
                bytes.insert(pick(bytes.size() + 1), "*    " + std::string(60, 'd') + "\r\n");
            break;
        }
    }
    return bytes;
}

std::string RandomBytes(std::mt19937 &rng, size_t length, bool printable)
{
    std::string bytes(length, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    static const char alphabet[] = "* -\r\nLengthMasPrsuTmpkgcdK\t";
    std::uniform_int_distribution<size_t> letter(0, sizeof alphabet - 2);
    for (char &c : bytes)
        c = printable ? alphabet[letter(rng)] : static_cast<char>(byte(rng));
    return bytes;
}

TEST_F(SetFileFuzzTest, MutatedFilesReadSafely)
{
    ReadAndCheck(seed, 0);
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{3, 1, 0, 2, 4}));

    std::mt19937 rng(20240611u);
    for (unsigned n = 1; n <= 3000; ++n) {
        SetSelections(catalogue, {0, 0, 0, 0, 0});
        ReadAndCheck(Mutate(seed, rng), n);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(SetFileFuzzTest, RandomFilesReadSafely)
{
    std::mt19937 rng(77u);
    std::uniform_int_distribution<size_t> length(0, 3000);
    for (unsigned n = 1; n <= 2000; ++n) {
        ReadAndCheck(RandomBytes(rng, length(rng), n % 2 == 0), n);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(SetFileFuzzTest, LargeRandomFilesReadSafely)
{
    std::mt19937 rng(5u);
    for (unsigned n = 1; n <= 4; ++n) {
        ReadAndCheck(RandomBytes(rng, (1u << 20) + n, n % 2 == 0), n);
        if (HasFatalFailure())
            return;
    }
}

} // namespace

// Two editors, two processes, one set: every order of their saves, and a
// deletion behind one editor's back. An editor never writes over what the
// other saved without asking; No keeps the other's file and the own edits
// (still marked), Yes replaces it; an editor's own last write, or a file it
// has opened again, is no change. Also: what Save's check costs on the
// largest set file.
#include <gtest/gtest.h>

#include <windows.h>

#include "process.h"
#include "relreport.h"
#include "setstamp.h"
#include "testinstall.h"
#include "testfiles.h"

#include <string>
#include <vector>

namespace {

using testfiles::Utf8;

constexpr DWORD StepLimitMs = 60000;
constexpr DWORD ExitLimitMs = 30000;

const char kInitial[] = "* ----\r\n* Shared\r\n* Shared.uas\r\n*\r\n*    First version\r\n*\r\n"
                        "* ----\r\nTemperature                     K\r\n";
const char kUnitOfA[] = "Temperature                     degF";
const char kDescOfB[] = "Changed by B";
const wchar_t kChanged[] = L"The unit assignment set 'Shared' has been changed";
const wchar_t kDeleted[] = L"The unit assignment set 'Shared' has been deleted";

// One step: who does it ('A', 'B', or 'T' for the test itself deleting the
// file), the step for the editor, and what the editor must show and leave.
struct Move {
    char Who;
    std::wstring Step;
    size_t Boxes;            // message boxes shown by this step
    const wchar_t *Question; // the first box's beginning, when Boxes > 0
    int Saved;               // Save's result (1 for open steps)
    int Modified;            // the change mark after the step
};

struct Order {
    const char *Name;
    std::vector<Move> Moves;
    bool HasUnitOfA; // the file at the end
    bool HasDescOfB;
    bool Exists;
};

const Move OpenA{'A', L"open:Shared", 0, nullptr, 1, 0};
const Move OpenB{'B', L"open:Shared", 0, nullptr, 1, 0};
const Move DeleteShared{'T', L"", 0, nullptr, 1, 0};
// A save by A (who changes a unit) or B (who changes the description),
// answering the editor's question, when there is one, with answer.
Move Save(char who, const wchar_t *answer, size_t boxes, const wchar_t *question)
{
    const bool saved = boxes == 0 || std::wstring(answer) == L"Y";
    const std::wstring change = who == 'A' ? L"unit:0:2:" : L"desc:Changed by B:";
    return Move{who, change + answer, boxes, question, saved ? 1 : 0, saved ? 0 : 1};
}
Move SaveA(const wchar_t *answer, size_t boxes = 0, const wchar_t *question = nullptr)
{
    return Save('A', answer, boxes, question);
}
Move SaveB(const wchar_t *answer, size_t boxes = 0, const wchar_t *question = nullptr)
{
    return Save('B', answer, boxes, question);
}

// Each order: its moves, then whether the file ends with A's unit, with B's
// description, and at all.
const std::vector<Order> &Orders()
{
    static const std::vector<Order> orders = {
        {"A saves, then B saves and answers No",
         {OpenA, OpenB, SaveA(L"N"), SaveB(L"N", 1, kChanged)}, true, false, true},
        {"A saves, then B saves and answers Yes",
         {OpenA, OpenB, SaveA(L"N"), SaveB(L"Y", 1, kChanged)}, false, true, true},
        {"B saves, then A saves and answers No",
         {OpenA, OpenB, SaveB(L"N"), SaveA(L"N", 1, kChanged)}, false, true, true},
        {"B saves, then A saves and answers Yes",
         {OpenA, OpenB, SaveB(L"N"), SaveA(L"Y", 1, kChanged)}, true, false, true},
        {"A saves twice, B never", {OpenA, OpenB, SaveA(L"N"), SaveA(L"N")}, true, false, true},
        {"A saves, B opens again and saves",
         {OpenA, OpenB, SaveA(L"N"), OpenB, SaveB(L"N")}, true, true, true},
        {"B answers No, A saves again, B answers Yes",
         {OpenA, OpenB, SaveA(L"N"), SaveB(L"N", 1, kChanged), SaveA(L"N"), SaveB(L"Y", 1, kChanged)},
         false, true, true},
        {"only B saves", {OpenA, OpenB, SaveB(L"N")}, false, true, true},
        {"the file is deleted, B saves and answers No",
         {OpenA, OpenB, DeleteShared, SaveB(L"N", 1, kDeleted)}, false, false, false},
        {"the file is deleted, B saves and answers Yes",
         {OpenA, OpenB, DeleteShared, SaveB(L"Y", 1, kDeleted)}, false, true, true},
    };
    return orders;
}

// One editor process with its events and report.
class Editor {
public:
    Editor(const std::wstring &base, const std::wstring &report,
           const std::vector<std::wstring> &steps)
        : report_(report), go_(CreateEventW(nullptr, FALSE, FALSE, (base + L"-go").c_str())),
          done_(CreateEventW(nullptr, FALSE, FALSE, (base + L"-done").c_str())),
          process_(CommandLine(base, report, steps))
    {
    }
    ~Editor()
    {
        if (process_.Started()) {
            const testprocess::Outcome &end = process_.WaitForExit(ExitLimitMs, 0, false);
            EXPECT_TRUE(end.Ok()) << end.Why();
        }
        CloseHandle(go_);
        CloseHandle(done_);
    }
    bool Started() const { return process_.Started(); }
    std::string Why() const { return process_.Result().Why(); }

    // Releases the next step and waits for it; the report's last line.
    bool RunStep(std::wstring *line)
    {
        SetEvent(go_);
        HANDLE both[] = {done_, process_.Handle()};
        const DWORD waited = WaitForMultipleObjects(2, both, FALSE, StepLimitMs);
        const std::vector<std::wstring> lines = ReportLines();
        *line = lines.empty() ? L"<no report line>" : lines.back();
        return waited == WAIT_OBJECT_0;
    }

private:
    // The report of an earlier run of the same name goes first: the
    // constructor's initialisers run in order, the command line before the
    // process.
    std::wstring CommandLine(const std::wstring &base, const std::wstring &report,
                             const std::vector<std::wstring> &steps)
    {
        DeleteFileW(report.c_str());
        std::wstring command =
            testprocess::Sibling(L"twoeditor.exe") + L" " + base + L" \"" + report + L"\"";
        for (const std::wstring &step : steps)
            command += L" \"" + step + L"\"";
        return command;
    }

    std::vector<std::wstring> ReportLines() const
    {
        std::string bytes;
        std::vector<std::wstring> lines;
        if (!testinstall::ReadBytes(report_, bytes))
            return lines;
        const std::wstring text(reinterpret_cast<const wchar_t *>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
        size_t from = 0;
        for (size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', from)) {
            lines.push_back(text.substr(from, at - from));
            from = at + 1;
        }
        return lines;
    }

    std::wstring report_;
    HANDLE go_ = nullptr;
    HANDLE done_ = nullptr;
    testprocess::Process process_;
};

std::vector<std::wstring> Fields(const std::wstring &line)
{
    std::vector<std::wstring> fields;
    size_t from = 0;
    for (size_t at = line.find(L'\t'); at != std::wstring::npos; at = line.find(L'\t', from)) {
        fields.push_back(line.substr(from, at - from));
        from = at + 1;
    }
    fields.push_back(line.substr(from));
    return fields;
}

TEST(TwoEditors, EveryOrderOfSavesAsksBeforeOverwritingTheOther)
{
    int serial = 0;
    for (const Order &order : Orders()) {
        SCOPED_TRACE(order.Name);
        testinstall::Create(testinstall::Options());
        const std::wstring path = testinstall::SetPath(L"Shared");
        ASSERT_TRUE(testinstall::WriteBytes(path, kInitial));

        std::vector<std::wstring> stepsA;
        for (const Move &m : order.Moves)
            if (m.Who == 'A')
                stepsA.push_back(m.Step);
        std::vector<std::wstring> onlyB;
        for (const Move &m : order.Moves)
            if (m.Who == 'B')
                onlyB.push_back(m.Step);
        const std::wstring base =
            L"uas-two-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
        Editor a(base + L"-A", testinstall::Root() + L"\\a.txt", stepsA);
        Editor b(base + L"-B", testinstall::Root() + L"\\b.txt", onlyB);
        ASSERT_TRUE(a.Started()) << "editor A: " << a.Why();
        ASSERT_TRUE(b.Started()) << "editor B: " << b.Why();

        bool failed = false;
        std::string figures = "no question";
        for (size_t i = 0; i < order.Moves.size(); ++i) {
            const Move &m = order.Moves[i];
            const std::string where = std::string("step ") + std::to_string(i + 1) + " (" + m.Who +
                                      " " + Utf8(m.Step) + ")";
            if (m.Who == 'T') {
                EXPECT_TRUE(DeleteFileW(path.c_str())) << where;
                continue;
            }
            std::wstring line;
            const bool done = (m.Who == 'A' ? a : b).RunStep(&line);
            ASSERT_TRUE(done) << where << " did not end within " << StepLimitMs
                              << " ms; last report line: " << Utf8(line);
            const std::vector<std::wstring> f = Fields(line);
            ASSERT_GE(f.size(), 5u) << where << ": " << Utf8(line);
            const bool right = f[1] == std::to_wstring(m.Boxes) &&
                               f[2] == std::to_wstring(m.Saved) &&
                               f[3] == std::to_wstring(m.Modified) &&
                               (!m.Question || f[4].rfind(m.Question, 0) == 0);
            EXPECT_TRUE(right) << where << ": boxes, saved, modified, text = " << Utf8(line);
            failed = failed || !right;
            if (m.Boxes > 0)
                figures = "asked: " + Utf8(f[4].substr(0, 60)) + "...";
        }
        std::string bytes;
        const bool exists = testinstall::ReadBytes(path, bytes);
        EXPECT_EQ(exists, order.Exists);
        EXPECT_EQ(bytes.find(kUnitOfA) != std::string::npos, order.HasUnitOfA) << bytes;
        EXPECT_EQ(bytes.find(kDescOfB) != std::string::npos, order.HasDescOfB) << bytes;
        failed = failed || exists != order.Exists ||
                 (bytes.find(kUnitOfA) != std::string::npos) != order.HasUnitOfA ||
                 (bytes.find(kDescOfB) != std::string::npos) != order.HasDescOfB;
        rel::Record({"two editors", order.Name, 1, failed ? 1u : 0u, figures});
    }
}

// Save reads the whole file once more before it writes: on the largest set
// file (32 767 dimensions) that must stay far below what a user notices.
TEST(TwoEditors, SavesCheckCostsNoNoticeableTime)
{
    testinstall::Create(testinstall::Options());
    const std::wstring path = testinstall::Root() + L"\\large.uas";
    std::string bytes = kInitial;
    for (int i = 0; i < 32767; ++i) {
        std::string name = "Dimension" + std::to_string(i);
        name.resize(32, ' ');
        bytes += name + "kg/m3\r\n";
    }
    ASSERT_TRUE(testinstall::WriteBytes(path, bytes));
    const SetFileStamp expected = SetFileStampOfBytes(bytes.data(), bytes.size());
    double most = 0;
    const int rounds = 20;
    for (int i = 0; i < rounds; ++i) {
        const double start = rel::NowMs();
        const SetFileStamp stamp = SetFileStampOf(path.c_str());
        most = std::max(most, rel::NowMs() - start);
        ASSERT_TRUE(SetFileStampSame(stamp, expected));
    }
    EXPECT_LT(most, 500.0);
    rel::Record({"two editors", "Save's check on a set file of 32 767 dimensions",
                 static_cast<uint64_t>(rounds), most < 500.0 ? 0u : 1u,
                 std::to_string(bytes.size() / 1024) + " KB, max " + rel::Ms(most)});
}

} // namespace

// The reliability table and the counts of a run; see relreport.h.
#include "relreport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace rel {

namespace {

constexpr uint32_t DefaultSeed = 20240917u;

std::vector<Row> &Rows()
{
    static std::vector<Row> rows;
    return rows;
}

std::string Clean(std::string text)
{
    for (char &c : text)
        if (c == '\t' || c == '\n' || c == '\r' || c == '|')
            c = ' ';
    return text;
}

// Prints the rows of this program and appends them, tab-separated, to the
// gathering file.
class TableEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (Rows().empty())
            return;
        std::printf("\n%-12s | %-58s | %10s | %7s | %s\n", "area", "what was tried", "tried",
                    "failed", "figures");
        std::printf("%s\n", std::string(120, '-').c_str());
        for (const Row &r : Rows())
            std::printf("%-12s | %-58s | %10llu | %7llu | %s\n", r.Area.c_str(), r.What.c_str(),
                        static_cast<unsigned long long>(r.Tried),
                        static_cast<unsigned long long>(r.Failed), r.Figures.c_str());
        std::fflush(stdout);
        const char *table = std::getenv("UAS_REL_TABLE");
        if (!table || !*table)
            return;
        FILE *out = std::fopen(table, "ab");
        if (!out)
            return;
        for (const Row &r : Rows())
            std::fprintf(out, "%s\t%s\t%llu\t%llu\t%s\n", Clean(r.Area).c_str(),
                         Clean(r.What).c_str(), static_cast<unsigned long long>(r.Tried),
                         static_cast<unsigned long long>(r.Failed), Clean(r.Figures).c_str());
        std::fclose(out);
    }
};
const auto *const tableEnvironment = ::testing::AddGlobalTestEnvironment(new TableEnvironment);

} // namespace

uint64_t Count(const char *variable, uint64_t quick)
{
    const char *value = std::getenv(variable);
    if (!value || !*value)
        return quick;
    char *end = nullptr;
    const unsigned long long n = std::strtoull(value, &end, 10);
    return end && *end == '\0' && n > 0 ? n : quick;
}

uint32_t Seed()
{
    return static_cast<uint32_t>(Count("UAS_REL_SEED", DefaultSeed));
}

void Record(const Row &row)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    Rows().push_back(row);
}

void KnownFault(const std::string &area, const std::string &what, const std::string &details)
{
    std::printf("\n!!!!!!!!!! KNOWN PRODUCT FAULT (%s): %s\n!!!!!!!!!! %s\n\n", area.c_str(),
                what.c_str(), details.c_str());
    std::fflush(stdout);
    Record({area, what, 1, 1, "KNOWN FAULT: " + details});
}

std::string Ms(double milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", milliseconds);
    return text;
}

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace rel

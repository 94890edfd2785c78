// The reliability suite's shared ground: how many cases a run tries (quick
// counts by default, larger ones through environment variables in the long
// mode), the seed that makes a run repeatable, and the table of what was
// tried, how often and what failed, printed when the program ends and added
// to the file named by UAS_REL_TABLE so that the scripts can gather it.
#ifndef RELREPORT_H
#define RELREPORT_H

#include <cstdint>
#include <string>

namespace rel {

// The number in the environment variable (UAS_REL_...), else quick.
uint64_t Count(const char *variable, uint64_t quick);
// UAS_REL_SEED, else the suite's fixed seed: the same files every run.
uint32_t Seed();

// One row of the table. Figures holds measurements in words ("max 3.1 ms").
struct Row {
    std::string Area;
    std::string What;
    uint64_t Tried = 0;
    uint64_t Failed = 0;
    std::string Figures;
};
void Record(const Row &row);

// A row for a product fault the suite knows of: printed loudly, counted as
// tried once and failed once, and marked KNOWN FAULT in the table, while the
// test itself stays green.
void KnownFault(const std::string &area, const std::string &what, const std::string &details);

// Milliseconds as text with one decimal.
std::string Ms(double milliseconds);

// A monotonic clock in milliseconds.
double NowMs();

} // namespace rel

#endif // RELREPORT_H

// The in-process benchmark's reporting, shared by its parts: an operation
// timed over several runs, a single timing, a check of what an operation
// did, and the message pump between steps.
#ifndef BENCH_BENCHOPS_H
#define BENCH_BENCHOPS_H

#include <cstddef>
#include <functional>
#include <vector>

namespace bench {

extern int MaxRuns;
extern double BudgetMs;

// Runs run() up to MaxRuns times (fewer once the budget is spent) and
// prints its median and fastest time.
void Op(const char *key, const std::function<double()> &run);
// Prints the median and fastest of samples taken elsewhere.
void Series(const char *key, const std::vector<double> &samples);
void Once(const char *key, double ms);
void Check(const char *key, bool ok);
int FailureCount();
void Pump();

// The set folder's part: the set-selection dialog and the editor's
// commands through it on the set folder of the profile, which holds sets
// sets. Returns the process's exit code.
int SetsBench(size_t sets);

} // namespace bench

#endif // BENCH_BENCHOPS_H

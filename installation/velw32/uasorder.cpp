// The set-selection dialog's list box sorts its rows (LBS_SORT): each row
// added goes where a search in halves by the list box's comparison (its
// locale, letter case ignored) finds a row equal to it, or else between its
// neighbours. Adding the sets one by one that way costs a dozen and more
// comparisons per set, and more where rows must move to make room, so the
// dialog puts the rows in order itself and adds each at the end, the list
// box still the judge of the order:
//   - the names are sorted by their sort keys, which compared byte by byte
//     order as the comparison does, and then each name is compared with its
//     neighbour by the list box's own comparison;
//   - names that it cannot tell apart (Straße and Strasse) keep the order
//     in which adding them one by one would leave them, worked out from
//     where each one's search would have stopped;
//   - should the keys and the comparison ever disagree, the adding one by
//     one is done in full, in memory.
#include "uasorder.h"

#include <algorithm>
#include <cstddef>

namespace {

// The list box's comparison of two rows, as -1, 0 or 1.
int ListBoxCompare(LCID locale, const std::wstring &a, const std::wstring &b)
{
    switch (CompareStringW(locale, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1)) {
    case CSTR_LESS_THAN: return -1;
    case CSTR_EQUAL: return 0;
    case CSTR_GREATER_THAN: return 1;
    default: return -1;
    }
}

// Where a search in halves puts a new row into rows: at a row equal to it,
// or else at the first one greater. equalFrom..equalTo are the rows equal to
// it; those before are less, those after greater.
size_t SearchInHalves(size_t rows, size_t equalFrom, size_t equalTo)
{
    ptrdiff_t low = 0;
    ptrdiff_t high = static_cast<ptrdiff_t>(rows) - 1;
    while (low <= high) {
        const ptrdiff_t middle = (low + high) / 2;
        const size_t at = static_cast<size_t>(middle);
        if (at >= equalFrom && at < equalTo)
            return at;
        if (at >= equalTo)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return static_cast<size_t>(low);
}

// The adding one by one, done in full.
std::vector<size_t> AddedOneByOne(LCID locale, const std::vector<UasSet> &sets)
{
    std::vector<size_t> rows;
    rows.reserve(sets.size());
    for (size_t i = 0; i < sets.size(); ++i) {
        ptrdiff_t low = 0;
        ptrdiff_t high = static_cast<ptrdiff_t>(rows.size()) - 1;
        ptrdiff_t at = -1;
        while (low <= high && at < 0) {
            const ptrdiff_t middle = (low + high) / 2;
            const int r =
                ListBoxCompare(locale, sets[rows[static_cast<size_t>(middle)]].Name, sets[i].Name);
            if (r == 0)
                at = middle;
            else if (r > 0)
                high = middle - 1;
            else
                low = middle + 1;
        }
        rows.insert(rows.begin() + (at < 0 ? low : at), i);
    }
    return rows;
}

// Counts of marked positions below a position, for the positions marked so
// far (a Fenwick tree).
class PositionCount {
public:
    explicit PositionCount(size_t positions) : counts_(positions + 1, 0) {}
    void Mark(size_t position)
    {
        for (size_t i = position + 1; i < counts_.size(); i += i & (~i + 1))
            ++counts_[i];
    }
    size_t Below(size_t position) const
    {
        size_t sum = 0;
        for (size_t i = position; i > 0; i -= i & (~i + 1))
            sum += counts_[i];
        return sum;
    }

private:
    std::vector<size_t> counts_;
};

struct EqualRun {
    size_t Begin; // positions in the sorted order
    size_t End;
};

// The rows of each run of equal names as adding the sets one by one leaves
// them. When set t is added, the rows are the t sets added before it: those
// that sort before the run, the run's sets added so far, then the rest; the
// search stops at one of the run's rows, or before the rest.
void ArrangeEqualRuns(const std::vector<EqualRun> &runs, std::vector<size_t> &order)
{
    const size_t count = order.size();
    std::vector<size_t> positionOf(count);
    for (size_t p = 0; p < count; ++p)
        positionOf[order[p]] = p;
    std::vector<size_t> runOf(count, runs.size());
    for (size_t r = 0; r < runs.size(); ++r)
        for (size_t p = runs[r].Begin; p < runs[r].End; ++p)
            runOf[order[p]] = r;
    std::vector<std::vector<size_t>> arranged(runs.size());
    PositionCount added(count);
    for (size_t t = 0; t < count; ++t) {
        const size_t r = runOf[t];
        if (r < runs.size()) {
            std::vector<size_t> &rows = arranged[r];
            const size_t before = added.Below(runs[r].Begin);
            const size_t at = SearchInHalves(t, before, before + rows.size());
            rows.insert(rows.begin() + static_cast<ptrdiff_t>(at - before), t);
        }
        added.Mark(positionOf[t]);
    }
    for (size_t r = 0; r < runs.size(); ++r)
        std::copy(arranged[r].begin(), arranged[r].end(),
                  order.begin() + static_cast<ptrdiff_t>(runs[r].Begin));
}

} // namespace

std::vector<size_t> UasListBoxOrder(LCID locale, const std::vector<UasSet> &sets)
{
    const size_t count = sets.size();
    std::vector<unsigned char> keys;
    std::vector<size_t> keyAt(count + 1, 0);
    unsigned char scratch[1024];
    for (size_t i = 0; i < count; ++i) {
        const int bytes =
            LCMapStringW(locale, LCMAP_SORTKEY | NORM_IGNORECASE, sets[i].Name.c_str(), -1,
                         reinterpret_cast<wchar_t *>(scratch), sizeof scratch);
        if (bytes <= 0)
            return AddedOneByOne(locale, sets);
        keys.insert(keys.end(), scratch, scratch + bytes);
        keyAt[i + 1] = keys.size();
    }
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&keys, &keyAt](size_t a, size_t b) {
        return std::lexicographical_compare(keys.begin() + keyAt[a], keys.begin() + keyAt[a + 1],
                                            keys.begin() + keyAt[b], keys.begin() + keyAt[b + 1]);
    });

    std::vector<EqualRun> runs;
    for (size_t p = 1; p < count; ++p) {
        const int r = ListBoxCompare(locale, sets[order[p - 1]].Name, sets[order[p]].Name);
        if (r > 0)
            return AddedOneByOne(locale, sets);
        if (r == 0) {
            if (!runs.empty() && runs.back().End == p)
                runs.back().End = p + 1;
            else
                runs.push_back({p - 1, p + 1});
        }
    }
    if (!runs.empty())
        ArrangeEqualRuns(runs, order);
    return order;
}

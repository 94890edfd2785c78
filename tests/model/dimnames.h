// The names list that the dimension catalogue hands out when the units
// library fails: a check shared by the tests of each way it fails.
#ifndef DIMNAMES_H
#define DIMNAMES_H

#include <gtest/gtest.h>

#include "dimcat.h"
#include "listcheck.h"
#include "vel32.h"

// Whether the names list comes with the library's failure status and is
// there, but empty.
inline ::testing::AssertionResult NamesFailEmpty()
{
    KxStatus status = 0;
    ListHandle names = DimNamesCreate(&status);
    if (names == nullptr)
        return ::testing::AssertionFailure() << "no list, status " << status;
    const bool empty = listcheck::IsEmpty(names);
    ListFree(names);
    if (status == 0)
        return ::testing::AssertionFailure() << "status 0 although the library failed";
    if (!empty)
        return ::testing::AssertionFailure() << "the list has names";
    return ::testing::AssertionSuccess();
}

#endif // DIMNAMES_H

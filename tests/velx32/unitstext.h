// Units file texts that the tests of the library and of its reader share.
#ifndef VELX32_TEST_UNITSTEXT_H
#define VELX32_TEST_UNITSTEXT_H

#include <string>

// A comment, an empty line, then count dimensions D0, D1, ... of one
// symbol each: dimension i stands on line i + 3.
inline std::string ManyDimensions(size_t count)
{
    std::string text = "# many\r\n\r\n";
    for (size_t i = 0; i < count; ++i)
        text += "D" + std::to_string(i) + " a\r\n";
    return text;
}

#endif

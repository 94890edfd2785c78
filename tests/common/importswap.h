// Replacing the test program's imports of a function, so that a test can see
// what the program's code passes to the window system or to a library, and
// in which order, before anything clamps or hides it.
#ifndef IMPORTSWAP_H
#define IMPORTSWAP_H

#include <windows.h>

namespace importswap {

// Swaps the import of function from dll (e.g. "user32.dll") for replacement
// and returns the function it replaced; null when the program does not
// import it.
void *Replace(const char *dll, const char *function, void *replacement);

// Replaces an import for the lifetime of the object and puts the original
// back afterwards.
template <typename Function> class Swap {
public:
    Swap(const char *dll, const char *function, Function replacement)
        : dll_(dll), function_(function),
          original_(reinterpret_cast<Function>(
              Replace(dll, function, reinterpret_cast<void *>(replacement))))
    {
    }
    ~Swap()
    {
        if (original_)
            Replace(dll_, function_, reinterpret_cast<void *>(original_));
    }
    Swap(const Swap &) = delete;
    Swap &operator=(const Swap &) = delete;
    Function Original() const { return original_; }

private:
    const char *dll_;
    const char *function_;
    Function original_;
};

} // namespace importswap

#endif

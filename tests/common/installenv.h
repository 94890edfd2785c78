// The test installation as a global test environment: made once, before the
// first test of the program, because the resource locator reads the profile
// once per process.
#ifndef INSTALLENV_H
#define INSTALLENV_H

#include <gtest/gtest.h>

#include "testinstall.h"

#include <utility>

namespace testinstall {

// Creates the installation with the given options unless this program has
// one already (several test files of one program may each ask for it).
class InstallationEnvironment : public ::testing::Environment {
public:
    explicit InstallationEnvironment(Options options = Options()) : options_(std::move(options)) {}
    void SetUp() override
    {
        if (Root().empty())
            Create(options_);
    }

private:
    Options options_;
};

// Registers the environment; keep the result in a namespace-scope constant.
inline ::testing::Environment *AddInstallationEnvironment(Options options = Options())
{
    return ::testing::AddGlobalTestEnvironment(new InstallationEnvironment(std::move(options)));
}

// A German installation, for tests of the German texts.
inline Options German()
{
    Options options;
    options.Language = L"German";
    return options;
}

} // namespace testinstall

#endif // INSTALLENV_H

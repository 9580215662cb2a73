#pragma once
// A fresh program with the shell's window registry, for tests that build
// windows.

#include "shell/windowregistry.h"
#include "support/testprogram.h"

namespace testsupport {

class ShellProgram : public TestProgram {
public:
    tarnwick::WindowRegistry windows;
};

} // namespace testsupport

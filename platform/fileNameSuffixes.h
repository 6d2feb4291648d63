#pragma once

namespace lumo {

// The endings the platform gives the names of its files, with the dot:
// ".so" and "" on POSIX. Static text; any thread may ask.

// A library that a program loads while it runs, a plugin among them.
const char* getModuleSuffix();
// A program that can be started.
const char* getProgramSuffix();

} // namespace lumo

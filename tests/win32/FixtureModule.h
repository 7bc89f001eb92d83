// The fixture module with real compiled resources, loaded once for all tests,
// and the raw .res it was built from.
#ifndef KORVANE_TESTS_WIN32_FIXTURE_MODULE_H
#define KORVANE_TESTS_WIN32_FIXTURE_MODULE_H

#include <windows.h>

#include <vector>

HMODULE FixtureModule();
std::vector<BYTE> FixtureResBytes();

#endif

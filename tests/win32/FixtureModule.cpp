#include "FixtureModule.h"

#include <win32_layer.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

HMODULE FixtureModule() {
    static void *library = dlopen(WIN32_FIXTURE_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr) << dlerror();
    if (library == nullptr) return nullptr;
    return Win32ModuleFromAddress(dlsym(library, "Win32FixtureAnchor"));
}

std::vector<BYTE> FixtureResBytes() {
    std::ifstream file(WIN32_FIXTURE_RES, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

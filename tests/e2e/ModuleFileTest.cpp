// The module's file as a person inspecting it sees it: the description it
// carries for module managers and file browsers.
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "pnghost/host/ModuleLoader.h"

TEST(ModuleFileTest, CarriesItsDescription) {
    std::ifstream file(ModuleBesideProgram(), std::ios::binary);
    ASSERT_TRUE(file) << ModuleBesideProgram();
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // With its terminating zero, as a string in the module's data.
    const std::string description("PNG Format Plugin Module", sizeof "PNG Format Plugin Module");
    EXPECT_NE(bytes.find(description), std::string::npos);
}

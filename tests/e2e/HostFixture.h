// A host session on the built module, loaded from beside the test program as
// pnghost loads it, with the person's plan and the alerts cleared, and opens
// and saves of real files.
#ifndef KORVANE_TESTS_E2E_HOST_FIXTURE_H
#define KORVANE_TESTS_E2E_HOST_FIXTURE_H

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "SuiteFiles.h"
#include "pnghost/host/Desktop.h"
#include "pnghost/host/ModuleLoader.h"
#include "pnghost/host/Operations.h"
#include "pnghost/host/PluginHost.h"

// The image's pixels with the bits past the last column of 1-bit rows
// cleared: those bits carry nothing, and the module need not keep them.
inline std::vector<uint8_t> VisiblePixels(const HostImage &image) {
    std::vector<uint8_t> pixels = image.pixels;
    const int32_t rowBytes = HostImageRowBytes(image);
    const int spare = rowBytes * 8 - image.columns;
    if (image.depth == 1 && spare > 0)
        for (int32_t y = 0; y < image.rows; ++y) pixels[static_cast<size_t>((y + 1) * rowBytes - 1)] &= static_cast<uint8_t>(0xFF << spare);
    return pixels;
}

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetAlerts();
        ForgetPersonActions();
        std::string error;
        ASSERT_TRUE(OpenHostSession(&session, ModuleBesideProgram(), &error)) << error;
    }

    void TearDown() override {
        ForgetPersonActions();
        CloseHostWindow(&session);
        EXPECT_TRUE(session.protocolErrors.empty()) << session.protocolErrors.front();
        CloseHostSession(&session);
    }

    int16_t Open(const std::string &path) {
        const int file = open(path.c_str(), O_RDONLY);
        EXPECT_GE(file, 0) << path;
        session.advancedRects.clear();
        const int16_t result = OpenWithModule(&session, file);
        close(file);
        return result;
    }

    // Saves the host's image to a fresh file, the dialog answered with choices.
    int16_t Save(const std::string &path, const SaveChoices &choices) {
        const int file = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(file, 0) << path;
        const int16_t result = SaveWithModule(&session, file, choices);
        close(file);
        return result;
    }

    static std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    HostSession session;
};

#endif

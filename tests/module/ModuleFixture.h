// A test host session on the built module, with the Win32 layer's records
// cleared, and small helpers to look at what the module left behind.
#ifndef KORVANE_TESTS_MODULE_FIXTURE_H
#define KORVANE_TESTS_MODULE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/PluginState.h"
#include "pnghost/host/Desktop.h"
#include "pnghost/host/PluginHost.h"
#include "win32_layer.h"

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Win32ClearAlerts();
        Win32ClearDialogActions();
        Win32FailGlobalAllocation(0);
        std::string error;
        ASSERT_TRUE(OpenHostSession(&session, KORVANE_MODULE_PATH, &error)) << error;
    }

    void TearDown() override {
        Win32FailGlobalAllocation(0);
        Win32ClearDialogActions();
        EXPECT_TRUE(session.protocolErrors.empty()) << session.protocolErrors.front();
        CloseHostSession(&session);
    }

    int16_t Call(int16_t selector) { return CallSelector(&session, selector); }

    // The module's persistent block, as the host keeps it between calls.
    PluginState &State() {
        EXPECT_NE(session.moduleData, 0);
        return *static_cast<PluginState *>(reinterpret_cast<HostHandle>(session.moduleData)->data);
    }

    // Makes sure the block exists, with a call that changes nothing in it.
    PluginState &CreatedState() {
        Call(kSelectorOptionsContinue);
        return State();
    }

    static std::vector<std::string> AlertTexts() {
        std::vector<std::string> texts;
        for (size_t i = 0; i < Win32AlertCount(); ++i) {
            Win32Alert alert{};
            Win32GetAlert(i, &alert);
            texts.push_back(alert.text);
        }
        return texts;
    }

    HostSession session;
};

#endif

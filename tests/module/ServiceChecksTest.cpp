// The host service checks of the start steps and the alerts they show.
#include <cctype>

#include "ModuleFixture.h"

namespace {

const char kNeedsBuffers[] = "This plug-in requires host program version 2.5 or later functionality";
const char kIncompatible[] = "This plug-in is incompatible with this version of the host program";
const char kNeedsHandles[] = "This plug-in requires host program version 2.5.2 or later functionality";
const char kNeedsAdvanceState[] =
    "This plug-in requires host program advance-state functionality, which this host does not offer";

struct CheckCase {
    const char *name;
    SuiteOffer buffers;
    bool advanceState;
    SuiteOffer handles;
    const char *alert;  // null: the checks pass
};

const CheckCase kCases[] = {
    {"all services present", SuiteOffer::Valid, true, SuiteOffer::Valid, nullptr},
    {"no buffer suite", SuiteOffer::Missing, true, SuiteOffer::Valid, kNeedsBuffers},
    {"buffer suite too old", SuiteOffer::TooOld, true, SuiteOffer::Valid, kNeedsBuffers},
    {"buffer suite too new", SuiteOffer::TooNew, true, SuiteOffer::Valid, kIncompatible},
    {"buffer suite with four routines", SuiteOffer::TooFewRoutines, true, SuiteOffer::Valid, kNeedsBuffers},
    {"buffer suite with a null routine", SuiteOffer::NullRoutine, true, SuiteOffer::Valid, kNeedsBuffers},
    {"no advance-state callback", SuiteOffer::Valid, false, SuiteOffer::Valid, kNeedsAdvanceState},
    {"no handle suite", SuiteOffer::Valid, true, SuiteOffer::Missing, kNeedsHandles},
    {"handle suite too old", SuiteOffer::Valid, true, SuiteOffer::TooOld, kNeedsHandles},
    {"handle suite too new", SuiteOffer::Valid, true, SuiteOffer::TooNew, kIncompatible},
    {"handle suite with three routines", SuiteOffer::Valid, true, SuiteOffer::TooFewRoutines, kNeedsHandles},
    {"handle suite with a null routine", SuiteOffer::Valid, true, SuiteOffer::NullRoutine, kNeedsHandles},
    // The checks stop at the first failure: one alert, for the first problem.
    {"no suites at all", SuiteOffer::Missing, true, SuiteOffer::Missing, kNeedsBuffers},
    {"no callback and no handles", SuiteOffer::Valid, false, SuiteOffer::Missing, kNeedsAdvanceState},
    {"new buffers, no handles", SuiteOffer::TooNew, true, SuiteOffer::Missing, kIncompatible},
};

}  // namespace

class ServiceCheckTest : public ModuleTest, public ::testing::WithParamInterface<CheckCase> {
protected:
    void Offer(const CheckCase &c) {
        ResetHostBlock(&session);
        OfferBufferSuite(&session, c.buffers);
        OfferHandleSuite(&session, c.handles);
        if (!c.advanceState) session.block.advanceState = nullptr;
        Win32ClearAlerts();
    }
};

TEST_P(ServiceCheckTest, EstimateStartShowsAtMostOneAlert) {
    const CheckCase &c = GetParam();
    Offer(c);
    session.block.imageRows = session.block.imageColumns = session.block.depth = session.block.planes = 8;
    session.block.pixelData = &session;
    const int16_t result = Call(kSelectorEstimateStart);
    if (c.alert == nullptr) {
        EXPECT_EQ(result, kResultNoError);
        EXPECT_TRUE(AlertTexts().empty());
        EXPECT_EQ(session.block.maxDataBytes, 512);
        EXPECT_EQ(session.block.pixelData, nullptr);
        return;
    }
    EXPECT_EQ(result, kResultServicesMissing);
    ASSERT_EQ(AlertTexts(), std::vector<std::string>{c.alert});
    Win32Alert alert{};
    Win32GetAlert(0, &alert);
    EXPECT_STREQ(alert.caption, "PNG File Format");
    EXPECT_EQ(alert.type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(alert.owner, nullptr);
    EXPECT_EQ(session.block.maxDataBytes, 0) << "no estimate after a failed check";
    EXPECT_EQ(session.block.pixelData, &session);
}

TEST_P(ServiceCheckTest, EveryStartStepEndsTheSameWayWithoutDoingItsWork) {
    const CheckCase &c = GetParam();
    if (c.alert == nullptr) return;
    for (int16_t selector : {kSelectorOptionsStart, kSelectorReadStart, kSelectorWriteStart}) {
        Offer(c);
        const size_t dialogsBefore = Win32DialogsShown();
        EXPECT_EQ(Call(selector), kResultServicesMissing) << selector;
        EXPECT_EQ(AlertTexts().size(), 1u) << selector;
        EXPECT_EQ(Win32DialogsShown(), dialogsBefore) << "no dialog may open after a failed check";
    }
}

INSTANTIATE_TEST_SUITE_P(Offers, ServiceCheckTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CheckCase> &info) {
                             std::string name = info.param.name;
                             for (char &ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// The routine count of the buffer suite is read unsigned, that of the handle
// suite signed: a count word of 0x8000 passes the one and fails the other.
TEST_F(ModuleTest, RoutineCountsAreReadWithTheirOwnSignedness) {
    session.bufferSuite.routineCount = static_cast<int16_t>(0x8000);
    EXPECT_EQ(Call(kSelectorEstimateStart), kResultNoError);
    EXPECT_TRUE(AlertTexts().empty());

    session.handleSuite.routineCount = static_cast<int16_t>(0x8000);
    EXPECT_EQ(Call(kSelectorEstimateStart), kResultServicesMissing);
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kNeedsHandles});
}

TEST_F(ModuleTest, TooNewSuitesAreIncompatibleWhateverTheirCount) {
    session.bufferSuite.version = 3;
    session.bufferSuite.routineCount = 1;
    EXPECT_EQ(Call(kSelectorEstimateStart), kResultServicesMissing);
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kIncompatible});
}

// A host that lacks a service the module needs: the person sees one alert
// naming what is missing, the operation stops quietly, and no dialog opens.
#include "HostFixture.h"

namespace {

const char kCaption[] = "PNG File Format";
const char kNeedsBuffers[] = "This plug-in requires host program version 2.5 or later functionality";
const char kIncompatible[] = "This plug-in is incompatible with this version of the host program";
const char kNeedsHandles[] = "This plug-in requires host program version 2.5.2 or later functionality";
const char kNeedsAdvanceState[] =
    "This plug-in requires host program advance-state functionality, which this host does not offer";

struct MissingCase {
    const char *name;
    SuiteOffer buffers;
    SuiteOffer handles;
    bool withoutAdvanceState;
    const char *alert;
};

const MissingCase kCases[] = {
    {"no buffer suite", SuiteOffer::Missing, SuiteOffer::Valid, false, kNeedsBuffers},
    {"old buffer suite", SuiteOffer::TooOld, SuiteOffer::Valid, false, kNeedsBuffers},
    {"new buffer suite", SuiteOffer::TooNew, SuiteOffer::Valid, false, kIncompatible},
    {"no handle suite", SuiteOffer::Valid, SuiteOffer::Missing, false, kNeedsHandles},
    {"handle suite with a null routine", SuiteOffer::Valid, SuiteOffer::NullRoutine, false, kNeedsHandles},
    {"no advance-state", SuiteOffer::Valid, SuiteOffer::Valid, true, kNeedsAdvanceState},
};

}  // namespace

class MissingServicesTest : public HostTest {
protected:
    void Withhold(const MissingCase &c) {
        session.faults.bufferOffer = c.buffers;
        session.faults.handleOffer = c.handles;
        session.faults.withoutAdvanceState = c.withoutAdvanceState;
    }

    void ExpectOneAlert(const char *text) {
        const std::vector<AlertView> alerts = AlertsShown();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].caption, kCaption);
        EXPECT_EQ(alerts[0].text, text);
        ForgetAlerts();
    }
};

TEST_F(MissingServicesTest, OpenStopsWithOneAlert) {
    for (const MissingCase &c : kCases) {
        SCOPED_TRACE(c.name);
        Withhold(c);
        EXPECT_EQ(Open(PngSuitePath("basn2c08.png")), kResultUserCancelled);
        ExpectOneAlert(c.alert);
        EXPECT_TRUE(session.advancedRects.empty()) << "no row moves";
    }
}

TEST_F(MissingServicesTest, SaveStopsWithOneAlertBeforeTheDialog) {
    for (const MissingCase &c : kCases) {
        SCOPED_TRACE(c.name);
        session.faults = HostFaults{};
        ASSERT_EQ(Open(PngSuitePath("basn2c08.png")), kResultNoError);
        Withhold(c);
        const size_t dialogsBefore = DialogsShown();
        const std::string path = OutputPath("missing-service.png");
        EXPECT_EQ(Save(path, SaveChoices{}), kResultUserCancelled);
        ExpectOneAlert(c.alert);
        EXPECT_EQ(DialogsShown(), dialogsBefore) << "no options dialog after a failed check";
        EXPECT_TRUE(ReadBytes(path).empty());
        std::remove(path.c_str());
    }
}

TEST_F(MissingServicesTest, AFullHostSeesNoAlert) {
    ASSERT_EQ(Open(PngSuitePath("basn2c08.png")), kResultNoError);
    const std::string path = OutputPath("full-host.png");
    EXPECT_EQ(Save(path, SaveChoices{}), kResultNoError);
    EXPECT_TRUE(AlertsShown().empty());
    std::remove(path.c_str());
}

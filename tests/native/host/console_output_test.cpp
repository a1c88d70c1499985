// Console lines: dropped until the host is ready, then printed on every
// console instance, each reference given back.
#include <gtest/gtest.h>

#include "host/component_gateway_impl.h"
#include "host/console_output.h"
#include "host/module_state.h"
#include "native/host/host_fakes.h"

namespace {

class ConsoleOutput : public ::testing::Test {
protected:
    void SetUp() override {
        core.add(guids::console_sink, &first);
        core.add(guids::console_sink, &second);
        gateway = component_entry(&core, nullptr);
        gateway->set_host_ready(false);
    }
    void TearDown() override {
        gateway->set_host_ready(false);
        module_state::set_host(nullptr, nullptr);
    }

    fakes::core core;
    fakes::console first;
    fakes::console second;
    component_gateway* gateway = nullptr;
};

TEST_F(ConsoleOutput, DroppedBeforeHostReadyWithoutAskingTheHost) {
    console_print("early");
    EXPECT_TRUE(first.lines.empty());
    EXPECT_TRUE(second.lines.empty());
    EXPECT_EQ(core.lookups, 0);
}

TEST_F(ConsoleOutput, EveryConsoleGetsTheLineAndItsReferenceBack) {
    console_print("dropped");
    gateway->set_host_ready(true);
    console_print("Gr\xC3\xBC\xC3\x9F"
                  "e");
    console_print("second line");
    for (const fakes::console* c : {&first, &second}) {
        EXPECT_EQ(c->lines, (std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F"
                                                      "e",
                                                      "second line"}));
        EXPECT_EQ(c->lengths, (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFFFFFFFFu}));
        EXPECT_EQ(c->references, 1);
        EXPECT_EQ(c->releases, 2);
    }
    // Instances 0, 1, then the failing 2, per line.
    EXPECT_EQ(core.creates, 6);
}

TEST_F(ConsoleOutput, FlagFollowsEveryCall) {
    gateway->set_host_ready(true);
    gateway->set_host_ready(false);
    console_print("after unready");
    EXPECT_TRUE(first.lines.empty());
}

TEST_F(ConsoleOutput, HostWithoutConsoleOrWithoutEntryDropsSilently) {
    fakes::core bare;
    component_entry(&bare, nullptr);
    gateway->set_host_ready(true);
    EXPECT_NO_THROW(console_print("nobody listens"));
    module_state::set_host(nullptr, nullptr);
    EXPECT_NO_THROW(console_print("no host"));
    EXPECT_TRUE(first.lines.empty());
}

} // namespace

// The factory chain as the host walks it: order, class GUIDs, the raw node
// layout, the embedded instances and their query behaviour.
#include <cstdint>

#include <gtest/gtest.h>

#include "host/component_gateway_impl.h"
#include "native/host/host_fakes.h"

namespace {

service_factory_base* chain_head() {
    static fakes::core core;
    return component_entry(&core, nullptr)->first_factory();
}

const std::uintptr_t* words_of(const service_factory_base* node) {
    return reinterpret_cast<const std::uintptr_t*>(node);
}

TEST(FactoryChain, HoldsMainMenuThenComponentVersionAndEnds) {
    const service_factory_base* first = chain_head();
    ASSERT_NE(first, nullptr);
    const service_factory_base* second = first->next;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->next, nullptr);
    EXPECT_TRUE(fakes::same_guid(*first->class_guid, guids::mainmenu_commands));
    EXPECT_TRUE(fakes::same_guid(*second->class_guid, guids::componentversion));
}

TEST(FactoryChain, NodeStartsWithTablePointerNextAndGuidPointer) {
    for (const service_factory_base* node = chain_head(); node != nullptr; node = node->next) {
        const std::uintptr_t* words = words_of(node);
        EXPECT_NE(words[0], 0u);
        EXPECT_EQ(words[1], reinterpret_cast<std::uintptr_t>(node->next));
        EXPECT_EQ(words[2], reinterpret_cast<std::uintptr_t>(node->class_guid));
    }
}

TEST(FactoryChain, InstanceFollowsNodeFieldsAndReplacesHeldReference) {
    for (service_factory_base* node = chain_head(); node != nullptr; node = node->next) {
        fakes::counted_object previous;
        service_base* holder = &previous;
        node->instance_create(&holder);
        EXPECT_EQ(previous.releases, 1);
        EXPECT_EQ(reinterpret_cast<const char*>(holder),
                  reinterpret_cast<const char*>(node) + 3 * sizeof(void*));
        // Creating again into the same holder keeps the same single instance.
        service_base* again = holder;
        node->instance_create(&holder);
        EXPECT_EQ(holder, again);
    }
}

TEST(SingleInstance, CountingDoesNothingAndQueryAnswersOnlyOwnClass) {
    for (service_factory_base* node = chain_head(); node != nullptr; node = node->next) {
        service_base* instance = nullptr;
        node->instance_create(&instance);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(instance->service_add_ref(), 1);
        EXPECT_EQ(instance->service_release(), 1);

        fakes::counted_object previous;
        service_base* out = &previous;
        EXPECT_TRUE(instance->service_query(&out, *node->class_guid));
        EXPECT_EQ(out, instance);
        EXPECT_EQ(previous.releases, 1);

        const GUID& other = fakes::same_guid(*node->class_guid, guids::mainmenu_commands)
                                ? guids::componentversion
                                : guids::mainmenu_commands;
        for (const GUID* guid : {&other, &guids::null_guid, &guids::console_sink}) {
            fakes::counted_object untouched;
            service_base* kept = &untouched;
            EXPECT_FALSE(instance->service_query(&kept, *guid));
            EXPECT_EQ(kept, &untouched);
            EXPECT_EQ(untouched.releases, 0);
        }
    }
}

} // namespace

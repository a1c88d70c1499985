// A guarded batch of host calls hands back what the body answers, and an
// error raised inside it, the host's or ours, reaches the caller with its
// type and text intact, whichever guard it met first.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "host/host_guard.h"
#include "support/errors.h"

namespace {

struct raised_case {
    const char* name;
    std::function<void()> raise;
    std::function<bool(const std::exception&)> same_kind;
    std::string text;
};

std::vector<raised_case> raised_cases() {
    return {
        {"cancellation", [] { throw auvia_io::exception_aborted(); },
         [](const std::exception& e) {
             return dynamic_cast<const auvia_io::exception_aborted*>(&e) != nullptr;
         },
         "User abort"},
        {"data error", [] { throw auvia_io::exception_io_data("truncated record"); },
         [](const std::exception& e) {
             return dynamic_cast<const auvia_io::exception_io_data*>(&e) != nullptr;
         },
         "truncated record"},
        {"out of memory", [] { throw std::bad_alloc(); },
         [](const std::exception& e) { return dynamic_cast<const std::bad_alloc*>(&e) != nullptr; },
         std::bad_alloc().what()},
        {"lookup error", [] { throw exception_service_not_found(); },
         [](const std::exception& e) {
             return dynamic_cast<const exception_service_not_found*>(&e) != nullptr;
         },
         "Service not found"},
        {"other error",
         [] {
             throw std::runtime_error("disk \xE2\x80\x9C"
                                      "full\xE2\x80\x9D");
         },
         [](const std::exception& e) {
             return dynamic_cast<const std::runtime_error*>(&e) != nullptr;
         },
         "disk \xE2\x80\x9C"
         "full\xE2\x80\x9D"},
    };
}

TEST(HostGuard, ErrorsReachTheCallerWithTheirTypeAndText) {
    for (const raised_case& c : raised_cases()) {
        for (int depth : {1, 2}) {
            int after_raise = 0;
            try {
                if (depth == 1) {
                    guarded_host_calls([&] {
                        c.raise();
                        ++after_raise;
                    });
                } else {
                    guarded_host_calls([&] { guarded_host_calls([&] { c.raise(); }); });
                }
                ADD_FAILURE() << c.name << ": nothing raised";
            } catch (const std::exception& e) {
                EXPECT_TRUE(c.same_kind(e)) << c.name << " at depth " << depth;
                EXPECT_EQ(std::string(e.what()), c.text) << c.name;
            }
            EXPECT_EQ(after_raise, 0) << c.name << ": the body goes no further";
        }
    }
}

TEST(HostGuard, ABodyRunsOnceAndItsAnswerComesBack) {
    int runs = 0;
    EXPECT_EQ(guarded_host_value<unsigned>([&] { return ++runs, 4294967295u; }), 4294967295u);
    const char* const text = "x";
    EXPECT_EQ(guarded_host_value<const char*>([&] { return ++runs, text; }), text);
    guarded_host_calls([&] { ++runs; });
    auto named_body = [&] { ++runs; };
    guarded_host_calls(named_body);
    EXPECT_EQ(runs, 4);
}

} // namespace

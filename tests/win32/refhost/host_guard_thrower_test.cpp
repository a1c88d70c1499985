// The component's guard against errors a Windows host raises (the host
// thrower, built for the Microsoft C++ ABI): each reaches the caller as the
// component's own error with the host's text, the host's object destroyed
// once after the thrower's frames unwound; a catch of the host above the
// guard sees nothing; other structured exceptions pass the guard untouched.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <typeinfo>

#include "host/host_error_translation.h"
#include "host/host_guard.h"
#include "refhost/thrower/host_thrower.h"
#include "support/errors.h"

namespace {

host_thrower_counts counts() {
    host_thrower_counts c{};
    host_thrower_read_counts(&c);
    return c;
}

struct thrower_case {
    const char* name;
    unsigned kind;
    const char* message;
    std::function<bool(const std::exception&)> same_kind;
    std::string text;
};

template <typename T> bool is(const std::exception& e) {
    return dynamic_cast<const T*>(&e) != nullptr;
}

std::vector<thrower_case> thrower_cases() {
    return {
        {"cancellation", host_thrower_aborted, nullptr, is<auvia_io::exception_aborted>,
         "User abort"},
        {"data error", host_thrower_io_data, "truncated record", is<auvia_io::exception_io_data>,
         "truncated record"},
        {"out of memory", host_thrower_bad_alloc, nullptr, is<std::bad_alloc>,
         std::bad_alloc().what()},
        {"other standard error", host_thrower_runtime_error,
         "disk \xE2\x80\x9C"
         "full\xE2\x80\x9D",
         is<exception_host_error>,
         "disk \xE2\x80\x9C"
         "full\xE2\x80\x9D"},
        {"empty message", host_thrower_runtime_error, "", is<exception_host_error>, ""},
        {"not a standard error", host_thrower_not_standard, nullptr, is<exception_host_error>,
         foreign_host_error_text},
    };
}

void expect_destroyed_once_after_unwinding(const char* name) {
    const host_thrower_counts c = counts();
    EXPECT_EQ(c.thrown, 1u) << name;
    EXPECT_EQ(c.created, 1u) << name << ": the object is thrown without copies";
    EXPECT_EQ(c.destroyed, 1u) << name;
    EXPECT_EQ(c.frames_unwound, 1u) << name << ": the thrower's frame was unwound";
    EXPECT_EQ(c.unwound_early, 1u) << name << ": and before the object was destroyed";
    EXPECT_EQ(c.host_catches, 0u) << name;
}

TEST(HostGuardThrower, HostErrorsArriveAsOursWithTheHostsText) {
    for (const thrower_case& c : thrower_cases()) {
        for (int depth : {1, 2}) {
            host_thrower_reset_counts();
            int after_raise = 0;
            try {
                if (depth == 1) {
                    guarded_host_calls([&] {
                        host_thrower_raise(c.kind, c.message);
                        ++after_raise;
                    });
                } else {
                    guarded_host_calls([&] {
                        guarded_host_calls([&] { host_thrower_raise(c.kind, c.message); });
                    });
                }
                ADD_FAILURE() << c.name << ": nothing raised";
            } catch (const std::exception& e) {
                EXPECT_TRUE(c.same_kind(e)) << c.name << " arrived as " << typeid(e).name();
                EXPECT_EQ(std::string(e.what()), c.text) << c.name;
            }
            EXPECT_EQ(after_raise, 0) << c.name;
            expect_destroyed_once_after_unwinding(c.name);
        }
    }
}

TEST(HostGuardThrower, ValuesComeBackAndTheGuardStaysUsableAfterAnError) {
    for (int round = 0; round < 3; ++round) {
        EXPECT_THROW(
            guarded_host_calls([] { host_thrower_raise(host_thrower_runtime_error, "again"); }),
            exception_host_error);
        EXPECT_EQ(guarded_host_value<int>([] { return 42; }), 42);
    }
}

// A host's own catch above the component: without a guard the host's error
// passes our frames and reaches it; with one, the component stops it first.
struct catch_probe {
    bool guarded = false;
    bool caught_ours = false;
};

void call_host(void* context) {
    auto& probe = *static_cast<catch_probe*>(context);
    if (!probe.guarded) {
        host_thrower_raise(host_thrower_aborted, nullptr);
    }
    try {
        guarded_host_calls([] { host_thrower_raise(host_thrower_aborted, nullptr); });
    } catch (const auvia_io::exception_aborted&) {
        probe.caught_ours = true;
    }
}

TEST(HostGuardThrower, AHostsOwnCatchAboveTheComponentSeesNothingOfAGuardedError) {
    catch_probe unguarded;
    host_thrower_reset_counts();
    EXPECT_EQ(host_thrower_call_catching(&call_host, &unguarded), 1) << "the thrower's errors are "
                                                                        "the platform's";
    EXPECT_EQ(counts().destroyed, counts().created);

    catch_probe guarded{true, false};
    host_thrower_reset_counts();
    EXPECT_EQ(host_thrower_call_catching(&call_host, &guarded), 0);
    EXPECT_TRUE(guarded.caught_ours);
    expect_destroyed_once_after_unwinding("guarded");
}

// Structured exceptions that are no C++ error of the host pass the guard to
// the handler above it.
struct seh_probe {
    DWORD code;
    bool body_ended = false;
};

void raise_guarded(void* context) {
    auto& probe = *static_cast<seh_probe*>(context);
    guarded_host_calls([&] {
        RaiseException(probe.code, 0, 0, nullptr);
        probe.body_ended = true;
    });
}

TEST(HostGuardThrower, OtherStructuredExceptionsPassTheGuardUntouched) {
    for (DWORD code : {DWORD{EXCEPTION_ACCESS_VIOLATION}, DWORD{0xE0000001},
                       DWORD{0xE06D7363} /* without the C++ parameters */}) {
        seh_probe probe{code};
        EXPECT_EQ(host_thrower_call_catching_seh(&raise_guarded, &probe, code), 1)
            << std::hex << code;
        EXPECT_FALSE(probe.body_ended) << std::hex << code;
    }
}

} // namespace

// What the component raises for an error the host raised in another
// compiler's exception model: the kind comes from the decorated names the
// host's error can be caught as, the message is the host's what() byte for
// byte, and each kind lands in the catch block that the component has for it.
#include <gtest/gtest.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "host/host_error_translation.h"
#include "support/errors.h"

namespace {

const char* const aborted = ".?AVexception_aborted@auvia_io@@";
const char* const io_data = ".?AVexception_io_data@auvia_io@@";
const char* const io = ".?AVexception_io@auvia_io@@";
const char* const bad_alloc = ".?AVbad_alloc@std@@";
const char* const exception = ".?AVexception@std@@";

TEST(HostErrorTranslation, TheMostSpecificKnownTypeDecides) {
    struct row {
        std::vector<const char*> names;
        host_error_kind kind;
    };
    const row rows[] = {
        {{aborted, exception}, host_error_kind::cancelled},
        {{".?AVexception_io_unsupported_format@auvia_io@@", io_data, io, exception},
         host_error_kind::data_error},
        {{exception, io, io_data}, host_error_kind::data_error}, // any order
        {{io, exception}, host_error_kind::io_error},
        {{".?AVbad_array_new_length@std@@", bad_alloc, exception}, host_error_kind::out_of_memory},
        {{".?AVruntime_error@std@@", exception}, host_error_kind::standard},
        {{exception}, host_error_kind::standard},
        {{".H"}, host_error_kind::foreign},                       // throw 42
        {{".PAVexception@std@@"}, host_error_kind::foreign},      // a pointer thrown
        {{".?AVexception@auvia_io@@"}, host_error_kind::foreign}, // same name, other namespace
        {{".?AVexception@std@"}, host_error_kind::foreign},       // a prefix is not the name
        {{nullptr, exception}, host_error_kind::standard},
        {{}, host_error_kind::foreign},
    };
    for (const row& r : rows) {
        EXPECT_EQ(classify_host_error(r.names.data(), static_cast<std::uint32_t>(r.names.size())),
                  r.kind)
            << (r.names.empty() || !r.names[0] ? "(none)" : r.names[0]);
    }
}

// Which of the component's catch blocks an error reaches, tried in the order
// the component's code tries them.
std::string caught_as(host_error_kind kind, const char* message, std::string& text) {
    try {
        raise_host_error(kind, message);
    } catch (const auvia_io::exception_aborted& e) {
        text = e.what();
        return "aborted";
    } catch (const auvia_io::exception_io_data& e) {
        text = e.what();
        return "io_data";
    } catch (const auvia_io::exception_io& e) {
        text = e.what();
        return "io";
    } catch (const std::bad_alloc&) {
        return "bad_alloc";
    } catch (const std::exception& e) {
        text = e.what();
        return "exception";
    }
    return "nothing";
}

TEST(HostErrorTranslation, EachKindReachesItsCatchWithTheHostsMessage) {
    const std::string long_message(100000, 'x');
    const char* const messages[] = {"Disk full", "bytes \xFF\xFE not UTF-8 \xC3", "",
                                    long_message.c_str()};
    for (const char* message : messages) {
        std::string text;
        EXPECT_EQ(caught_as(host_error_kind::cancelled, message, text), "aborted");
        EXPECT_EQ(text, "User abort");
        EXPECT_EQ(caught_as(host_error_kind::data_error, message, text), "io_data");
        EXPECT_EQ(text, message);
        EXPECT_EQ(caught_as(host_error_kind::io_error, message, text), "io");
        EXPECT_EQ(text, message);
        EXPECT_EQ(caught_as(host_error_kind::out_of_memory, message, text), "bad_alloc");
        EXPECT_EQ(caught_as(host_error_kind::standard, message, text), "exception");
        EXPECT_EQ(text, message);
        EXPECT_EQ(caught_as(host_error_kind::foreign, message, text), "exception");
        EXPECT_EQ(text, foreign_host_error_text) << "a foreign error has no message to read";
    }
    std::string text;
    EXPECT_EQ(caught_as(host_error_kind::standard, nullptr, text), "exception");
    EXPECT_EQ(text, "");
}

// The host's message is copied: the error and its copies keep it after the
// host's buffer is gone, and after the first copy is gone too.
TEST(HostErrorTranslation, CopiesOfAnErrorKeepTheMessage) {
    std::exception_ptr kept;
    {
        std::string host_buffer = "Truncated record";
        try {
            raise_host_error(host_error_kind::data_error, host_buffer.c_str());
        } catch (...) {
            kept = std::current_exception();
        }
        host_buffer.assign(host_buffer.size(), '#');
    }
    try {
        std::rethrow_exception(kept);
    } catch (const auvia_io::exception_io_data& e) {
        auvia_io::exception_io_data copy = e;
        kept = nullptr;
        EXPECT_STREQ(copy.what(), "Truncated record");
    }
}

} // namespace

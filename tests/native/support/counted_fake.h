// A counted object for lists of counted references: it records every
// add-reference and release that service_ptr_t makes on it.
#pragma once

struct counted_fake {
    explicit counted_fake(int tag = 0) : tag(tag) {}
    int service_add_ref() { return ++add_refs - releases; }
    int service_release() { return add_refs - ++releases; }
    int held() const { return add_refs - releases; }

    int tag;
    int add_refs = 0;
    int releases = 0;
};

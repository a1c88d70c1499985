// service_ptr_t: a counted reference to a host service object. One pointer
// wide (the host reads and writes lists of these directly); copying takes a
// reference, destruction and reassignment give one back.
#pragma once

#include <utility>

#include "host/host_interfaces.h"

template <typename T> class service_ptr_t {
public:
    service_ptr_t() noexcept = default;
    service_ptr_t(std::nullptr_t) noexcept {}
    // Takes a new reference on p.
    explicit service_ptr_t(T* p) noexcept : m_ptr(p) {
        if (m_ptr) {
            m_ptr->service_add_ref();
        }
    }
    service_ptr_t(const service_ptr_t& other) noexcept : service_ptr_t(other.m_ptr) {}
    service_ptr_t(service_ptr_t&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ~service_ptr_t() { release(); }

    service_ptr_t& operator=(const service_ptr_t& other) noexcept {
        reset(other.m_ptr);
        return *this;
    }
    service_ptr_t& operator=(service_ptr_t&& other) noexcept {
        if (this != &other) {
            release();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }

    // Takes a new reference on p, then gives back the one held.
    void reset(T* p = nullptr) noexcept {
        if (p) {
            p->service_add_ref();
        }
        T* old = std::exchange(m_ptr, p);
        if (old) {
            old->service_release();
        }
    }
    // Adopts a reference the caller already owns (no add-reference).
    void attach(T* p) noexcept {
        release();
        m_ptr = p;
    }
    // Gives up ownership without releasing.
    T* detach() noexcept { return std::exchange(m_ptr, nullptr); }
    void release() noexcept {
        if (T* old = std::exchange(m_ptr, nullptr)) {
            old->service_release();
        }
    }

    T* get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    T& operator*() const noexcept { return *m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    bool operator==(const service_ptr_t& other) const noexcept { return m_ptr == other.m_ptr; }
    bool operator!=(const service_ptr_t& other) const noexcept { return m_ptr != other.m_ptr; }

private:
    T* m_ptr = nullptr;
};

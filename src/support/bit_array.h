// Selection masks: a read-only array of bits addressed by position. The
// interface crosses the host boundary (the playlist service reads the mask we
// pass), so its operation order is fixed: bit_at, then first_with.
#pragma once

#include <cstdint>

class bit_array {
public:
    virtual bool bit_at(std::uint32_t index) const = 0;
    // First index in [start, start + count) whose bit equals value, or
    // start + count when there is none.
    virtual std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (bit_at(start + i) == value) {
                return start + i;
            }
        }
        return start + count;
    }

protected:
    ~bit_array() = default;
};

// Every bit set.
class bit_array_true final : public bit_array {
public:
    bool bit_at(std::uint32_t) const override { return true; }
    std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const override {
        return value ? start : start + count;
    }
};

// No bit set.
class bit_array_false final : public bit_array {
public:
    bool bit_at(std::uint32_t) const override { return false; }
    std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const override {
        return value ? start + count : start;
    }
};

// The inverse of another mask, which must outlive this one.
class bit_array_not final : public bit_array {
public:
    explicit bit_array_not(const bit_array& inner) : m_inner(inner) {}
    bool bit_at(std::uint32_t index) const override { return !m_inner.bit_at(index); }
    std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const override {
        return m_inner.first_with(!value, start, count);
    }

private:
    const bit_array& m_inner;
};

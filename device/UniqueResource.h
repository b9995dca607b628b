// One owner for one operating-system resource: it is closed exactly once, by
// the owner, in one place. Moving hands the resource on; copying is refused.
// A Traits type says what "none" is, what counts as a resource, and how it is
// closed (see UniqueHandle.h and UniqueFd.h).
#pragma once

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) noexcept : m_value(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    bool IsValid() const { return Traits::IsValid(m_value); }
    Value Get() const { return m_value; }

    // Gives the resource up without closing it.
    Value Release() noexcept { return std::exchange(m_value, Traits::None()); }

    // Closes the resource held, if any, and takes `value` instead.
    void Reset(Value value = Traits::None()) noexcept
    {
        if (IsValid())
            Traits::Close(m_value);
        m_value = value;
    }

private:
    Value m_value = Traits::None();
};

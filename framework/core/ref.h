#pragma once

#include "framework/core/exceptions.h"

#include <cstddef>
#include <memory>
#include <utility>

// A counted reference that may be nil. Every use of a nil reference raises NilObjectException,
// so no code path dereferences a null pointer.
template<class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(std::shared_ptr<T> p) : m_p(std::move(p)) {}
    template<class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& other) : m_p(other.shared()) {}

    T* operator->() const { return &checked(); }
    T& operator*() const { return checked(); }

    explicit operator bool() const { return m_p != nullptr; }
    bool IsNil() const { return m_p == nullptr; }
    T* get() const { return m_p.get(); }
    const std::shared_ptr<T>& shared() const { return m_p; }

    // The same object as another class, or nil when it is not of that class.
    template<class U>
    Ref<U> As() const { return Ref<U>(std::dynamic_pointer_cast<U>(m_p)); }

    friend bool operator==(const Ref& a, const Ref& b) { return a.m_p == b.m_p; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.m_p == nullptr; }

private:
    T& checked() const
    {
        if (!m_p)
            throw NilObjectException();
        return *m_p;
    }

    std::shared_ptr<T> m_p;
};

template<class T, class... Args>
Ref<T> MakeRef(Args&&... args)
{
    return Ref<T>(std::make_shared<T>(std::forward<Args>(args)...));
}

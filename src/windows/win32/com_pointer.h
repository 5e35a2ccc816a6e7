#pragma once

namespace vantrel::win32_windows {

// Owns one reference to a COM object.
template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() { reset(); }
    ComPointer(const ComPointer &) = delete;
    ComPointer &operator=(const ComPointer &) = delete;
    Interface *get() const { return pointer_; }
    Interface *operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface **put()
    {
        reset();
        return &pointer_;
    }
    void **putVoid() { return reinterpret_cast<void **>(put()); }
    void reset()
    {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface *pointer_ = nullptr;
};

} // namespace vantrel::win32_windows

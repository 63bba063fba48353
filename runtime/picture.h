// A picture object: what a form's Icon gives; it reports its kind and its handle.
#pragma once

#include <cstdint>

#include "runtime/handles.h"

namespace runtime {

class Picture {
public:
    static constexpr int16_t kNone = 0;
    static constexpr int16_t kBitmap = 1;
    static constexpr int16_t kIcon = 3;

    Picture() = default;
    Picture(int16_t type, void* handle) : type_(type), handle_(handle) {}

    int16_t Type() const { return type_; }
    // The handle as a 32-bit value; borrowed from whoever owns the picture.
    int32_t Handle() const { return ToLong(handle_); }

private:
    int16_t type_ = kNone;
    void* handle_ = nullptr;
};

}  // namespace runtime

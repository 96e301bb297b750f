#pragma once

#include <span>

struct Default_String {
    int Slot;
    const char16_t* Text;
};

// The listed default texts, in slot order.
std::span<const Default_String> Default_String_Entries();

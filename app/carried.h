// The files the program carries inside itself.
#pragma once

#include <cstdint>
#include <span>

namespace app {

// The bytes of a carried file (a resource of the program); empty when absent.
std::span<const std::uint8_t> CarriedBytes(int resourceId);

}  // namespace app

// random_string.h: random texts for names that must not collide (the pipe names of a capture).
#pragma once

#include <cstdint>
#include <string>

// count characters, each drawn uniformly from chars. Every call seeds a new MT19937 engine from the
// system's non-deterministic source. Throws std::runtime_error for an empty alphabet (even for count 0)
// or when the random source fails.
std::string randomString(std::uint32_t count, const std::string& chars);

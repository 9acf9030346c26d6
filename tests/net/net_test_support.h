#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Helpers of the network tests.
namespace kv::test {

// `size` bytes that differ from file to file (by `seed`) and are not a repeated pattern.
std::string TestBytes(std::size_t size, unsigned seed);

// The SHA-1 of `bytes`, 40 lowercase hex digits.
std::string Sha1Of(const std::string& bytes);

// The names of the files in a folder and below, relative to it, sorted, one per line.
std::string ListFiles(const std::string& folder);

}  // namespace kv::test

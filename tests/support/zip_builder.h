#pragma once
// Builds small ZIP archives in memory for tests (deflated entries, stored
// names exactly as given).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvello::test {

std::vector<uint8_t> BuildZip(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace orvello::test

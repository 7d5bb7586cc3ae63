#include "support/zip_builder.h"

#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvello::test {

std::vector<uint8_t> BuildZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  auto path = std::filesystem::temp_directory_path() /
              ("orvello-zip-" + std::to_string(reinterpret_cast<uintptr_t>(&entries)) + ".zip");
  zipFile zip = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
  if (!zip) return {};
  for (const auto& [name, data] : entries) {
    zip_fileinfo info{};
    zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                          Z_DEFAULT_COMPRESSION, 0);
    zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

}  // namespace orvello::test

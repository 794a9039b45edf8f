// The write floor: the least time a run needs to put a finished document
// base on disk. Lists the files of a finished htm_out (not timed), then
// writes the same number of bytes into files of the same names and sizes
// in a fresh folder, in writes of WRITE_KIB (default 128, as the program writes) KiB, and prints
// the wall and CPU time (user + system) of that writing.
//
//   write_floor HTM_OUT FRESH_FOLDER [WRITE_KIB]
//
// Prints "files N bytes N wall S cpu S". FRESH_FOLDER must not exist; it
// is left behind for the caller to remove.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: write_floor HTM_OUT FRESH_FOLDER [WRITE_KIB]\n";
    return 2;
  }
  const fs::path source = argv[1], target = argv[2];
  const size_t chunk = (argc > 3 ? std::stoul(argv[3]) : 128) * 1024;
  if (fs::exists(target)) {
    std::cerr << "write_floor: " << target << " already exists\n";
    return 2;
  }
  struct File {
    fs::path name;  // relative to the folder
    std::uintmax_t size;
  };
  std::vector<File> files;
  std::vector<fs::path> folders;
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    if (entry.is_directory()) folders.push_back(fs::relative(entry.path(), source));
    if (entry.is_regular_file())
      files.push_back({fs::relative(entry.path(), source), entry.file_size()});
  }
  std::string bytes(chunk, '\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = "<br>\nword&nbsp;(page_001.htm, 12)\n"[i % 34];

  const auto wall_start = std::chrono::steady_clock::now();
  const std::clock_t cpu_start = std::clock();
  std::uintmax_t total = 0;
  fs::create_directory(target);
  for (const fs::path& folder : folders) fs::create_directories(target / folder);
  for (const File& file : files) {
    std::FILE* out = std::fopen((target / file.name).string().c_str(), "wb");
    if (out == nullptr || std::setvbuf(out, nullptr, _IONBF, 0) != 0) {
      std::cerr << "write_floor: cannot create " << (target / file.name) << "\n";
      return 1;
    }
    for (std::uintmax_t left = file.size; left > 0;) {
      const size_t count = left < chunk ? static_cast<size_t>(left) : chunk;
      if (std::fwrite(bytes.data(), 1, count, out) != count) {
        std::cerr << "write_floor: cannot write " << (target / file.name) << "\n";
        return 1;
      }
      left -= count;
    }
    if (std::fclose(out) != 0) return 1;
    total += file.size;
  }
  const double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  std::cout << "files " << files.size() << " bytes " << total << " wall " << wall << " cpu " << cpu
            << "\n";
  return 0;
}

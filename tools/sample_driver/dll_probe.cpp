// dll_probe <dll> <export>...
// Loads the DLL as the spooler would (LoadLibrary runs its entry point)
// and looks up each export. For the tests of the 64-bit build, which a
// 32-bit test program cannot load itself. Writes one line per missing
// export. Exit code: 0 all found, 1 some missing, 2 the DLL did not load.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HMODULE module = ::LoadLibraryW(argv[1]);
  if (!module) {
    std::printf("LoadLibrary failed: %lu\n", ::GetLastError());
    return 2;
  }
  int missing = 0;
  for (int i = 2; i < argc; ++i) {
    // Export names are ASCII.
    char name[256] = {};
    for (int c = 0; argv[i][c] && c + 1 < static_cast<int>(sizeof(name)); ++c) name[c] = static_cast<char>(argv[i][c]);
    if (!::GetProcAddress(module, name)) {
      std::printf("missing: %s\n", name);
      ++missing;
    }
  }
  ::FreeLibrary(module);
  return missing ? 1 : 0;
}

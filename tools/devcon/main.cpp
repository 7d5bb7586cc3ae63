// Entry of the builds that have the C runtime (linked with -municode).
#include "devcon.h"

int wmain(int argc, wchar_t** argv) { return orvello::devcon::Run(argc, argv); }

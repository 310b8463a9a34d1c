// The list file's reader over hostile files: it never fails or takes long, every entry is a non-empty
// field without ";" or a line end, and no entry is longer than a line may be.
// Input: the column (first byte), then the file's bytes.

#include "../tests/fakefiles.h"
#include "run.h"

#include <cstdlib>
#include <string>

using namespace aracnide;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FakeFiles files;
    files.files["/list.txt"].bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    RunContext ctx(nullptr);
    ctx.files = &files;
    std::string error;
    if (ReadFile(ctx, "/list.txt", data[0] % 8, error) != 0)
        std::abort();
    for (int i = 0; i < ctx.LB.GetCount(); ++i) {
        const std::string entry = ctx.LB.GetString(i);
        if (entry.empty() || entry.size() > kMaxLineLength || entry.find_first_of(";\n") != std::string::npos)
            std::abort();
    }
    return 0;
}

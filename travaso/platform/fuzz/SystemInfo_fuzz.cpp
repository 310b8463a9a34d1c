// The readers of what the kernel says about the machine: /proc/cpuinfo and the release string.

#include "SystemInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace travaso;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CpuInfo cpu = CpuFromProcCpuinfo(text);
    (void)CpuName(cpu);
    const OsVersion version = ParseOsVersion("Linux", std::string(text.substr(0, 256)));
    (void)OsVersionString(version);
    return 0;
}

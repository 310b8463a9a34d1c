#pragma once

// What the machine is: processor, operating system, directories, user, computer and network names,
// environment. Parsers are pure functions so that tests can feed them other machines' data.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace travaso {

// The processor as its identification instruction (or, without it, /proc/cpuinfo) describes it.
// Numbers are -1 where unknown.
struct CpuInfo {
    bool identified = false;  // read through the identification instruction
    int family = -1;          // signature bits 8..11
    int model = -1;           // bits 4..7
    int stepping = -1;        // bits 0..3
    int type = -1;            // bits 12..13 (1: an overdrive part)
    bool mmx = false;         // feature bit 23
    std::string vendor = "-unknown-";
};

// From the identification instruction's function 1 signature and feature flags and function 0's vendor.
CpuInfo CpuFromSignature(std::uint32_t signature, std::uint32_t features, std::string vendor);
// From the text of /proc/cpuinfo (its first processor); a processor without "cpu family" (not x86)
// reports its "CPU architecture" as the family.
CpuInfo CpuFromProcCpuinfo(std::string_view text);
// This machine's processor: the identification instruction where the processor has one.
CpuInfo ReadCpu();
// The processor's name by family, model and vendor; without identification a generic name by family.
std::string CpuName(const CpuInfo& cpu);
// MHz from time-stamp counter ticks counted over nanoseconds: the nearest integer to
// ticks per second / 1,000,000 + 0.66; -1 when nothing was counted.
int CpuSpeedFromTicks(std::uint64_t ticks, std::int64_t nanoseconds);
// Measured once, on first use, over a tenth of a second (not busy): -1 below family 5, without a
// time-stamp counter, or on failure.
int CpuSpeed();

struct OsVersion {
    std::string name;     // the kernel's name, "Linux"
    std::string release;  // as uname gives it, "6.1.0-13-amd64"
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;  // the release's third number, low 16 bits
};
OsVersion ParseOsVersion(std::string name, std::string release);
OsVersion ReadOsVersion();
// "Linux 6.1 (Build: 0)".
std::string OsVersionString(const OsVersion& version);

// Trailing "/" removed while more than one character remains: "/" stays "/".
std::string WithoutTrailingSlashes(std::string path);
// $TMPDIR when set and not empty, else "/tmp", without trailing slashes.
std::string TempDirectory();
// Where the system is installed, and where its shared libraries lie.
std::string OsDirectory();
std::string SystemLibraryDirectory();

// The logged-on user's login name; empty when unknown.
std::string UserName();
// The computer's host name; empty when unknown.
std::string ComputerName();
// The host name and its first IPv4 address ("%d.%d.%d.%d"); "-none-" for both when the name does not
// resolve.
struct HostInfo {
    std::string name;
    std::string address;
};
HostInfo LookUpHost();

// The process environment, one "name=value" per entry.
std::vector<std::string> EnvironmentLines();

}  // namespace travaso

#include "SystemInfo.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define TRAVASO_HAS_CPUID 1
#endif

extern char** environ;

namespace travaso {

CpuInfo CpuFromSignature(std::uint32_t signature, std::uint32_t features, std::string vendor)
{
    CpuInfo cpu;
    cpu.identified = true;
    cpu.stepping = int(signature & 0xF);
    cpu.model = int((signature >> 4) & 0xF);
    cpu.family = int((signature >> 8) & 0xF);
    cpu.type = int((signature >> 12) & 0x3);
    cpu.mmx = (features >> 23) & 1;
    cpu.vendor = std::move(vendor);
    return cpu;
}

namespace {

// "key : value" lines of the first block of /proc/cpuinfo.
std::string CpuinfoField(std::string_view text, std::string_view key)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.empty())
            break;  // the first processor's block ends
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            std::string_view name = line.substr(0, colon);
            while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
                name.remove_suffix(1);
            if (name == key) {
                std::string_view value = line.substr(colon + 1);
                while (!value.empty() && value.front() == ' ')
                    value.remove_prefix(1);
                return std::string(value);
            }
        }
        pos = end + 1;
    }
    return {};
}

int Number(const std::string& text)
{
    if (text.empty())
        return -1;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    return end == text.c_str() || value < 0 || value > 0xFFFF ? -1 : int(value);
}

bool HasWord(const std::string& text, std::string_view word)
{
    std::istringstream in(text);
    for (std::string w; in >> w;)
        if (w == word)
            return true;
    return false;
}

}  // namespace

CpuInfo CpuFromProcCpuinfo(std::string_view text)
{
    CpuInfo cpu;
    cpu.family = Number(CpuinfoField(text, "cpu family"));
    if (cpu.family < 0)
        cpu.family = Number(CpuinfoField(text, "CPU architecture"));
    cpu.model = Number(CpuinfoField(text, "model"));
    cpu.stepping = Number(CpuinfoField(text, "stepping"));
    cpu.mmx = HasWord(CpuinfoField(text, "flags"), "mmx");
    if (std::string vendor = CpuinfoField(text, "vendor_id"); !vendor.empty())
        cpu.vendor = vendor;
    return cpu;
}

CpuInfo ReadCpu()
{
#ifdef TRAVASO_HAS_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(0, &a, &b, &c, &d)) {
        char vendor[13] = {};
        std::memcpy(vendor, &b, 4);
        std::memcpy(vendor + 4, &d, 4);
        std::memcpy(vendor + 8, &c, 4);
        unsigned signature = 0, features = 0;
        if (a >= 1 && __get_cpuid(1, &a, &b, &c, &d)) {
            signature = a;
            features = d;
        }
        return CpuFromSignature(signature, features, vendor);
    }
#endif
    std::ifstream in("/proc/cpuinfo");
    std::ostringstream text;
    text << in.rdbuf();
    return CpuFromProcCpuinfo(text.str());
}

std::string CpuName(const CpuInfo& cpu)
{
    if (!cpu.identified) {
        static const char* const names[] = {"80286", "80386", "80486", "Pentium", "PentiumPro"};
        if (cpu.family >= 2 && cpu.family <= 6)
            return names[cpu.family - 2];
        return cpu.family < 0 ? std::string() : "P" + std::to_string(cpu.family);
    }
    const bool amd = cpu.vendor == "AuthenticAMD", cyrix = cpu.vendor == "CyrixInstead";
    std::string name;
    switch (cpu.family) {
    case 4:
        if (amd) {
            name = "AMD Am486/Am5x86";
        } else if (cyrix) {
            name = "Cyrix MediaGX";
        } else {
            name = "80486";
            switch (cpu.model) {
            case 0:
            case 1:
                name += " DX";
                break;
            case 2:
                name += " SX";
                break;
            case 3:
                name += " DX2";
                break;
            case 4:
                name += " SL";
                break;
            case 5:
                name += " SX2";
                break;
            case 7:
                name += " DX2 WriteBack";
                break;
            case 8:
                name += " DX4";
                break;
            default:
                break;
            }
        }
        break;
    case 5:
        if (amd) {
            name = "AMD K5/K6";
        } else if (cyrix) {
            name = cpu.model == 4 ? "Cyrix Gxm" : "Cyrix 6x86";
        } else {
            name = "Pentium";
            switch (cpu.model) {
            case 1:
                name += " 60/66 MHz";
                break;
            case 2:
                name += " 75-200 MHz";
                break;
            case 4:
                name += " MMX 166/200 MHz";
                break;
            default:
                break;
            }
        }
        break;
    case 6:
        if (cyrix) {
            name = "Cyrix 6x86MX";
        } else {
            switch (cpu.model) {
            case 1:
                name = "Intel Pentium pro";
                break;
            case 3:
                name = "Intel Pentium II";
                break;
            case 5:
                name = "Intel P6 (Model 5)";
                break;
            case 6:
                name = "Intel Celeron (Model 6)";
                break;
            default:
                name = "Intel Pentium P6";
                break;
            }
        }
        break;
    default:
        return {};
    }
    if (cpu.type == 1)
        name += " Overdrive";
    return name;
}

int CpuSpeedFromTicks(std::uint64_t ticks, std::int64_t nanoseconds)
{
    if (ticks == 0 || nanoseconds <= 0)
        return -1;
    const double perSecond = double(ticks) * 1e9 / double(nanoseconds);
    return int(std::lround(perSecond / 1e6 + 0.66));
}

int CpuSpeed()
{
    static const int speed = [] {
        const CpuInfo cpu = ReadCpu();
        if (cpu.family < 5)
            return -1;
#ifdef TRAVASO_HAS_CPUID
        using Clock = std::chrono::steady_clock;
        const auto from = Clock::now();
        const std::uint64_t start = __rdtsc();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::uint64_t end = __rdtsc();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - from).count();
        return end > start ? CpuSpeedFromTicks(end - start, ns) : -1;
#else
        return -1;
#endif
    }();
    return speed;
}

OsVersion ParseOsVersion(std::string name, std::string release)
{
    OsVersion v;
    v.name = std::move(name);
    v.release = std::move(release);
    unsigned numbers[3] = {0, 0, 0};
    const char* p = v.release.c_str();
    for (unsigned& n : numbers) {
        if (*p < '0' || *p > '9')
            break;
        char* end = nullptr;
        n = unsigned(std::strtoul(p, &end, 10));
        p = end;
        if (*p != '.')
            break;
        ++p;
    }
    v.major = numbers[0];
    v.minor = numbers[1];
    v.build = numbers[2] & 0xFFFF;
    return v;
}

OsVersion ReadOsVersion()
{
    utsname u{};
    if (uname(&u) != 0)
        return ParseOsVersion("Linux", "");
    return ParseOsVersion(u.sysname, u.release);
}

std::string OsVersionString(const OsVersion& v)
{
    return v.name + " " + std::to_string(v.major) + "." + std::to_string(v.minor) +
           " (Build: " + std::to_string(v.build) + ")";
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string TempDirectory()
{
    const char* dir = std::getenv("TMPDIR");
    return WithoutTrailingSlashes(dir && *dir ? dir : "/tmp");
}

std::string OsDirectory()
{
    return "/usr";
}

std::string SystemLibraryDirectory()
{
    return "/usr/lib";
}

std::string UserName()
{
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return pw->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string ComputerName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

HostInfo LookUpHost()
{
    const std::string name = ComputerName();
    if (name.empty())
        return {"-none-", "-none-"};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0 || !list)
        return {"-none-", "-none-"};
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> found(list, freeaddrinfo);
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const auto* b = reinterpret_cast<const unsigned char*>(&in->sin_addr.s_addr);
    const std::string address =
        std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
    return {name, address};
}

std::vector<std::string> EnvironmentLines()
{
    std::vector<std::string> lines;
    for (char** e = environ; e && *e; ++e)
        lines.emplace_back(*e);
    return lines;
}

}  // namespace travaso

#include "SingleInstance.h"
#include "SystemInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/un.h>

namespace travaso {

namespace {

CpuInfo Cpu(int family, int model, const char* vendor, int type = 0)
{
    return CpuFromSignature(std::uint32_t(type << 12 | family << 8 | model << 4 | 2), 0, vendor);
}

TEST(SystemInfoTest, SignatureFieldsAndFeatures)
{
    const CpuInfo cpu = CpuFromSignature(0x000306C3, 1u << 23, "GenuineIntel");
    EXPECT_TRUE(cpu.identified);
    EXPECT_EQ(cpu.family, 6);
    EXPECT_EQ(cpu.model, 0xC);
    EXPECT_EQ(cpu.stepping, 3);
    EXPECT_EQ(cpu.type, 0);
    EXPECT_TRUE(cpu.mmx);
    EXPECT_FALSE(CpuFromSignature(0x000306C3, 0, "GenuineIntel").mmx);
}

TEST(SystemInfoTest, ProcessorNamesByFamilyModelAndVendor)
{
    struct Row {
        CpuInfo cpu;
        const char* name;
    };
    const Row rows[] = {
        {Cpu(4, 0, "AuthenticAMD"), "AMD Am486/Am5x86"},
        {Cpu(4, 0, "CyrixInstead"), "Cyrix MediaGX"},
        {Cpu(4, 1, "GenuineIntel"), "80486 DX"},
        {Cpu(4, 7, "GenuineIntel"), "80486 DX2 WriteBack"},
        {Cpu(4, 8, "GenuineIntel", 1), "80486 DX4 Overdrive"},
        {Cpu(4, 6, "GenuineIntel"), "80486"},
        {Cpu(5, 2, "AuthenticAMD"), "AMD K5/K6"},
        {Cpu(5, 4, "CyrixInstead"), "Cyrix Gxm"},
        {Cpu(5, 2, "CyrixInstead"), "Cyrix 6x86"},
        {Cpu(5, 4, "GenuineIntel"), "Pentium MMX 166/200 MHz"},
        {Cpu(5, 3, "GenuineIntel", 1), "Pentium Overdrive"},
        {Cpu(6, 0, "CyrixInstead"), "Cyrix 6x86MX"},
        {Cpu(6, 1, "GenuineIntel"), "Intel Pentium pro"},
        {Cpu(6, 6, "AuthenticAMD"), "Intel Celeron (Model 6)"},  // family 6 of any other vendor
        {Cpu(6, 15, "GenuineIntel"), "Intel Pentium P6"},
        {Cpu(15, 1, "AuthenticAMD"), ""},
        {Cpu(6, 3, "GenuineIntel", 2), "Intel Pentium II"},  // type 2 is no overdrive
    };
    for (const Row& row : rows)
        EXPECT_EQ(CpuName(row.cpu), row.name) << row.cpu.family << "/" << row.cpu.model << " " << row.cpu.vendor;
}

TEST(SystemInfoTest, NamesWithoutIdentificationFollowTheFamily)
{
    CpuInfo cpu;
    for (auto [family, name] :
         {std::pair{2, "80286"}, {3, "80386"}, {4, "80486"}, {5, "Pentium"}, {6, "PentiumPro"}, {8, "P8"}, {-1, ""}}) {
        cpu.family = family;
        EXPECT_EQ(CpuName(cpu), name);
    }
    EXPECT_EQ(CpuInfo().vendor, "-unknown-");
}

TEST(SystemInfoTest, ProcCpuinfoOfTheFirstProcessor)
{
    const char* x86 = "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 113\n"
                      "stepping\t: 0\nflags\t\t: fpu vme mmx sse\n\nprocessor\t: 1\nvendor_id\t: Other\n";
    const CpuInfo amd = CpuFromProcCpuinfo(x86);
    EXPECT_FALSE(amd.identified);
    EXPECT_EQ(amd.vendor, "AuthenticAMD");
    EXPECT_EQ(amd.family, 23);
    EXPECT_EQ(amd.model, 113);
    EXPECT_EQ(amd.stepping, 0);
    EXPECT_TRUE(amd.mmx);
    const CpuInfo arm = CpuFromProcCpuinfo("processor\t: 0\nBogoMIPS\t: 48.00\nFeatures\t: fp asimd\n"
                                           "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU part\t: 0xd0c\n");
    EXPECT_EQ(arm.family, 8);
    EXPECT_EQ(arm.vendor, "-unknown-");
    EXPECT_FALSE(arm.mmx);
    EXPECT_EQ(CpuFromProcCpuinfo("").family, -1);
    EXPECT_EQ(CpuFromProcCpuinfo("cpu family : banana\n").family, -1);
}

TEST(SystemInfoTest, SpeedFromTimeStampTicks)
{
    EXPECT_EQ(CpuSpeedFromTicks(3'000'000'000ULL, 1'000'000'000), 3001);  // 3000 + 0.66, rounded
    EXPECT_EQ(CpuSpeedFromTicks(240'000'000ULL, 100'000'000), 2401);
    EXPECT_EQ(CpuSpeedFromTicks(0, 1'000'000'000), -1);
    EXPECT_EQ(CpuSpeedFromTicks(5, 0), -1);
}

TEST(SystemInfoTest, OperatingSystemVersionFromTheKernelRelease)
{
    OsVersion v = ParseOsVersion("Linux", "6.1.0-13-amd64");
    EXPECT_EQ(v.major, 6u);
    EXPECT_EQ(v.minor, 1u);
    EXPECT_EQ(v.build, 0u);
    EXPECT_EQ(OsVersionString(v), "Linux 6.1 (Build: 0)");
    v = ParseOsVersion("Linux", "5.15.133.1-microsoft-standard-WSL2");
    EXPECT_EQ(v.build, 133u);
    EXPECT_EQ(ParseOsVersion("Linux", "4.70000.70001").build, 70001u & 0xFFFF);
    v = ParseOsVersion("Linux", "");
    EXPECT_EQ(v.major + v.minor + v.build, 0u);
    EXPECT_EQ(ReadOsVersion().name, "Linux");
}

TEST(SystemInfoTest, TemporaryDirectoryKeepsARootSlash)
{
    EXPECT_EQ(WithoutTrailingSlashes("/"), "/");
    EXPECT_EQ(WithoutTrailingSlashes("///"), "/");
    EXPECT_EQ(WithoutTrailingSlashes("/tmp//"), "/tmp");
    const char* saved = std::getenv("TMPDIR");
    const std::string before = saved ? saved : "";
    unsetenv("TMPDIR");
    EXPECT_EQ(TempDirectory(), "/tmp");
    setenv("TMPDIR", "/var/tmp/", 1);
    EXPECT_EQ(TempDirectory(), "/var/tmp");
    if (saved)
        setenv("TMPDIR", before.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST(SystemInfoTest, NamesAndEnvironment)
{
    EXPECT_FALSE(UserName().empty());
    EXPECT_FALSE(ComputerName().empty());
    setenv("TRAVASO_SYSTEMINFO_TEST", "a=b", 1);
    bool found = false;
    for (const std::string& line : EnvironmentLines())
        found = found || line == "TRAVASO_SYSTEMINFO_TEST=a=b";
    EXPECT_TRUE(found);
    unsetenv("TRAVASO_SYSTEMINFO_TEST");
}

TEST(SingleInstanceNameTest, NamedAfterUserAndPathWithinASocketAddress)
{
    EXPECT_EQ(InstanceSocketName("/run/user/1000", 1000, "/media/PROVA/travaso"),
              "/run/user/1000/travaso-1000-+media+PROVA+travaso");
    EXPECT_NE(InstanceSocketName("/tmp", 1000, "/a/travaso"), InstanceSocketName("/tmp", 1001, "/a/travaso"));
    const QByteArray deep = "/" + QByteArray("cartella/").repeated(30) + "travaso";
    const QString name = InstanceSocketName("/run/user/1000", 1000, deep);
    EXPECT_LT(name.toLocal8Bit().size(), qsizetype(sizeof(sockaddr_un::sun_path)));
    EXPECT_TRUE(name.startsWith("/run/user/1000/travaso-1000-"));
    EXPECT_NE(name, InstanceSocketName("/run/user/1000", 1000, deep + "2"));
    // Folder names that are not UTF-8 keep their bytes apart.
    EXPECT_NE(InstanceSocketName("/tmp", 1000, "/caf\xe8/travaso"),
              InstanceSocketName("/tmp", 1000, "/caf\xe9/travaso"));
    EXPECT_EQ(InstanceMessage("/a/travaso"), "/a/travaso_Afslut\n");
}

}  // namespace

}  // namespace travaso

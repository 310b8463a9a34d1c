#include "Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace travaso {

std::string TargetRoot()
{
    std::string root;
    if (const char* env = std::getenv("TRAVASO_ROOT"); env && *env)
        root = env;
    else if (const char* home = std::getenv("HOME"); home && *home)
        root = home;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        root = pw->pw_dir;
    else
        root = "/";
    // A relative root is taken from the directory the program started in: the copier changes its
    // current directory to the source before copying.
    if (root.front() != '/') {
        std::string cwd(4096, '\0');
        if (getcwd(cwd.data(), cwd.size()))
            root = std::string(cwd.c_str()) + "/" + root;
    }
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

std::int64_t FreeSpaceOf(const std::string& path)
{
    struct statvfs vfs {};
    if (statvfs(path.c_str(), &vfs) != 0)
        return -1;
    return static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
}

std::string ExecutablePath()
{
    std::string buf(4096, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

EntryKind ClassifyMode(const char* name, unsigned linkMode, unsigned targetMode)
{
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return EntryKind::Ignored;
    if (S_ISDIR(linkMode))  // its permission bits do not matter: read-only media are copied whole
        return name[0] == '.' ? EntryKind::Ignored : EntryKind::Directory;
    if (S_ISREG(linkMode))
        return EntryKind::File;
    if (S_ISLNK(linkMode) && S_ISREG(targetMode))
        return EntryKind::File;
    return EntryKind::Ignored;
}

unsigned CopyMode(unsigned sourceMode, unsigned umask)
{
    return (sourceMode & 0777 & ~umask) | S_IWUSR;
}

unsigned CurrentUmask()
{
    // Linux shows it without changing it; elsewhere it is read by setting it and putting it back.
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return mask & 0777;
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask & 0777;
}

EntryKind ClassifyEntry(int dirFd, const char* name, unsigned char dType)
{
    if (dType == DT_REG)  // the common case needs no stat
        return ClassifyMode(name, S_IFREG, 0);
    if (dType != DT_DIR && dType != DT_LNK && dType != DT_UNKNOWN)
        return EntryKind::Ignored;
    struct stat own {};
    if (fstatat(dirFd, name, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Ignored;
    unsigned targetMode = 0;
    if (S_ISLNK(own.st_mode)) {
        struct stat target {};
        if (fstatat(dirFd, name, &target, 0) == 0)
            targetMode = target.st_mode;
    }
    return ClassifyMode(name, own.st_mode, targetMode);
}

}  // namespace travaso

#include "port_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace max2870 {
namespace {

std::string OwnerName(uid_t uid) {
    const passwd* entry = getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    const group* entry = getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

bool ProcessHasGroup(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && getgroups(count, groups.data()) < 0) {
        return false;
    }
    for (const gid_t g : groups) {
        if (g == gid) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<DeviceAccess> AccessOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return DeviceAccess{OwnerName(status.st_uid), GroupName(status.st_gid), status.st_mode,
                        status.st_gid == 0, ProcessHasGroup(status.st_gid)};
}

std::string ModeText(unsigned mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : S_ISREG(mode) ? "-" : "?";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text += (mode & (0400U >> bit)) != 0 ? letters[bit] : '-';
    }
    return text;
}

std::string PermissionAdvice(const DeviceAccess& a) {
    const bool groupReadsAndWrites = (a.mode & 060U) == 060U;
    if (groupReadsAndWrites && !a.groupIsRoot && !a.userInGroup) {
        return "add your user to the " + a.group + " group (sudo usermod -aG " + a.group +
               " $USER), log out and in again, then retry";
    }
    return "the device belongs to " + a.owner + ":" + a.group + " with mode " + ModeText(a.mode) +
           ", which no group membership of yours opens; ask its owner for access";
}

} // namespace max2870

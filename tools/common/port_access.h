#pragma once

#include <optional>
#include <string>

namespace max2870 {

// Who may open a device file, as far as a refused open needs it.
struct DeviceAccess {
    std::string owner;
    std::string group;
    unsigned mode = 0;        // st_mode: type and permission bits
    bool groupIsRoot = false; // the superuser's group, which users are not meant to join
    bool userInGroup = false; // this process already has the group
};

// The access of the file at the path; none when it cannot be looked at.
std::optional<DeviceAccess> AccessOf(const std::string& path);

// The mode as a directory listing shows it, "crw-rw----".
std::string ModeText(unsigned mode);

// What to do about a refused open: join the device's group only where that group may read and
// write it and is one a user can join; otherwise the owner and mode, which a group cannot mend.
std::string PermissionAdvice(const DeviceAccess& access);

} // namespace max2870

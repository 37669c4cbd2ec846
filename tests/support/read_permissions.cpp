// Files made unreadable, root included, for one thread or for the whole process.
#include "tests/support/read_permissions.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// Sets or clears the two override capabilities in the calling thread's effective set (they stay
// permitted, so they can be taken back).
bool setOverrides(bool on)
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if (on)
        data[0].effective |= kOverrides & data[0].permitted;
    else
        data[0].effective &= ~kOverrides;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

bool DropReadOverrideForProcess()
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~kOverrides;
    data[0].permitted &= ~kOverrides;
    data[0].inheritable &= ~kOverrides;
    if (syscall(SYS_capset, &header, data) != 0)
        return false;
    // Without CAP_SETPCAP the bounding set stays as it is: then only a program that root executes
    // from here would have the override again, and the tests execute none.
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[0].effective & kOverrides) == 0 && (data[0].permitted & kOverrides) == 0;
}

UnreadableFile::UnreadableFile(std::string path) : m_path(std::move(path))
{
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0 || ::chmod(m_path.c_str(), 0) != 0)
        return;
    m_mode = st.st_mode & 07777;
    if (::geteuid() == 0)
        m_capabilitiesDropped = setOverrides(false);
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    m_ok = fd < 0 && errno == EACCES;
    if (fd >= 0)
        ::close(fd);
}

UnreadableFile::~UnreadableFile()
{
    if (m_capabilitiesDropped)
        setOverrides(true);
    if (m_mode != 0)
        ::chmod(m_path.c_str(), m_mode);
}

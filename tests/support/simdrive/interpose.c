/* The C library functions the simulated drive replaces when preloaded. Each passes every
 * call straight on to the C library unless it names the device path VORLO_SIMDRIVE_DEVICE
 * gives, or a descriptor opened on it. The device is a block device (major 11, as sr
 * drives are); an open descriptor on it is a real descriptor on /dev/null, so that the
 * calls this file does not replace still work on it. */
#include "simdrive.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sysmacros.h>
#include <unistd.h>

enum { kMaxDescriptors = 8192, kSectorsPerChunk = 16 };

struct sim_state sim = {.lock = PTHREAD_MUTEX_INITIALIZER, .log_fd = -1};

int (*sim_real_open)(const char*, int, ...);
int (*sim_real_stat)(const char*, struct stat*);
static int (*real_openat)(int, const char*, int, ...);
static int (*real_close)(int);
static int (*real_lstat)(const char*, struct stat*);
static int (*real_fstat)(int, struct stat*);
static int (*real_fstatat)(int, const char*, struct stat*, int);
static int (*real_statx)(int, const char*, int, unsigned, struct statx*);
static int (*real_access)(const char*, int);
static int (*real_faccessat)(int, const char*, int, int);
static char* (*real_realpath)(const char*, char*);
static ssize_t (*real_readlink)(const char*, char*, size_t);
static int (*real_ioctl)(int, unsigned long, ...);
static off_t (*real_lseek)(int, off_t, int);
static ssize_t (*real_read)(int, void*, size_t);
static ssize_t (*real_pread)(int, void*, size_t, off_t);

static struct {
    bool open;
    off_t offset;
} descriptors[kMaxDescriptors];

static pthread_once_t once = PTHREAD_ONCE_INIT;

#define RESOLVE(pointer, name) pointer = (__typeof__(pointer))dlsym(RTLD_NEXT, name)

static void Initialise(void)
{
    RESOLVE(sim_real_open, "open");
    RESOLVE(sim_real_stat, "stat");
    RESOLVE(real_openat, "openat");
    RESOLVE(real_close, "close");
    RESOLVE(real_lstat, "lstat");
    RESOLVE(real_fstat, "fstat");
    RESOLVE(real_fstatat, "fstatat");
    RESOLVE(real_statx, "statx");
    RESOLVE(real_access, "access");
    RESOLVE(real_faccessat, "faccessat");
    RESOLVE(real_realpath, "realpath");
    RESOLVE(real_readlink, "readlink");
    RESOLVE(real_ioctl, "ioctl");
    RESOLVE(real_lseek, "lseek");
    RESOLVE(real_read, "read");
    RESOLVE(real_pread, "pread");
    sim_init_from_environment();
}

static bool IsDevice(const char* path)
{
    pthread_once(&once, Initialise);
    return sim.enabled && path && !strcmp(path, sim.device);
}

static bool IsDeviceAt(int dirfd, const char* path)
{
    return (dirfd == AT_FDCWD || (path && path[0] == '/')) && IsDevice(path);
}

static bool IsDeviceFd(int fd)
{
    pthread_once(&once, Initialise);
    return sim.enabled && fd >= 0 && fd < kMaxDescriptors && descriptors[fd].open;
}

static int Fail(int error)
{
    errno = error;
    return -1;
}

/* sr devices are numbered from the path's digits: /dev/sr7 is 11:7. */
static void FillStat(struct stat* out)
{
    memset(out, 0, sizeof *out);
    const char* digits = sim.device + strcspn(sim.device, "0123456789");
    out->st_dev = makedev(0, 5);
    out->st_ino = 0x51D0 + (ino_t)atoi(digits);
    out->st_mode = S_IFBLK | 0660;
    out->st_nlink = 1;
    out->st_uid = 0;
    out->st_gid = getgid();
    out->st_rdev = makedev(kSimSrMajor, (unsigned)atoi(digits));
    out->st_blksize = kSimDataBytes;
}

/* Waits out a spin-up as the block layer does; false without a disc. Lock held. */
static bool WaitForMedium(void)
{
    for (;;) {
        sim_refresh_knobs();
        const double now = sim_now();
        sim_touch(now);
        const struct sim_sense state = sim_unit_state(now);
        if (!state.key)
            return true;
        if (state.asc != kSenseBecomingReady.asc)
            return false;
        const double ready_at = sim.ready_at;
        sim_wait_unlocked(ready_at);
    }
}

static int OpenDevice(int flags)
{
    pthread_mutex_lock(&sim.lock);
    sim_refresh_knobs();
    sim_touch(sim_now());
    if (!(flags & O_NONBLOCK) && !WaitForMedium()) {
        sim_log("open\tpath=%s flags=0x%x errno=ENOMEDIUM", sim.device, flags);
        pthread_mutex_unlock(&sim.lock);
        return Fail(ENOMEDIUM);
    }
    const int fd = sim_real_open("/dev/null", O_RDWR | (flags & O_CLOEXEC));
    if (fd >= kMaxDescriptors) {
        real_close(fd);
        pthread_mutex_unlock(&sim.lock);
        return Fail(EMFILE);
    }
    if (fd >= 0) {
        descriptors[fd].open = true;
        descriptors[fd].offset = 0;
        ++sim.open_count;
    }
    sim_log("open\tpath=%s flags=0x%x fd=%d", sim.device, flags, fd);
    pthread_mutex_unlock(&sim.lock);
    return fd;
}

static mode_t ModeArgument(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return IsDevice(path) ? OpenDevice(flags) : sim_real_open(path, flags, mode);
}

int open64(const char* path, int flags, ...) __attribute__((alias("open")));

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return IsDeviceAt(dirfd, path) ? OpenDevice(flags) : real_openat(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) __attribute__((alias("openat")));

int __open_2(const char* path, int flags) { return open(path, flags); }
int __open64_2(const char* path, int flags) { return open(path, flags); }
int __openat_2(int dirfd, const char* path, int flags) { return openat(dirfd, path, flags); }
int __openat64_2(int dirfd, const char* path, int flags) { return openat(dirfd, path, flags); }

int close(int fd)
{
    if (IsDeviceFd(fd)) {
        pthread_mutex_lock(&sim.lock);
        descriptors[fd].open = false;
        --sim.open_count;
        sim_log("close\tfd=%d", fd);
        pthread_mutex_unlock(&sim.lock);
    }
    pthread_once(&once, Initialise);
    return real_close(fd);
}

static int StatDevice(const char* call, struct stat* out)
{
    FillStat(out);
    sim_log("stat\tcall=%s", call);
    return 0;
}

int stat(const char* path, struct stat* out)
{
    return IsDevice(path) ? StatDevice("stat", out) : sim_real_stat(path, out);
}

int lstat(const char* path, struct stat* out)
{
    return IsDevice(path) ? StatDevice("lstat", out) : real_lstat(path, out);
}

int fstat(int fd, struct stat* out)
{
    return IsDeviceFd(fd) ? StatDevice("fstat", out) : real_fstat(fd, out);
}

int fstatat(int dirfd, const char* path, struct stat* out, int flags)
{
    if (IsDeviceAt(dirfd, path) || (path && !*path && (flags & AT_EMPTY_PATH) && IsDeviceFd(dirfd)))
        return StatDevice("fstatat", out);
    return real_fstatat(dirfd, path, out, flags);
}

/* On this ABI struct stat64 is struct stat. */
_Static_assert(sizeof(struct stat64) == sizeof(struct stat), "stat64 differs from stat");
int stat64(const char* path, struct stat64* out) { return stat(path, (struct stat*)out); }
int lstat64(const char* path, struct stat64* out) { return lstat(path, (struct stat*)out); }
int fstat64(int fd, struct stat64* out) { return fstat(fd, (struct stat*)out); }
int fstatat64(int dirfd, const char* path, struct stat64* out, int flags)
{
    return fstatat(dirfd, path, (struct stat*)out, flags);
}

/* The entry points of programs built against a C library before 2.33. */
int __xstat(int version, const char* path, struct stat* out) { return (void)version, stat(path, out); }
int __lxstat(int version, const char* path, struct stat* out) { return (void)version, lstat(path, out); }
int __fxstat(int version, int fd, struct stat* out) { return (void)version, fstat(fd, out); }
int __xstat64(int version, const char* path, struct stat* out) { return (void)version, stat(path, out); }
int __lxstat64(int version, const char* path, struct stat* out) { return (void)version, lstat(path, out); }
int __fxstat64(int version, int fd, struct stat* out) { return (void)version, fstat(fd, out); }

int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* out)
{
    const bool device = IsDeviceAt(dirfd, path) || (path && !*path && (flags & AT_EMPTY_PATH) && IsDeviceFd(dirfd));
    if (!device)
        return real_statx(dirfd, path, flags, mask, out);
    struct stat info;
    StatDevice("statx", &info);
    memset(out, 0, sizeof *out);
    out->stx_mask = STATX_BASIC_STATS;
    out->stx_blksize = (uint32_t)info.st_blksize;
    out->stx_nlink = (uint32_t)info.st_nlink;
    out->stx_gid = info.st_gid;
    out->stx_mode = (uint16_t)info.st_mode;
    out->stx_ino = info.st_ino;
    out->stx_rdev_major = major(info.st_rdev);
    out->stx_rdev_minor = minor(info.st_rdev);
    out->stx_dev_minor = minor(info.st_dev);
    return 0;
}

int access(const char* path, int mode)
{
    return IsDevice(path) ? 0 : real_access(path, mode);
}

int faccessat(int dirfd, const char* path, int mode, int flags)
{
    return IsDeviceAt(dirfd, path) ? 0 : real_faccessat(dirfd, path, mode, flags);
}

char* realpath(const char* path, char* resolved)
{
    if (!IsDevice(path))
        return real_realpath(path, resolved);
    if (!resolved)
        return strdup(sim.device);
    return strcpy(resolved, sim.device);
}

ssize_t readlink(const char* path, char* buffer, size_t size)
{
    return IsDevice(path) ? Fail(EINVAL) : real_readlink(path, buffer, size);
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return IsDeviceFd(fd) ? sim_kernel_ioctl(fd, request, arg) : real_ioctl(fd, request, arg);
}

off_t lseek(int fd, off_t offset, int whence)
{
    if (!IsDeviceFd(fd))
        return real_lseek(fd, offset, whence);
    pthread_mutex_lock(&sim.lock);
    const off_t size = sim.disc ? (off_t)sim.disc->leadout_lsn * kSimDataBytes : 0;
    const off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? descriptors[fd].offset : size;
    const off_t target = base + offset;
    const bool valid = (whence == SEEK_SET || whence == SEEK_CUR || whence == SEEK_END) && target >= 0;
    if (valid)
        descriptors[fd].offset = target;
    pthread_mutex_unlock(&sim.lock);
    return valid ? target : Fail(EINVAL);
}

off_t lseek64(int fd, off_t offset, int whence) __attribute__((alias("lseek")));

/* Block reads of data sectors, 2048 bytes each; an audio sector is an I/O error. */
static ssize_t ReadDevice(int fd, void* buffer, size_t size, off_t at)
{
    static uint8_t chunk[kSectorsPerChunk * kSimDataBytes];
    size_t done = 0;
    int error = 0;
    pthread_mutex_lock(&sim.lock);
    if (!WaitForMedium())
        error = ENOMEDIUM;
    while (!error && done < size) {
        const off_t position = at + (off_t)done;
        const long lsn = (long)(position / kSimDataBytes);
        const size_t within = (size_t)(position % kSimDataBytes);
        if (lsn >= sim.disc->leadout_lsn)
            break;
        int count = (int)((within + size - done + kSimDataBytes - 1) / kSimDataBytes);
        if (count > kSectorsPerChunk)
            count = kSectorsPerChunk;
        if (lsn + count > sim.disc->leadout_lsn)
            count = (int)(sim.disc->leadout_lsn - lsn);
        double done_at;
        const struct sim_sense sense = sim_read_data(lsn, count, chunk, &done_at, "read");
        size_t take = (size_t)count * kSimDataBytes - within;
        if (take > size - done)
            take = size - done;
        if (!sense.key)
            memcpy((uint8_t*)buffer + done, chunk + within, take);
        sim_wait_unlocked(done_at);
        if (sense.key)
            error = EIO;
        else
            done += take;
    }
    if (fd >= 0 && fd < kMaxDescriptors)
        descriptors[fd].offset = at + (off_t)done;
    pthread_mutex_unlock(&sim.lock);
    return done || !error ? (ssize_t)done : Fail(error);
}

ssize_t read(int fd, void* buffer, size_t size)
{
    return IsDeviceFd(fd) ? ReadDevice(fd, buffer, size, descriptors[fd].offset) : real_read(fd, buffer, size);
}

ssize_t pread(int fd, void* buffer, size_t size, off_t at)
{
    return IsDeviceFd(fd) ? ReadDevice(-1, buffer, size, at) : real_pread(fd, buffer, size, at);
}

ssize_t pread64(int fd, void* buffer, size_t size, off_t at) __attribute__((alias("pread")));

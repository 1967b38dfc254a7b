/* The simulated CD drive's parts, shared by its files. Not for the programs it is loaded
 * into: they see only the device, through the system calls.
 *
 * One drive per process. All drive state lives in `sim` and is guarded by sim.lock; the
 * lock is never held while the caller waits out the drive's timing (sim_wait_until). */
#ifndef VORLO_SIMDRIVE_H
#define VORLO_SIMDRIVE_H

#include <limits.h>
#include <pthread.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/stat.h>

enum {
    kSimSectorBytes = 2352,
    kSimDataBytes = 2048,
    kSimFramesPerSecond = 75,
    kSimMsfOffset = 150, /* LBA 0 is 00:02:00 */
    kSimMaxTracks = 99,
    kSimMaxBadRanges = 32,
    kSimLeadoutTrack = 0xAA,
    kSimSrMajor = 11,
};

/* Fixed-format sense data: key, additional sense code and qualifier. */
struct sim_sense {
    uint8_t key, asc, ascq;
};

/* The sense answers the drive gives. */
extern const struct sim_sense kSenseNone, kSenseBecomingReady, kSenseNoDiscTrayClosed,
    kSenseNoDiscTrayOpen, kSenseMediumError, kSenseBadOpcode, kSenseBadField,
    kSenseBadLba, kSenseIllegalModeForTrack, kSenseRemovalPrevented, kSenseIncompatibleMedium;

struct sim_track {
    int number;
    int lsn;
    uint8_t control; /* the Q sub-channel control nibble: 4 data, 2 copy, 1 pre-emphasis, 8 four channels */
    char isrc[13];
};

/* A disc image loaded through libcdio's image drivers. Never freed before exit, so that a
 * read that began on a disc since swapped out still finds it. */
struct sim_disc {
    void* image; /* CdIo_t* */
    char path[PATH_MAX];
    int first_track, last_track;
    struct sim_track tracks[kSimMaxTracks];
    int leadout_lsn;
    char mcn[14];
    struct sim_disc* older;
};

struct sim_range {
    long first, last;
};

/* The knobs: the environment sets them at start, the control file changes them later. */
struct sim_knobs {
    char image[PATH_MAX];      /* "" = no disc */
    bool tray_open;
    double spinup_s;           /* from the first access, a new disc, or a closed tray */
    int max_speed;             /* the fastest the drive reads, in x (75 sectors/s each) */
    double seek_ms;            /* a full-stroke seek; shorter seeks cost less */
    double command_ms;         /* each command's own overhead */
    double door_s;             /* a tray move */
    long stall_sector;         /* -1 = none */
    double stall_s;            /* once, on the first read that covers stall_sector */
    struct sim_range bad[kSimMaxBadRanges];
    int bad_count;
    double bad_ms;             /* the drive's own retries before a read fails */
    int jitter;                /* reads start up to this many stereo samples off */
    unsigned long jitter_seed;
};

struct sim_state {
    pthread_mutex_t lock;
    bool enabled;
    char device[PATH_MAX];
    char control_path[PATH_MAX];
    struct timespec control_mtime;
    int log_fd;

    struct sim_knobs knobs;
    struct sim_disc* disc;     /* the disc in the drive, or null */
    struct sim_disc* discs;    /* every disc loaded, newest first */
    bool stall_done;
    uint64_t jitter_state;

    double ready_at;           /* when the disc is spun up; < 0 = stopped */
    int speed;                 /* the speed in force, in x */
    double busy_until;         /* the drive finishes what it was given by then */
    long head_lsn;             /* where the last read ended */
    bool door_locked;
    int media_changed;         /* reported once by CDROM_MEDIA_CHANGED */
    int64_t media_change_ms;   /* CLOCK_REALTIME ms of the last change */
    int open_count;
    struct sim_sense last_sense;
};

extern struct sim_state sim;

/* log.c */
double sim_now(void);
void sim_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void sim_wait_until(double when);
void sim_wait_unlocked(double when); /* with sim.lock held: released while waiting */

/* knobs.c: call with sim.lock held. */
void sim_init_from_environment(void);
void sim_refresh_knobs(void);
void sim_insert_disc(const char* image);
void sim_set_tray(bool open, const char* why);

/* drive.c: call with sim.lock held unless said otherwise. */
bool sim_disc_ready(double now);
struct sim_sense sim_unit_state(double now); /* kSenseNone when ready */
void sim_touch(double now);                  /* a medium access: starts a stopped disc */
double sim_schedule(double duration);        /* reserves the drive; returns the end time */
int sim_set_speed(int requested);            /* x, 0 = fastest; returns the speed in force */
const struct sim_track* sim_track_of(const struct sim_disc* disc, long lsn);
/* Reads COUNT raw sectors at LSN, audio ones only unless ANY_TYPE, with seek, speed, stall,
 * bad ranges and jitter; fills OUT (count * 2352 bytes) and sets *done_at to the time the
 * caller waits until (unlocked). VIA names the request in the log. */
struct sim_sense sim_read_raw(long lsn, int count, bool any_type, uint8_t* out, double* done_at,
                              const char* via);
/* The 2048 user bytes of data sectors. */
struct sim_sense sim_read_data(long lsn, int count, uint8_t* out, double* done_at, const char* via);

/* kernel.c: the linux/cdrom.h requests on the simulated device. */
int sim_kernel_ioctl(int fd, unsigned long request, void* arg);

/* mmc.c: one packet command. Returns the sense; *written is the bytes put in BUF. */
struct sim_sense sim_run_packet(const uint8_t* cdb, int cdb_len, uint8_t* buf, size_t buf_len,
                                size_t* written, double* done_at, const char* via);

/* interpose.c: the C library's own functions, found at load. */
extern int (*sim_real_open)(const char*, int, ...);
extern int (*sim_real_stat)(const char*, struct stat*);

#endif

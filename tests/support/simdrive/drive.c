/* The drive itself: readiness, and reads with the timing and faults of a real drive.
 *
 * The drive does one command at a time, as an ATAPI drive does: each command reserves the
 * drive from when the previous one ends (sim.busy_until) for as long as it takes, and its
 * caller waits until then, without the lock. So a command given during a long read, or a
 * stall, waits for it. A read costs the command overhead, a seek when it does not start
 * where the last one ended, and its sectors at the speed in force (1x = 75 sectors/s). */
#include "simdrive.h"

#include <cdio/cdio.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

enum { kFullStrokeSectors = 360000 }; /* an 80-minute disc */

const struct sim_sense kSenseNone = {0, 0, 0};
const struct sim_sense kSenseBecomingReady = {0x02, 0x04, 0x01};
const struct sim_sense kSenseNoDiscTrayClosed = {0x02, 0x3A, 0x01};
const struct sim_sense kSenseNoDiscTrayOpen = {0x02, 0x3A, 0x02};
const struct sim_sense kSenseMediumError = {0x03, 0x11, 0x00};
const struct sim_sense kSenseBadOpcode = {0x05, 0x20, 0x00};
const struct sim_sense kSenseBadField = {0x05, 0x24, 0x00};
const struct sim_sense kSenseBadLba = {0x05, 0x21, 0x00};
const struct sim_sense kSenseIllegalModeForTrack = {0x05, 0x64, 0x00};
const struct sim_sense kSenseRemovalPrevented = {0x05, 0x53, 0x02};
const struct sim_sense kSenseIncompatibleMedium = {0x05, 0x30, 0x02};

bool sim_disc_ready(double now)
{
    return sim.disc && !sim.knobs.tray_open && sim.ready_at >= 0 && now >= sim.ready_at;
}

struct sim_sense sim_unit_state(double now)
{
    if (sim.knobs.tray_open)
        return kSenseNoDiscTrayOpen;
    if (!sim.disc)
        return kSenseNoDiscTrayClosed;
    if (sim.ready_at < 0 || now < sim.ready_at)
        return kSenseBecomingReady;
    return kSenseNone;
}

void sim_touch(double now)
{
    if (sim.disc && !sim.knobs.tray_open && sim.ready_at < 0) {
        sim.ready_at = now + sim.knobs.spinup_s;
        sim_log("spinup\tready_at=%.6f", sim.ready_at);
    }
}

double sim_schedule(double duration)
{
    const double now = sim_now();
    const double start = sim.busy_until > now ? sim.busy_until : now;
    sim.busy_until = start + duration;
    return sim.busy_until;
}

int sim_set_speed(int requested)
{
    const int top = sim.knobs.max_speed;
    sim.speed = requested <= 0 || requested > top ? top : requested;
    return sim.speed;
}

const struct sim_track* sim_track_of(const struct sim_disc* disc, long lsn)
{
    if (!disc || lsn < 0 || lsn >= disc->leadout_lsn)
        return NULL;
    const struct sim_track* found = NULL;
    for (int n = disc->first_track; n <= disc->last_track; ++n)
        if (disc->tracks[n - disc->first_track].lsn <= lsn)
            found = &disc->tracks[n - disc->first_track];
    return found;
}

static bool IsData(long lsn)
{
    const struct sim_track* track = sim_track_of(sim.disc, lsn);
    return track && (track->control & 0x04);
}

static bool CoversBadSector(long lsn, int count)
{
    for (int i = 0; i < sim.knobs.bad_count; ++i)
        if (sim.knobs.bad[i].first < lsn + count && sim.knobs.bad[i].last >= lsn)
            return true;
    return false;
}

/* How long the drive takes for COUNT sectors at LSN, faults included; *failed is set for
 * an unreadable stretch. Moves the head and spends the one-time stall. */
static double ReadDuration(long lsn, int count, bool* failed)
{
    double seconds = sim.knobs.command_ms / 1000.0;
    const long distance = labs(lsn - sim.head_lsn);
    if (distance > 0)
        seconds += sim.knobs.seek_ms / 1000.0 * (0.1 + 0.9 * sqrt((double)distance / kFullStrokeSectors));
    seconds += (double)count / (kSimFramesPerSecond * sim.speed);
    const long stall = sim.knobs.stall_sector;
    if (!sim.stall_done && stall >= lsn && stall < lsn + count) {
        sim.stall_done = true;
        seconds += sim.knobs.stall_s;
        sim_log("stall\tlba=%ld ms=%.0f", stall, sim.knobs.stall_s * 1000);
    }
    *failed = CoversBadSector(lsn, count);
    if (*failed)
        seconds += sim.knobs.bad_ms / 1000.0;
    sim.head_lsn = lsn + count;
    return seconds;
}

/* Copies the disc's raw bytes from BYTE_OFFSET on (which may lie off the disc: zeros). */
static void CopyRaw(long long byte_offset, size_t length, uint8_t* out)
{
    uint8_t sector[kSimSectorBytes];
    long cached = -1;
    const long long disc_bytes = (long long)sim.disc->leadout_lsn * kSimSectorBytes;
    for (size_t done = 0; done < length;) {
        const long long at = byte_offset + (long long)done;
        const long lsn = (long)(at >= 0 ? at / kSimSectorBytes : -1);
        const size_t within = at >= 0 ? (size_t)(at % kSimSectorBytes) : 0;
        size_t take = kSimSectorBytes - within;
        if (at < 0)
            take = (size_t)(-at);
        if (take > length - done)
            take = length - done;
        if (at < 0 || at >= disc_bytes) {
            memset(out + done, 0, take);
        } else {
            if (cached != lsn &&
                cdio_read_audio_sectors(sim.disc->image, sector, (lsn_t)lsn, 1) != DRIVER_OP_SUCCESS)
                memset(sector, 0, sizeof sector);
            cached = lsn;
            memcpy(out + done, sector + within, take);
        }
        done += take;
    }
}

/* A shift in stereo samples, uniform in [-jitter, +jitter]. */
static int NextJitter(void)
{
    const int range = sim.knobs.jitter;
    if (range <= 0)
        return 0;
    uint64_t x = sim.jitter_state;
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    sim.jitter_state = x;
    return (int)(x % (uint64_t)(2 * range + 1)) - range;
}

enum SectorKind { kAudioSectors, kDataSectors, kAnySectors };

/* Why the drive refuses to read COUNT sectors of KIND at LSN, if it does. */
static struct sim_sense CheckRead(long lsn, int count, enum SectorKind kind)
{
    const struct sim_sense state = sim_unit_state(sim_now());
    if (state.key)
        return state;
    if (count < 0 || lsn < 0 || lsn + count > sim.disc->leadout_lsn)
        return kSenseBadLba;
    for (int i = 0; i < count; ++i)
        if (kind != kAnySectors && IsData(lsn + i) != (kind == kDataSectors))
            return kSenseIllegalModeForTrack;
    return kSenseNone;
}

struct sim_sense sim_read_raw(long lsn, int count, bool any_type, uint8_t* out, double* done_at,
                              const char* via)
{
    const struct sim_sense refused = CheckRead(lsn, count, any_type ? kAnySectors : kAudioSectors);
    if (refused.key) {
        *done_at = sim_schedule(sim.knobs.command_ms / 1000.0);
        return refused;
    }
    bool failed = false;
    const double seconds = ReadDuration(lsn, count, &failed);
    const double start = sim.busy_until > sim_now() ? sim.busy_until : sim_now();
    *done_at = sim_schedule(seconds);
    bool audio = true;
    for (int i = 0; i < count; ++i)
        audio = audio && !IsData(lsn + i);
    const int shift = failed || !audio ? 0 : NextJitter(); /* data reads are exact */
    if (!failed)
        CopyRaw((long long)lsn * kSimSectorBytes + shift * 4, (size_t)count * kSimSectorBytes, out);
    sim_log("read\tvia=%s lba=%ld count=%d start=%.6f busy_ms=%.3f speed=%d shift=%d result=%s", via, lsn,
            count, start, seconds * 1000, sim.speed, shift, failed ? "medium-error" : "ok");
    return failed ? kSenseMediumError : kSenseNone;
}

struct sim_sense sim_read_data(long lsn, int count, uint8_t* out, double* done_at, const char* via)
{
    const struct sim_sense refused = CheckRead(lsn, count, kDataSectors);
    if (refused.key) {
        *done_at = sim_schedule(sim.knobs.command_ms / 1000.0);
        return refused;
    }
    bool failed = false;
    const double seconds = ReadDuration(lsn, count, &failed);
    const double start = sim.busy_until > sim_now() ? sim.busy_until : sim_now();
    *done_at = sim_schedule(seconds);
    for (int i = 0; i < count && !failed; ++i)
        if (cdio_read_data_sectors(sim.disc->image, out + (size_t)i * kSimDataBytes, (lsn_t)(lsn + i),
                                   kSimDataBytes, 1) != DRIVER_OP_SUCCESS)
            memset(out + (size_t)i * kSimDataBytes, 0, kSimDataBytes);
    sim_log("read\tvia=%s lba=%ld count=%d start=%.6f busy_ms=%.3f speed=%d shift=0 result=%s", via, lsn,
            count, start, seconds * 1000, sim.speed, failed ? "medium-error" : "ok");
    return failed ? kSenseMediumError : kSenseNone;
}

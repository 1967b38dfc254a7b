/* The MMC packet commands the drive answers, as CDROM_SEND_PACKET and SG_IO carry them.
 * Anything else is refused with ILLEGAL REQUEST / INVALID COMMAND OPERATION CODE, and
 * logged, so that a command a program starts to use shows up. */
#include "simdrive.h"

#include <stdio.h>
#include <string.h>

enum {
    kKilobytesPerSecondAt1x = 176, /* 75 sectors of 2352 bytes, as drives round it */
    kCapabilitiesPage = 0x2A,
    kAllPages = 0x3F,
};

static void Be16(uint8_t* at, unsigned value)
{
    at[0] = (uint8_t)(value >> 8);
    at[1] = (uint8_t)value;
}

static void Be32(uint8_t* at, uint32_t value)
{
    Be16(at, value >> 16);
    Be16(at + 2, value & 0xFFFF);
}

static unsigned Get16(const uint8_t* at) { return (unsigned)at[0] << 8 | at[1]; }
static uint32_t Get32(const uint8_t* at) { return (uint32_t)Get16(at) << 16 | Get16(at + 2); }

/* M, S and F of LSN, in binary, for the kernel's and the MMC's MSF fields. */
static void ToMsf(long lsn, uint8_t* msf)
{
    const long lba = lsn + kSimMsfOffset;
    msf[0] = (uint8_t)(lba / (60 * kSimFramesPerSecond));
    msf[1] = (uint8_t)(lba / kSimFramesPerSecond % 60);
    msf[2] = (uint8_t)(lba % kSimFramesPerSecond);
}

static void Address(uint8_t* at, long lsn, bool msf)
{
    if (msf) {
        at[0] = 0;
        ToMsf(lsn, at + 1);
    } else {
        Be32(at, (uint32_t)lsn);
    }
}

static size_t Inquiry(uint8_t* out)
{
    memset(out, 0, 36);
    out[0] = 0x05; /* CD/DVD device */
    out[1] = 0x80; /* removable */
    out[2] = 0x05;
    out[3] = 0x32;
    out[4] = 31;
    memcpy(out + 8, "VORLOSIM", 8);
    memcpy(out + 16, "Simulated CD    ", 16);
    memcpy(out + 32, "1.0 ", 4);
    return 36;
}

static size_t Toc(const uint8_t* cdb, uint8_t* out, struct sim_sense* sense)
{
    const struct sim_disc* disc = sim.disc;
    const bool msf = cdb[1] & 0x02;
    int format = cdb[2] & 0x0F;
    if (format == 0 && cdb[9] >> 6)
        format = cdb[9] >> 6;
    const int first = disc->first_track, last = disc->last_track;
    size_t at = 4;
    if (format == 0) {
        const int from = cdb[6];
        if (from > last && from != kSimLeadoutTrack) {
            *sense = kSenseBadField;
            return 0;
        }
        for (int n = first; n <= last + 1; ++n) {
            const bool leadout = n > last;
            if (!leadout && n < from)
                continue;
            if (leadout && from > last + 1 && from != kSimLeadoutTrack)
                continue;
            const struct sim_track* track = leadout ? NULL : &disc->tracks[n - first];
            const uint8_t control = leadout ? disc->tracks[last - first].control & 0x04 : track->control;
            out[at] = 0;
            out[at + 1] = (uint8_t)(0x10 | control);
            out[at + 2] = (uint8_t)(leadout ? kSimLeadoutTrack : n);
            out[at + 3] = 0;
            Address(out + at + 4, leadout ? disc->leadout_lsn : track->lsn, msf);
            at += 8;
        }
        out[2] = (uint8_t)first;
        out[3] = (uint8_t)last;
    } else if (format == 1) {
        out[at + 1] = (uint8_t)(0x10 | disc->tracks[0].control);
        out[at + 2] = (uint8_t)first;
        Address(out + at + 4, disc->tracks[0].lsn, msf);
        at += 8;
        out[2] = out[3] = 1;
    } else if (format == 2) {
        /* The raw TOC of the one session: A0 (first track, disc type), A1, A2, tracks. */
        const uint8_t points[] = {0xA0, 0xA1, 0xA2};
        for (size_t i = 0; i < 3 + (size_t)(last - first + 1); ++i, at += 11) {
            memset(out + at, 0, 11);
            out[at] = 1;
            if (i < 3) {
                out[at + 1] = (uint8_t)(0x10 | (i == 2 ? disc->tracks[last - first].control : disc->tracks[0].control));
                out[at + 3] = points[i];
                if (i == 0) {
                    out[at + 8] = (uint8_t)first; /* PSEC 0: a CD-DA or CD-ROM disc */
                } else if (i == 1) {
                    out[at + 8] = (uint8_t)last;
                } else {
                    ToMsf(disc->leadout_lsn, out + at + 8);
                }
            } else {
                const struct sim_track* track = &disc->tracks[i - 3];
                out[at + 1] = (uint8_t)(0x10 | track->control);
                out[at + 3] = (uint8_t)track->number;
                ToMsf(track->lsn, out + at + 8);
            }
        }
        out[2] = out[3] = 1;
    } else if (format == 5) {
        out[2] = out[3] = 0; /* no CD-TEXT on this disc */
    } else {
        *sense = kSenseBadField;
        return 0;
    }
    Be16(out, (unsigned)(at - 2));
    return at;
}

static size_t SubChannel(const uint8_t* cdb, uint8_t* out)
{
    const struct sim_disc* disc = sim.disc;
    memset(out, 0, 24);
    out[1] = 0x15; /* no current audio status */
    if (!(cdb[2] & 0x40))
        return 4;
    const int format = cdb[3];
    out[4] = (uint8_t)format;
    if (format == 2 && *disc->mcn) {
        out[8] = 0x80;
        memcpy(out + 9, disc->mcn, 13);
    } else if (format == 3) {
        const int number = cdb[6];
        if (number >= disc->first_track && number <= disc->last_track) {
            const struct sim_track* track = &disc->tracks[number - disc->first_track];
            out[5] = (uint8_t)(0x10 | track->control);
            out[6] = (uint8_t)number;
            if (*track->isrc) {
                out[8] = 0x80;
                memcpy(out + 9, track->isrc, 12);
            }
        }
    } else if (format == 1) {
        const struct sim_track* track = sim_track_of(disc, sim.head_lsn);
        out[5] = (uint8_t)(0x10 | (track ? track->control : 0));
        out[6] = (uint8_t)(track ? track->number : 0);
        out[7] = 1;
        Address(out + 8, sim.head_lsn, cdb[1] & 0x02);
        Address(out + 12, track ? sim.head_lsn - track->lsn : 0, cdb[1] & 0x02);
        Be16(out + 2, 12);
        return 16;
    }
    Be16(out + 2, 20);
    return 24;
}

static size_t ModeSense(const uint8_t* cdb, uint8_t* out, struct sim_sense* sense)
{
    const bool ten = cdb[0] == 0x5A;
    const int page = cdb[2] & 0x3F;
    if (page != kCapabilitiesPage && page != kAllPages) {
        *sense = kSenseBadField;
        return 0;
    }
    const size_t header = ten ? 8 : 4;
    uint8_t* p = out + header;
    memset(out, 0, header + 28);
    p[0] = kCapabilitiesPage;
    p[1] = 26;
    p[2] = 0x03;                                        /* reads CD-R and CD-RW */
    p[4] = 0x41;                                        /* audio play, multi-session */
    p[5] = (uint8_t)(0x61 | (sim.knobs.jitter ? 0 : 0x02)); /* CD-DA, ISRC, UPC; accurate stream */
    p[6] = (uint8_t)(0x29 | (sim.door_locked ? 0x02 : 0));  /* lock, eject, tray loader */
    p[7] = 0x03;
    Be16(p + 8, (unsigned)(sim.knobs.max_speed * kKilobytesPerSecondAt1x));
    Be16(p + 10, 256);
    Be16(p + 12, 2048);
    Be16(p + 14, (unsigned)(sim.speed * kKilobytesPerSecondAt1x));
    const size_t total = header + 28;
    if (ten)
        Be16(out, (unsigned)(total - 2));
    else
        out[0] = (uint8_t)(total - 1);
    return total;
}

static size_t Configuration(uint8_t* out)
{
    memset(out, 0, 16);
    Be32(out, 12);
    if (sim.disc && !sim.knobs.tray_open)
        Be16(out + 6, 0x0008); /* CD-ROM */
    out[10] = 0x03;            /* feature 0, the profile list: persistent, current */
    out[11] = 4;
    Be16(out + 12, 0x0008);
    out[14] = (sim.disc && !sim.knobs.tray_open) ? 1 : 0;
    return 16;
}

static size_t MediaEvent(uint8_t* out)
{
    memset(out, 0, 8);
    Be16(out, 6);
    out[2] = 0x04; /* media class */
    out[3] = 0x10;
    out[4] = sim.media_changed ? 0x02 : 0x00;
    out[5] = (uint8_t)((sim.disc ? 0x02 : 0) | (sim.knobs.tray_open ? 0x01 : 0));
    return 8;
}

/* Bytes per sector of a READ CD for audio sectors, or 0 for a layout not offered. */
static size_t ReadCdSectorBytes(const uint8_t* cdb)
{
    static const size_t kC2Bytes[] = {0, 294, 296, 0};
    static const size_t kSubBytes[] = {0, 96, 16, 0, 96, 0, 0, 0};
    return (cdb[9] & 0xF8 ? kSimSectorBytes : 0) + kC2Bytes[cdb[9] >> 1 & 3] + kSubBytes[cdb[10] & 7];
}

struct sim_sense sim_run_packet(const uint8_t* cdb, int cdb_len, uint8_t* buf, size_t buf_len,
                                size_t* written, double* done_at, const char* via)
{
    static uint8_t reply[4096];
    const double now = sim_now();
    struct sim_sense sense = kSenseNone;
    const struct sim_sense state = sim_unit_state(now);
    const bool needs_disc = cdb[0] == 0x43 || cdb[0] == 0x42 || cdb[0] == 0x25 || cdb[0] == 0x51;
    size_t length = 0;
    const uint8_t* source = reply;
    *written = 0;
    *done_at = now;
    (void)cdb_len;
    if (cdb[0] != 0x12 && cdb[0] != 0x03 && cdb[0] != 0x4A)
        sim_touch(now);
    if (needs_disc && state.key) {
        sense = state;
    } else if (cdb[0] == 0x00) {
        sense = state;
    } else if (cdb[0] == 0x03) {
        memset(reply, 0, 18);
        reply[0] = 0x70;
        reply[2] = sim.last_sense.key;
        reply[7] = 10;
        reply[12] = sim.last_sense.asc;
        reply[13] = sim.last_sense.ascq;
        length = 18;
    } else if (cdb[0] == 0x12) {
        if (cdb[1] & 0x01)
            sense = kSenseBadField;
        else
            length = Inquiry(reply);
    } else if (cdb[0] == 0x43) {
        length = Toc(cdb, reply, &sense);
    } else if (cdb[0] == 0x42) {
        length = SubChannel(cdb, reply);
    } else if (cdb[0] == 0x25) {
        Be32(reply, (uint32_t)(sim.disc->leadout_lsn - 1));
        Be32(reply + 4, kSimDataBytes);
        length = 8;
    } else if (cdb[0] == 0x51) {
        memset(reply, 0, 34);
        Be16(reply, 32);
        reply[2] = 0x0E; /* complete disc, complete last session */
        reply[3] = (uint8_t)sim.disc->first_track;
        reply[4] = reply[9] = 1;
        reply[5] = (uint8_t)sim.disc->first_track;
        reply[6] = (uint8_t)sim.disc->last_track;
        length = 34;
    } else if (cdb[0] == 0x5A || cdb[0] == 0x1A) {
        length = ModeSense(cdb, reply, &sense);
    } else if (cdb[0] == 0x55 || cdb[0] == 0x15 || cdb[0] == 0x35) {
        /* MODE SELECT and SYNCHRONIZE CACHE: accepted, nothing to change */
    } else if (cdb[0] == 0x46) {
        length = Configuration(reply);
    } else if (cdb[0] == 0x4A) {
        length = MediaEvent(reply);
        sim.media_changed = 0;
    } else if (cdb[0] == 0x1E) {
        sim.door_locked = cdb[4] & 0x01;
        sim_log("door\t%s by=%s", sim.door_locked ? "locked" : "unlocked", via);
    } else if (cdb[0] == 0x1B) {
        const bool start = cdb[4] & 0x01, load_eject = cdb[4] & 0x02;
        if (load_eject && !start && sim.door_locked) {
            sense = kSenseRemovalPrevented;
        } else if (load_eject) {
            sim_set_tray(!start, via);
            *done_at = sim_schedule(sim.knobs.door_s);
        } else if (start) {
            sim_touch(now);
        } else {
            sim.ready_at = -1;
            sim_log("spindown\tby=%s", via);
        }
    } else if (cdb[0] == 0xBB) {
        const unsigned kbps = Get16(cdb + 2);
        const int wanted = kbps == 0xFFFF ? 0 : (int)((kbps + kKilobytesPerSecondAt1x / 2) / kKilobytesPerSecondAt1x);
        const int speed = sim_set_speed(kbps == 0xFFFF ? 0 : (wanted < 1 ? 1 : wanted));
        sim_log("speed\trequested_kbps=%u requested=%d effective=%d by=%s", kbps, wanted, speed, via);
    } else if (cdb[0] == 0x28) {
        const long lsn = (long)(int32_t)Get32(cdb + 2);
        const int count = (int)Get16(cdb + 7);
        if (!buf || buf_len < (size_t)count * kSimDataBytes) {
            sense = kSenseBadField;
        } else {
            sense = sim_read_data(lsn, count, buf, done_at, via);
            source = buf;
            length = sense.key ? 0 : (size_t)count * kSimDataBytes;
        }
    } else if (cdb[0] == 0xBE) {
        const long lsn = (long)(int32_t)Get32(cdb + 2);
        const int count = (int)(cdb[6] << 16 | cdb[7] << 8 | cdb[8]);
        const int type = cdb[1] >> 2 & 7;
        const struct sim_track* track = sim_track_of(sim.disc, lsn);
        const bool user_data_only = type != 1 && cdb[9] == 0x10 && track && (track->control & 0x04);
        const size_t per_sector = user_data_only ? kSimDataBytes : ReadCdSectorBytes(cdb);
        if (!buf || buf_len < (size_t)count * per_sector || type > 2) {
            sense = kSenseBadField;
        } else if (user_data_only) {
            sense = sim_read_data(lsn, count, buf, done_at, via);
        } else if (per_sector == kSimSectorBytes && type != 2) {
            sense = sim_read_raw(lsn, count, type == 0, buf, done_at, via);
        } else {
            sense = kSenseBadField; /* C2 and sub-channel layouts are not offered */
        }
        source = buf;
        length = sense.key ? 0 : (size_t)count * per_sector;
    } else {
        sense = kSenseBadOpcode;
        char hex[3 * 16 + 1] = "";
        for (int i = 0; i < cdb_len && i < 16; ++i)
            snprintf(hex + 3 * i, 4, "%02x ", cdb[i]);
        sim_log("unknown\tpacket opcode=0x%02x cdb=%s by=%s", cdb[0], hex, via);
    }
    if (*done_at <= now)
        *done_at = sim_schedule(sim.knobs.command_ms / 1000.0);
    if (length > buf_len)
        length = buf_len;
    if (buf && source != buf && length)
        memcpy(buf, source, length);
    *written = length;
    sim.last_sense = sense;
    if (cdb[0] != 0xBE && cdb[0] != 0x28)
        sim_log("packet\top=0x%02x by=%s sense=%x/%02x/%02x bytes=%zu", cdb[0], via, sense.key, sense.asc,
                sense.ascq, length);
    else if (sense.key)
        sim_log("packet\top=0x%02x by=%s lba=%ld sense=%x/%02x/%02x", cdb[0], via, (long)(int32_t)Get32(cdb + 2),
                sense.key, sense.asc, sense.ascq);
    return sense;
}

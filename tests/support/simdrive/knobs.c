/* The knobs, the disc in the drive and the tray.
 *
 * Every knob has an environment variable, VORLO_SIMDRIVE_<NAME>, read once at start, and
 * may be changed while the program runs by a line "name=value" in the control file that
 * VORLO_SIMDRIVE_CONTROL names; the file is read again whenever its modification time
 * changes. A file need not name every knob: those it leaves out keep their values. */
#include "simdrive.h"

#include <cdio/cdio.h>
#include <ctype.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kDefaultMaxSpeed = 24 };

static bool ParseRanges(const char* text, struct sim_knobs* knobs)
{
    knobs->bad_count = 0;
    while (*text && knobs->bad_count < kSimMaxBadRanges) {
        char* end;
        const long first = strtol(text, &end, 10);
        if (end == text)
            return *text == '\0';
        long last = first;
        if (*end == '-')
            last = strtol(end + 1, &end, 10);
        knobs->bad[knobs->bad_count++] = (struct sim_range){first, last};
        text = end;
        while (*text == ',' || *text == ' ')
            ++text;
    }
    return true;
}

/* Applies one knob. Returns false for a name the drive does not know. */
static bool SetKnob(struct sim_knobs* knobs, const char* name, const char* value)
{
    if (!strcmp(name, "image"))
        snprintf(knobs->image, sizeof knobs->image, "%s", value);
    else if (!strcmp(name, "tray"))
        knobs->tray_open = !strcmp(value, "open");
    else if (!strcmp(name, "spinup_ms"))
        knobs->spinup_s = atof(value) / 1000.0;
    else if (!strcmp(name, "max_speed"))
        knobs->max_speed = atoi(value) > 0 ? atoi(value) : kDefaultMaxSpeed;
    else if (!strcmp(name, "seek_ms"))
        knobs->seek_ms = atof(value);
    else if (!strcmp(name, "command_ms"))
        knobs->command_ms = atof(value);
    else if (!strcmp(name, "door_ms"))
        knobs->door_s = atof(value) / 1000.0;
    else if (!strcmp(name, "stall_sector"))
        knobs->stall_sector = *value ? atol(value) : -1;
    else if (!strcmp(name, "stall_ms"))
        knobs->stall_s = atof(value) / 1000.0;
    else if (!strcmp(name, "bad"))
        return ParseRanges(value, knobs);
    else if (!strcmp(name, "bad_ms"))
        knobs->bad_ms = atof(value);
    else if (!strcmp(name, "jitter"))
        knobs->jitter = atoi(value) > 0 ? atoi(value) : 0;
    else if (!strcmp(name, "jitter_seed"))
        knobs->jitter_seed = strtoul(value, NULL, 10);
    else
        return false;
    return true;
}

static const char* const kKnobNames[] = {"image",    "tray",         "spinup_ms", "max_speed",
                                         "seek_ms",  "command_ms",   "door_ms",   "stall_sector", "stall_ms",
                                         "bad",      "bad_ms",       "jitter",    "jitter_seed"};

static void LoadDiscInto(struct sim_disc* disc)
{
    CdIo_t* image = disc->image;
    disc->first_track = cdio_get_first_track_num(image);
    disc->last_track = cdio_get_last_track_num(image);
    if (disc->last_track - disc->first_track + 1 > kSimMaxTracks)
        disc->last_track = disc->first_track + kSimMaxTracks - 1;
    for (int number = disc->first_track; number <= disc->last_track; ++number) {
        struct sim_track* track = &disc->tracks[number - disc->first_track];
        track->number = number;
        track->lsn = cdio_get_track_lsn(image, (track_t)number);
        track->control = 0;
        if (cdio_get_track_format(image, (track_t)number) != TRACK_FORMAT_AUDIO)
            track->control |= 0x04;
        if (cdio_get_track_copy_permit(image, (track_t)number) == CDIO_TRACK_FLAG_TRUE)
            track->control |= 0x02;
        if (cdio_get_track_preemphasis(image, (track_t)number) == CDIO_TRACK_FLAG_TRUE)
            track->control |= 0x01;
        if (cdio_get_track_channels(image, (track_t)number) == 4)
            track->control |= 0x08;
        char* isrc = cdio_get_track_isrc(image, (track_t)number);
        snprintf(track->isrc, sizeof track->isrc, "%s", isrc ? isrc : "");
        free(isrc);
    }
    disc->leadout_lsn = cdio_get_track_lsn(image, CDIO_CDROM_LEADOUT_TRACK);
    char* mcn = cdio_get_mcn(image);
    snprintf(disc->mcn, sizeof disc->mcn, "%s", mcn ? mcn : "");
    free(mcn);
}

static struct sim_disc* OpenDisc(const char* path)
{
    for (struct sim_disc* known = sim.discs; known; known = known->older)
        if (!strcmp(known->path, path))
            return known;
    const char* dot = strrchr(path, '.');
    CdIo_t* image = NULL;
    if (dot && !strcasecmp(dot, ".toc"))
        image = cdio_open_cdrdao(path);
    else if (dot && !strcasecmp(dot, ".nrg"))
        image = cdio_open_nrg(path);
    else
        image = cdio_open_cue(path);
    if (!image) {
        sim_log("disc\tunreadable image=%s", path);
        return NULL;
    }
    struct sim_disc* disc = calloc(1, sizeof *disc);
    if (!disc) {
        cdio_destroy(image);
        return NULL;
    }
    disc->image = image;
    snprintf(disc->path, sizeof disc->path, "%s", path);
    LoadDiscInto(disc);
    disc->older = sim.discs;
    sim.discs = disc;
    return disc;
}

static void MarkMediaChange(void)
{
    struct timespec wall;
    clock_gettime(CLOCK_REALTIME, &wall);
    sim.media_changed = 1;
    sim.media_change_ms = (int64_t)wall.tv_sec * 1000 + wall.tv_nsec / 1000000;
}

void sim_insert_disc(const char* image)
{
    struct sim_disc* disc = *image ? OpenDisc(image) : NULL;
    if (disc == sim.disc && sim.disc)
        return;
    sim.disc = disc;
    sim.ready_at = -1;
    sim.head_lsn = 0;
    sim.stall_done = false;
    MarkMediaChange();
    if (disc) {
        sim_log("disc\tinserted image=%s tracks=%d-%d leadout=%d", disc->path, disc->first_track,
                disc->last_track, disc->leadout_lsn);
        sim_touch(sim_now());
    } else {
        sim_log("disc\tnone");
    }
}

void sim_set_tray(bool open, const char* why)
{
    if (sim.knobs.tray_open == open && why)
        return;
    sim.knobs.tray_open = open;
    sim.ready_at = -1;
    if (open) {
        sim.door_locked = false;
        MarkMediaChange();
    }
    sim_log("door\t%s by=%s", open ? "open" : "closed", why ? why : "knob");
    if (!open)
        sim_touch(sim_now());
}

/* Acts on what changed in the knobs since BEFORE. */
static void ApplyKnobs(const struct sim_knobs* before)
{
    struct sim_knobs* now = &sim.knobs;
    if (now->tray_open != before->tray_open) {
        const bool open = now->tray_open;
        now->tray_open = before->tray_open;
        sim_set_tray(open, NULL);
    }
    if (strcmp(now->image, before->image))
        sim_insert_disc(now->image);
    if (now->stall_sector != before->stall_sector || now->stall_s != before->stall_s)
        sim.stall_done = false;
    if (now->jitter_seed != before->jitter_seed)
        sim.jitter_state = now->jitter_seed * 2654435761u + 1;
    if (sim.speed > now->max_speed || sim.speed <= 0)
        sim.speed = now->max_speed;
    sim_log("knobs\timage=%s tray=%s spinup_ms=%.0f max_speed=%d seek_ms=%.1f command_ms=%.2f "
            "stall_sector=%ld stall_ms=%.0f bad_ranges=%d bad_ms=%.0f jitter=%d",
            now->image, now->tray_open ? "open" : "closed", now->spinup_s * 1000, now->max_speed,
            now->seek_ms, now->command_ms, now->stall_sector, now->stall_s * 1000, now->bad_count,
            now->bad_ms, now->jitter);
}

void sim_init_from_environment(void)
{
    const char* device = getenv("VORLO_SIMDRIVE_DEVICE");
    sim.log_fd = -1;
    if (!device || !*device)
        return;
    snprintf(sim.device, sizeof sim.device, "%s", device);
    const char* log = getenv("VORLO_SIMDRIVE_LOG");
    if (log && *log) {
        sim.log_fd = sim_real_open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
    const char* control = getenv("VORLO_SIMDRIVE_CONTROL");
    snprintf(sim.control_path, sizeof sim.control_path, "%s", control ? control : "");

    struct sim_knobs* knobs = &sim.knobs;
    *knobs = (struct sim_knobs){.max_speed = kDefaultMaxSpeed, .seek_ms = 100, .command_ms = 0.5, .door_s = 0.8,
                                .stall_sector = -1, .bad_ms = 250, .jitter_seed = 1};
    for (size_t i = 0; i < sizeof kKnobNames / sizeof *kKnobNames; ++i) {
        char variable[64] = "VORLO_SIMDRIVE_";
        size_t at = strlen(variable);
        for (const char* c = kKnobNames[i]; *c && at + 1 < sizeof variable; ++c)
            variable[at++] = (char)toupper((unsigned char)*c);
        variable[at] = '\0';
        const char* value = getenv(variable);
        if (value)
            SetKnob(knobs, kKnobNames[i], value);
    }
    sim.speed = knobs->max_speed;
    sim.ready_at = -1;
    sim.jitter_state = knobs->jitter_seed * 2654435761u + 1;
    sim.enabled = true;
    sim_log("start\tdevice=%s pid=%d", sim.device, (int)getpid());
}

static void ReadControlFile(void)
{
    FILE* file = fopen(sim.control_path, "re");
    if (!file)
        return;
    char line[PATH_MAX + 64];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\r\n")] = '\0';
        char* name = line;
        while (isspace((unsigned char)*name))
            ++name;
        char* equals = strchr(name, '=');
        if (*name == '#' || !equals)
            continue;
        *equals = '\0';
        for (char* end = equals - 1; end >= name && isspace((unsigned char)*end); --end)
            *end = '\0';
        if (!SetKnob(&sim.knobs, name, equals + 1))
            sim_log("knobs\tunknown name=%s", name);
    }
    fclose(file);
}

void sim_refresh_knobs(void)
{
    static bool started;
    struct sim_knobs before = sim.knobs;
    bool changed = !started;
    if (!started)
        before.image[0] = '\0'; /* the first access loads the disc */
    started = true;
    if (*sim.control_path) {
        struct stat info;
        if (sim_real_stat(sim.control_path, &info) == 0 &&
            (info.st_mtim.tv_sec != sim.control_mtime.tv_sec || info.st_mtim.tv_nsec != sim.control_mtime.tv_nsec)) {
            sim.control_mtime = info.st_mtim;
            ReadControlFile();
            changed = true;
        }
    }
    if (changed)
        ApplyKnobs(&before);
}

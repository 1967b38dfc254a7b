/* The linux/cdrom.h requests, answered as the kernel's cdrom and sr drivers answer them:
 * the TOC, multi-session and MCN requests wait out a spin-up in 2-s steps (up to ten) and
 * fail with ENOMEDIUM without a disc; CDROM_DRIVE_STATUS answers at once; CDROMEJECT is
 * refused (EBUSY) while the device is open more than once; CDROM_SEND_PACKET fails with
 * EIO and the sense on a CHECK CONDITION, while SG_IO reports it in its header. */
#include "simdrive.h"

#include <errno.h>
#include <linux/cdrom.h>
#include <linux/fs.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>
#include <string.h>

enum {
    kKernelNotReadyRetries = 10,
    kKernelNotReadySeconds = 2,
    kSgVersion = 30527,
    kCapabilities = CDC_CLOSE_TRAY | CDC_OPEN_TRAY | CDC_LOCK | CDC_SELECT_SPEED | CDC_MULTI_SESSION |
                    CDC_MCN | CDC_MEDIA_CHANGED | CDC_PLAY_AUDIO | CDC_RESET | CDC_DRIVE_STATUS | CDC_GENERIC_PACKET,
};

/* Waits, as sr_do_ioctl does, while the disc is becoming ready, then for the drive to take
 * the command. Returns 0 when it has, or -ENOMEDIUM. Called and returns with sim.lock held; releases it while asleep. */
static int WaitForDisc(void)
{
    for (int retries = 0;; ++retries) {
        const double now = sim_now();
        sim_touch(now);
        const struct sim_sense state = sim_unit_state(now);
        if (!state.key) {
            const double done_at = sim_schedule(sim.knobs.command_ms / 1000.0);
            sim_wait_unlocked(done_at);
            return 0;
        }
        if (state.asc != kSenseBecomingReady.asc || retries >= kKernelNotReadyRetries)
            return -ENOMEDIUM;
        sim_wait_unlocked(now + kKernelNotReadySeconds);
        sim_refresh_knobs();
    }
}

static long ToLsn(const struct cdrom_msf0* msf)
{
    return ((long)msf->minute * 60 + msf->second) * kSimFramesPerSecond + msf->frame - kSimMsfOffset;
}

static void SetAddress(union cdrom_addr* address, uint8_t format, long lsn)
{
    if (format == CDROM_LBA) {
        address->lba = (int)lsn;
        return;
    }
    const long lba = lsn + kSimMsfOffset;
    address->msf.minute = (uint8_t)(lba / (60 * kSimFramesPerSecond));
    address->msf.second = (uint8_t)(lba / kSimFramesPerSecond % 60);
    address->msf.frame = (uint8_t)(lba % kSimFramesPerSecond);
}

static int TocEntry(struct cdrom_tocentry* entry)
{
    const struct sim_disc* disc = sim.disc;
    if (entry->cdte_format != CDROM_MSF && entry->cdte_format != CDROM_LBA)
        return -EINVAL;
    long lsn;
    uint8_t control;
    if (entry->cdte_track == CDROM_LEADOUT) {
        lsn = disc->leadout_lsn;
        control = disc->tracks[disc->last_track - disc->first_track].control & 0x04;
    } else if (entry->cdte_track >= disc->first_track && entry->cdte_track <= disc->last_track) {
        const struct sim_track* track = &disc->tracks[entry->cdte_track - disc->first_track];
        lsn = track->lsn;
        control = track->control;
    } else {
        return -EIO;
    }
    entry->cdte_adr = 1;
    entry->cdte_ctrl = control;
    entry->cdte_datamode = 0;
    SetAddress(&entry->cdte_addr, entry->cdte_format, lsn);
    return 0;
}

/* Runs a packet command through the drive and waits for it, unlocked. */
static struct sim_sense Packet(const uint8_t* cdb, int cdb_len, uint8_t* buf, size_t buf_len,
                               size_t* written, const char* via)
{
    double done_at;
    const struct sim_sense sense = sim_run_packet(cdb, cdb_len, buf, buf_len, written, &done_at, via);
    sim_wait_unlocked(done_at);
    return sense;
}

static void CopySense(uint8_t* out, size_t room, struct sim_sense sense)
{
    uint8_t fixed[18] = {0x70, 0, sense.key, 0, 0, 0, 0, 10, 0, 0, 0, 0, sense.asc, sense.ascq};
    memcpy(out, fixed, room < sizeof fixed ? room : sizeof fixed);
}

static int SendPacket(struct cdrom_generic_command* command)
{
    static const int kLengths[8] = {6, 10, 10, 12, 16, 12, 10, 10};
    size_t written;
    const struct sim_sense sense = Packet(command->cmd, kLengths[command->cmd[0] >> 5], command->buffer,
                                          command->buffer ? command->buflen : 0, &written, "CDROM_SEND_PACKET");
    if (command->sense)
        CopySense((uint8_t*)command->sense, 18, sense);
    command->stat = sense.key ? 2 : 0;
    return sense.key ? -EIO : 0;
}

static int SgIo(struct sg_io_hdr* header)
{
    if (header->interface_id != 'S' || header->cmd_len > 16 || header->iovec_count)
        return -EINVAL;
    size_t written;
    const double began = sim_now();
    const struct sim_sense sense =
        Packet(header->cmdp, header->cmd_len, header->dxferp, header->dxferp ? header->dxfer_len : 0, &written, "SG_IO");
    header->status = sense.key ? 0x02 : 0;
    header->masked_status = sense.key ? CHECK_CONDITION : 0;
    header->host_status = 0;
    header->driver_status = sense.key ? 0x08 : 0; /* DRIVER_SENSE */
    header->sb_len_wr = 0;
    if (sense.key && header->sbp && header->mx_sb_len) {
        CopySense(header->sbp, header->mx_sb_len, sense);
        header->sb_len_wr = header->mx_sb_len < 18 ? header->mx_sb_len : 18;
    }
    header->resid = (int)(header->dxfer_len - written);
    header->duration = (unsigned)((sim_now() - began) * 1000);
    header->info = sense.key ? SG_INFO_CHECK : 0;
    return 0;
}

static int ReadAudio(struct cdrom_read_audio* request)
{
    long lsn;
    if (request->addr_format == CDROM_MSF)
        lsn = ToLsn(&request->addr.msf);
    else if (request->addr_format == CDROM_LBA)
        lsn = request->addr.lba;
    else
        return -EINVAL;
    if (lsn < 0 || request->nframes <= 0 || request->nframes > CD_FRAMES)
        return -EINVAL;
    double done_at;
    const struct sim_sense sense =
        sim_read_raw(lsn, request->nframes, false, request->buf, &done_at, "CDROMREADAUDIO");
    sim_wait_unlocked(done_at);
    return sense.key ? -EIO : 0;
}

/* CDROMREADMODE1, CDROMREADMODE2, CDROMREADRAW: the address in, the sector out. */
static int ReadSector(unsigned long request, void* arg)
{
    const struct cdrom_msf* at = arg;
    const struct cdrom_msf0 start = {at->cdmsf_min0, at->cdmsf_sec0, at->cdmsf_frame0};
    const long lsn = ToLsn(&start);
    double done_at;
    struct sim_sense sense;
    if (request == CDROMREADMODE1) {
        sense = sim_read_data(lsn, 1, arg, &done_at, "CDROMREADMODE1");
    } else {
        uint8_t raw[kSimSectorBytes];
        sense = sim_read_raw(lsn, 1, true, raw, &done_at, request == CDROMREADRAW ? "CDROMREADRAW" : "CDROMREADMODE2");
        if (!sense.key && request == CDROMREADRAW)
            memcpy(arg, raw, sizeof raw);
        else if (!sense.key)
            memcpy(arg, raw + 16, CD_FRAMESIZE_RAW0);
    }
    sim_wait_unlocked(done_at);
    return sense.key ? -EIO : 0;
}

static int DriveStatus(void)
{
    sim_touch(sim_now());
    const double done_at = sim_schedule(sim.knobs.command_ms / 1000.0);
    sim_wait_unlocked(done_at);
    const struct sim_sense state = sim_unit_state(sim_now());
    if (!state.key)
        return CDS_DISC_OK;
    if (state.asc == kSenseBecomingReady.asc)
        return CDS_DRIVE_NOT_READY;
    return state.ascq == kSenseNoDiscTrayOpen.ascq ? CDS_TRAY_OPEN : CDS_NO_DISC;
}

static int DiscStatus(void)
{
    if (WaitForDisc())
        return CDS_NO_DISC;
    int audio = 0, data = 0;
    for (int n = sim.disc->first_track; n <= sim.disc->last_track; ++n)
        *(sim.disc->tracks[n - sim.disc->first_track].control & 0x04 ? &data : &audio) += 1;
    return audio ? (data ? CDS_MIXED : CDS_AUDIO) : CDS_DATA_1;
}

static int MoveTray(bool open, const char* via)
{
    if (open && sim.door_locked)
        return -EIO;
    sim_set_tray(open, via);
    const double done_at = sim_schedule(sim.knobs.door_s);
    sim_wait_unlocked(done_at);
    return 0;
}

static const char* RequestName(unsigned long request)
{
    static const struct {
        unsigned long request;
        const char* name;
    } kNames[] = {
        {CDROM_GET_CAPABILITY, "CDROM_GET_CAPABILITY"}, {CDROM_DRIVE_STATUS, "CDROM_DRIVE_STATUS"},
        {CDROM_DISC_STATUS, "CDROM_DISC_STATUS"},       {CDROM_MEDIA_CHANGED, "CDROM_MEDIA_CHANGED"},
        {CDROM_TIMED_MEDIA_CHANGE, "CDROM_TIMED_MEDIA_CHANGE"}, {CDROMREADTOCHDR, "CDROMREADTOCHDR"},
        {CDROMREADTOCENTRY, "CDROMREADTOCENTRY"},       {CDROMMULTISESSION, "CDROMMULTISESSION"},
        {CDROM_GET_MCN, "CDROM_GET_MCN"},               {CDROMSUBCHNL, "CDROMSUBCHNL"},
        {CDROMREADAUDIO, "CDROMREADAUDIO"},             {CDROMREADMODE1, "CDROMREADMODE1"},
        {CDROMREADMODE2, "CDROMREADMODE2"},             {CDROMREADRAW, "CDROMREADRAW"},
        {CDROM_SELECT_SPEED, "CDROM_SELECT_SPEED"},     {CDROMEJECT, "CDROMEJECT"},
        {CDROMCLOSETRAY, "CDROMCLOSETRAY"},             {CDROM_LOCKDOOR, "CDROM_LOCKDOOR"},
        {CDROMVOLREAD, "CDROMVOLREAD"},                 {CDROMSTART, "CDROMSTART"},                     {CDROMSTOP, "CDROMSTOP"},
        {CDROM_SEND_PACKET, "CDROM_SEND_PACKET"},       {SG_IO, "SG_IO"},
        {SG_GET_VERSION_NUM, "SG_GET_VERSION_NUM"},     {SCSI_IOCTL_GET_IDLUN, "SCSI_IOCTL_GET_IDLUN"},
        {SCSI_IOCTL_GET_BUS_NUMBER, "SCSI_IOCTL_GET_BUS_NUMBER"}, {DVD_READ_STRUCT, "DVD_READ_STRUCT"},
        {BLKRRPART, "BLKRRPART"},
    };
    for (size_t i = 0; i < sizeof kNames / sizeof *kNames; ++i)
        if (kNames[i].request == request)
            return kNames[i].name;
    return "unknown";
}

/* One request on the device, with sim.lock held. Returns the result or -errno. */
static int Dispatch(unsigned long request, void* arg, unsigned long value)
{
    int rc;
    switch (request) {
    case CDROM_GET_CAPABILITY:
        return kCapabilities;
    case CDROM_DRIVE_STATUS:
        return DriveStatus();
    case CDROM_DISC_STATUS:
        return DiscStatus();
    case CDROM_MEDIA_CHANGED:
        rc = sim.media_changed;
        sim.media_changed = 0;
        return rc;
    case CDROM_TIMED_MEDIA_CHANGE: {
        struct cdrom_timed_media_change_info* info = arg;
        info->media_flags = sim.media_change_ms > info->last_media_change ? MEDIA_CHANGED_FLAG : 0;
        info->last_media_change = sim.media_change_ms;
        return 0;
    }
    case CDROMREADTOCHDR:
        if ((rc = WaitForDisc()))
            return rc;
        ((struct cdrom_tochdr*)arg)->cdth_trk0 = (uint8_t)sim.disc->first_track;
        ((struct cdrom_tochdr*)arg)->cdth_trk1 = (uint8_t)sim.disc->last_track;
        return 0;
    case CDROMREADTOCENTRY:
        return (rc = WaitForDisc()) ? rc : TocEntry(arg);
    case CDROMMULTISESSION: {
        struct cdrom_multisession* info = arg;
        if (info->addr_format != CDROM_MSF && info->addr_format != CDROM_LBA)
            return -EINVAL;
        if ((rc = WaitForDisc()))
            return rc;
        info->xa_flag = 0;
        SetAddress(&info->addr, info->addr_format, 0);
        return 0;
    }
    case CDROM_GET_MCN:
        if ((rc = WaitForDisc()))
            return rc;
        memset(arg, 0, sizeof(struct cdrom_mcn));
        memcpy(((struct cdrom_mcn*)arg)->medium_catalog_number, sim.disc->mcn, 13);
        return 0;
    case CDROMSUBCHNL: {
        struct cdrom_subchnl* channel = arg;
        if ((rc = WaitForDisc()))
            return rc;
        const struct sim_track* track = sim_track_of(sim.disc, sim.head_lsn);
        channel->cdsc_audiostatus = CDROM_AUDIO_NO_STATUS;
        channel->cdsc_adr = 1;
        channel->cdsc_ctrl = track ? track->control : 0;
        channel->cdsc_trk = (uint8_t)(track ? track->number : 0);
        channel->cdsc_ind = 1;
        SetAddress(&channel->cdsc_absaddr, channel->cdsc_format, sim.head_lsn);
        const long relative = track ? sim.head_lsn - track->lsn : 0;
        /* a relative address has no 2-s offset */
        SetAddress(&channel->cdsc_reladdr, channel->cdsc_format,
                   channel->cdsc_format == CDROM_MSF ? relative - kSimMsfOffset : relative);
        return 0;
    }
    case CDROMREADAUDIO:
        return ReadAudio(arg);
    case CDROMREADMODE1:
    case CDROMREADMODE2:
    case CDROMREADRAW:
        return ReadSector(request, arg);
    case CDROM_SELECT_SPEED: {
        const int speed = sim_set_speed((int)value);
        sim_log("speed\trequested=%d effective=%d by=CDROM_SELECT_SPEED", (int)value, speed);
        const double done_at = sim_schedule(sim.knobs.command_ms / 1000.0); /* SET CD SPEED: no disc needed */
        sim_wait_unlocked(done_at);
        return 0;
    }
    case CDROMEJECT:
        if (sim.open_count != 1)
            return -EBUSY;
        return MoveTray(true, "CDROMEJECT");
    case CDROMCLOSETRAY:
        return MoveTray(false, "CDROMCLOSETRAY");
    case CDROM_LOCKDOOR:
        if (!value && sim.open_count > 1)
            return -EBUSY;
        sim.door_locked = value != 0;
        sim_log("door\t%s by=CDROM_LOCKDOOR", sim.door_locked ? "locked" : "unlocked");
        return 0;
    case CDROMVOLREAD:
        memset(arg, 0xFF, sizeof(struct cdrom_volctrl)); /* every channel at full volume */
        return 0;
    case CDROMSTART:
        sim_touch(sim_now());
        return 0;
    case CDROMSTOP:
        sim.ready_at = -1;
        sim_log("spindown\tby=CDROMSTOP");
        return 0;
    case CDROM_SEND_PACKET:
        return SendPacket(arg);
    case SG_IO:
        return SgIo(arg);
    case SG_GET_VERSION_NUM:
        *(int*)arg = kSgVersion;
        return 0;
    case SCSI_IOCTL_GET_IDLUN:
        ((int*)arg)[0] = 0;
        ((int*)arg)[1] = 0;
        return 0;
    case SCSI_IOCTL_GET_BUS_NUMBER:
        *(int*)arg = 0;
        return 0;
    case DVD_READ_STRUCT:
        return -EIO; /* READ DVD STRUCTURE on a CD: incompatible medium */
    case BLKRRPART:
        return -EINVAL;
    default:
        sim_log("unknown\tioctl request=0x%lx", request);
        return -ENOTTY;
    }
}

int sim_kernel_ioctl(int fd, unsigned long request, void* arg)
{
    pthread_mutex_lock(&sim.lock);
    sim_refresh_knobs();
    const int rc = Dispatch(request, arg, (unsigned long)arg);
    sim_log("ioctl\t%s fd=%d request=0x%lx rc=%d", RequestName(request), fd, request, rc);
    pthread_mutex_unlock(&sim.lock);
    if (rc < 0) {
        errno = -rc;
        return -1;
    }
    return rc;
}

/* vorlo-simdrive-read-drive: what a program of this build reads from a drive through
 * libcdio. Built with the build's own flags, sanitizers included, so that it shows the
 * simulated drive preloaded into an instrumented program.
 *
 *   vorlo-simdrive-read-drive DEVICE OUT
 *
 * Prints one line per track, "track NUMBER LSN audio|data", and writes the first second
 * (75 sectors) of the first audio track to OUT as raw little-endian samples. */
#include <cdio/cdio.h>
#include <stdio.h>
#include <stdlib.h>

enum { kSectors = 75 };

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s DEVICE OUT\n", argv[0]);
        return 2;
    }
    CdIo_t* drive = cdio_open(argv[1], DRIVER_LINUX);
    if (!drive) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const track_t first = cdio_get_first_track_num(drive), last = cdio_get_last_track_num(drive);
    lsn_t audio = CDIO_INVALID_LSN;
    for (track_t track = first; first != CDIO_INVALID_TRACK && track <= last; ++track) {
        const int is_audio = cdio_get_track_format(drive, track) == TRACK_FORMAT_AUDIO;
        const lsn_t lsn = cdio_get_track_lsn(drive, track);
        printf("track %d %d %s\n", track, (int)lsn, is_audio ? "audio" : "data");
        if (is_audio && audio == CDIO_INVALID_LSN)
            audio = lsn;
    }
    int status = 0;
    if (audio != CDIO_INVALID_LSN) {
        unsigned char* samples = malloc((size_t)kSectors * CDIO_CD_FRAMESIZE_RAW);
        FILE* out = fopen(argv[2], "wb");
        for (int done = 0; samples && out && done < kSectors && !status; done += 25)
            status = cdio_read_audio_sectors(drive, samples + (size_t)done * CDIO_CD_FRAMESIZE_RAW, audio + done, 25) != 0;
        if (!samples || !out || status || fwrite(samples, CDIO_CD_FRAMESIZE_RAW, kSectors, out) != kSectors) {
            fprintf(stderr, "cannot read the first audio track\n");
            status = 1;
        }
        if (out)
            fclose(out);
        free(samples);
    }
    cdio_destroy(drive);
    return status;
}

/* vorlo-simdrive-match-rip: finds where a rip lies in a disc image.
 *
 *   vorlo-simdrive-match-rip BIN RIP LSN MAX_SHIFT
 *
 * Compares RIP (raw 16-bit little-endian stereo) with BIN's bytes from sector LSN on,
 * shifted by -MAX_SHIFT..MAX_SHIFT stereo samples (4 bytes each); bytes off the image
 * count as silence. Prints "shift N" for the one shift at which every byte matches and
 * exits 0, or says where the unshifted rip first differs and exits 1. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kSectorBytes = 2352, kSampleBytes = 4 };

static unsigned char* Slurp(const char* path, long* size)
{
    FILE* file = fopen(path, "rb");
    if (!file || fseek(file, 0, SEEK_END) || (*size = ftell(file)) < 0 || fseek(file, 0, SEEK_SET)) {
        perror(path);
        exit(2);
    }
    unsigned char* bytes = malloc((size_t)*size + 1);
    if (!bytes || fread(bytes, 1, (size_t)*size, file) != (size_t)*size) {
        perror(path);
        exit(2);
    }
    fclose(file);
    return bytes;
}

/* The first offset in RIP that differs from IMAGE at START, or -1. */
static long FirstDifference(const unsigned char* image, long image_size, const unsigned char* rip,
                            long rip_size, long start)
{
    for (long i = 0; i < rip_size; ++i) {
        const long at = start + i;
        const unsigned char expected = at >= 0 && at < image_size ? image[at] : 0;
        if (rip[i] != expected)
            return i;
    }
    return -1;
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: %s BIN RIP LSN MAX_SHIFT\n", argv[0]);
        return 2;
    }
    long image_size, rip_size;
    unsigned char* image = Slurp(argv[1], &image_size);
    unsigned char* rip = Slurp(argv[2], &rip_size);
    const long start = atol(argv[3]) * kSectorBytes;
    const long max_shift = atol(argv[4]);
    int status = 1;
    if (rip_size == 0) {
        fprintf(stderr, "%s is empty\n", argv[2]);
    } else {
        for (long shift = -max_shift; shift <= max_shift && status; ++shift) {
            if (FirstDifference(image, image_size, rip, rip_size, start + shift * kSampleBytes) < 0) {
                printf("shift %ld\n", shift);
                status = 0;
            }
        }
        if (status) {
            const long at = FirstDifference(image, image_size, rip, rip_size, start);
            fprintf(stderr, "%s (%ld bytes) differs from %s at sector %s, byte %ld of the rip (sector +%ld)\n",
                    argv[2], rip_size, argv[1], argv[3], at, at / kSectorBytes);
        }
    }
    free(image);
    free(rip);
    return status;
}

/* vorlo-simdrive-noise-disc: writes a CUE/BIN disc image of white noise, for rips whose
 * every sample differs from its neighbours, so that a rip shifted by even one sample, or
 * stitched wrongly, does not match.
 *
 *   vorlo-simdrive-noise-disc DIR NAME SEED TRACK...
 *
 * TRACK is audio:SECTORS, audio:SECTORS:PREGAP (PREGAP sectors of INDEX 00 before it) or
 * data:SECTORS (MODE1/2352: sync, a BCD header and noise as user data). Track 1 starts at
 * LSN 0. Writes DIR/NAME.cue and DIR/NAME.bin. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kSectorBytes = 2352, kFramesPerSecond = 75, kMsfOffset = 150 };

static uint64_t state;

static uint64_t Next(void)
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

static void Msf(int frames, char* text)
{
    sprintf(text, "%02d:%02d:%02d", frames / (60 * kFramesPerSecond), frames / kFramesPerSecond % 60,
            frames % kFramesPerSecond);
}

static uint8_t Bcd(int value) { return (uint8_t)(value / 10 << 4 | value % 10); }

static void FillSector(uint8_t* sector, int audio, int lsn)
{
    for (int i = 0; i < kSectorBytes; i += 8) {
        const uint64_t bits = Next();
        memcpy(sector + i, &bits, 8);
    }
    if (audio)
        return;
    memset(sector, 0xFF, 12);
    sector[0] = sector[11] = 0;
    const int lba = lsn + kMsfOffset;
    sector[12] = Bcd(lba / (60 * kFramesPerSecond));
    sector[13] = Bcd(lba / kFramesPerSecond % 60);
    sector[14] = Bcd(lba % kFramesPerSecond);
    sector[15] = 1;
    memset(sector + 2064, 0, kSectorBytes - 2064); /* EDC and ECC: unchecked */
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: %s DIR NAME SEED TRACK...\n", argv[0]);
        return 2;
    }
    char path[4096];
    snprintf(path, sizeof path, "%s/%s.cue", argv[1], argv[2]);
    FILE* cue = fopen(path, "w");
    snprintf(path, sizeof path, "%s/%s.bin", argv[1], argv[2]);
    FILE* bin = fopen(path, "wb");
    if (!cue || !bin) {
        perror(path);
        return 1;
    }
    state = strtoull(argv[3], NULL, 10) * 2654435761u + 1;
    fprintf(cue, "FILE \"%s.bin\" BINARY\n", argv[2]);
    int lsn = 0;
    for (int i = 4; i < argc; ++i) {
        char kind[8] = "";
        int sectors = 0, pregap = 0;
        if (sscanf(argv[i], "%7[a-z]:%d:%d", kind, &sectors, &pregap) < 2 || sectors <= 0) {
            fprintf(stderr, "bad track %s\n", argv[i]);
            return 2;
        }
        const int audio = !strcmp(kind, "audio");
        char msf[16];
        fprintf(cue, "  TRACK %02d %s\n", i - 3, audio ? "AUDIO" : "MODE1/2352");
        if (pregap > 0) {
            Msf(lsn, msf);
            fprintf(cue, "    INDEX 00 %s\n", msf);
        }
        Msf(lsn + pregap, msf);
        fprintf(cue, "    INDEX 01 %s\n", msf);
        for (int n = 0; n < pregap + sectors; ++n, ++lsn) {
            uint8_t sector[kSectorBytes];
            FillSector(sector, audio, lsn);
            fwrite(sector, 1, sizeof sector, bin);
        }
    }
    if (fclose(cue) || fclose(bin)) {
        perror("write");
        return 1;
    }
    return 0;
}

/* The media device alone: opens, plays and closes the tracks it is given, in
 * turn and over again, through the commands the player sends, and nothing
 * else (no window, no drawing). The soak runs it beside the player, so that
 * the device's own growth per opened track can be told from the player's.
 *
 * Usage: device_only.exe track ...
 *
 * Each track plays to its end, as most tracks in the player do; every third
 * is closed after a second, as a click on next does. After each open that
 * succeeds it prints "opened <n>" (n counting from 1), so the soak can count
 * the tracks without a trace. It runs until it is ended. */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define POLL_MS 50
#define CUT_SHORT_MS 1000
#define LONGEST_TRACK_MS 30000

static int queryStatus(const char* command, char* reply, size_t size) {
    memset(reply, 0, size);
    return (int)mciSendStringA(command, reply, (UINT)size, NULL);
}

/* Plays the open track until the device says it stopped after playing, or the
 * time is up. */
static void playOut(int limitMs) {
    char mode[64];
    int played = 0;
    for (int waited = 0; waited < limitMs; waited += POLL_MS) {
        Sleep(POLL_MS);
        if (queryStatus("status MP3_1 mode", mode, sizeof mode) != 0) return;
        if (strcmp(mode, "playing") == 0) played = 1;
        if (played && strcmp(mode, "stopped") == 0) return;
    }
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: device_only.exe track ...\n");
        return 2;
    }
    long opened = 0;
    for (long turn = 0;; ++turn) {
        char command[MAX_PATH + 64];
        char reply[64];
        snprintf(command, sizeof command, "OPEN \"%s\" Type MPEGVIDEO ALIAS MP3_1", argv[1 + turn % (argc - 1)]);
        if (mciSendStringA(command, NULL, 0, NULL) == 0) {
            printf("opened %ld\n", ++opened);
            fflush(stdout);
            queryStatus("status MP3_1 length", reply, sizeof reply);
            const int lengthMs = atoi(reply);
            mciSendStringA("play MP3_1", NULL, 0, NULL);
            playOut(turn % 3 == 2 ? CUT_SHORT_MS : (lengthMs > 0 && lengthMs < LONGEST_TRACK_MS ? lengthMs + 2000
                                                                                                : LONGEST_TRACK_MS));
            mciSendStringA("close MP3_1", NULL, 0, NULL);
        } else {
            Sleep(POLL_MS);
        }
    }
}

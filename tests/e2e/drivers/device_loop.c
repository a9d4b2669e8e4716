/* Test driver: opens a track on the media device, plays it a moment and
 * closes it, round after round, printing each command before it is sent and
 * its answer with the milliseconds it took, so that a command that never
 * returns is the last line printed.
 *
 *   device_loop <path> <rounds> [play ms] [commands before the close] [poll]
 *
 * The commands before the close are separated by ';' and name the alias
 * MP3_1 (for example "stop MP3_1" or "pause MP3_1"). With "poll", the
 * position is asked every millisecond while the track plays, as the player's
 * loop does (those queries are not printed); with "player", the player's own
 * load step is sent too (the length before and after the play, the volume set
 * after it). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <mmsystem.h>

static int sendCommand(int round, const char* command) {
    char reply[260] = "";
    printf("%d > %s\n", round, command);
    fflush(stdout);
    DWORD start = GetTickCount();
    MCIERROR result = mciSendStringA(command, reply, sizeof reply, NULL);
    printf("%d < %lu in %lu ms %s\n", round, (unsigned long)result, (unsigned long)(GetTickCount() - start), reply);
    fflush(stdout);
    return (int)result;
}

struct Loop {
    const char* path;
    int rounds, playMs, asPlayer, poll;
    const char* before;
};

static DWORD WINAPI runLoop(void* parameter) {
    const struct Loop* loop = parameter;
    char open[MAX_PATH + 64];
    snprintf(open, sizeof open, "OPEN \"%s\" Type MPEGVIDEO ALIAS MP3_1", loop->path);
    for (int round = 1; round <= loop->rounds; ++round) {
        if (sendCommand(round, open) != 0) return 1;
        if (loop->asPlayer) sendCommand(round, "status MP3_1 length");
        sendCommand(round, "play MP3_1");
        if (loop->asPlayer) {
            sendCommand(round, "SetAudio MP3_1 volume to 1000");
            sendCommand(round, "status MP3_1 length");
        }
        if (loop->poll) {
            char reply[260];
            for (DWORD start = GetTickCount(); GetTickCount() - start < (DWORD)loop->playMs;) {
                mciSendStringA("status MP3_1 position", reply, sizeof reply, NULL);
                Sleep(1);
            }
        } else {
            Sleep((DWORD)loop->playMs);
        }
        char commands[512];
        snprintf(commands, sizeof commands, "%s", loop->before);
        for (char* command = strtok(commands, ";"); command; command = strtok(NULL, ";")) sendCommand(round, command);
        sendCommand(round, "close MP3_1");
    }
    printf("done\n");
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: device_loop <path> <rounds> [play ms] [commands before the close] "
                        "[poll|player[-thread]|thread]\n");
        return 2;
    }
    const char* mode = argc > 5 ? argv[5] : "";
    struct Loop loop = {argv[1], atoi(argv[2]), argc > 3 ? atoi(argv[3]) : 300, strncmp(mode, "player", 6) == 0, 0,
                        argc > 4 ? argv[4] : ""};
    loop.poll = loop.asPlayer || strcmp(mode, "poll") == 0;
    if (strstr(mode, "thread") == NULL) return (int)runLoop(&loop);
    HANDLE thread = CreateThread(NULL, 0, runLoop, &loop, 0, NULL);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return (int)code;
}

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
 * after it); with "bounded", commands are waited for within a bound on a
 * device thread of their own, as the player does. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <mmsystem.h>

/* With "bounded", every command goes to a device thread and is waited for at
 * most 4 s (8 s for an open); a thread that does not answer is left behind and
 * the next command goes to a fresh one, as the player does. */
static int bounded = 0;

struct Device {
    HANDLE request, answered;
    const char* command;
    char reply[260];
    MCIERROR result;
};

static struct Device* device = NULL;
static int generation = 0; /* devices left behind so far */

/* After a device was left behind its alias stays taken: later commands name
 * MP3_1 with the generation appended. */
static const char* renamed(const char* command, char* out, size_t size) {
    const char* at = strstr(command, "MP3_1");
    if (!generation || !at) return command;
    snprintf(out, size, "%.*sMP3_1_%d%s", (int)(at - command), command, generation, at + 5);
    return out;
}

static DWORD WINAPI runDevice(void* parameter) {
    struct Device* d = parameter;
    for (;;) {
        WaitForSingleObject(d->request, INFINITE);
        d->result = mciSendStringA(d->command, d->reply, sizeof d->reply, NULL);
        SetEvent(d->answered);
    }
}

static MCIERROR sendBounded(const char* original, char* reply) {
    if (!bounded) return mciSendStringA(original, reply, 260, NULL);
    char text[MAX_PATH + 128];
    const char* command = renamed(original, text, sizeof text);
    if (!device) {
        device = calloc(1, sizeof *device);
        device->request = CreateEventA(NULL, FALSE, FALSE, NULL);
        device->answered = CreateEventA(NULL, FALSE, FALSE, NULL);
        CloseHandle(CreateThread(NULL, 0, runDevice, device, 0, NULL));
    }
    device->command = command;
    SetEvent(device->request);
    DWORD bound = _strnicmp(command, "open", 4) == 0 ? 8000 : 4000;
    if (WaitForSingleObject(device->answered, bound) != WAIT_OBJECT_0) {
        printf("   left behind: %s\n", command);
        device = NULL; /* leaked with its thread */
        ++generation;
        return 276;
    }
    memcpy(reply, device->reply, 260);
    return device->result;
}

static int sendCommand(int round, const char* command) {
    char reply[260] = "";
    printf("%d > %s\n", round, command);
    fflush(stdout);
    DWORD start = GetTickCount();
    MCIERROR result = sendBounded(command, reply);
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
        if (sendCommand(round, open) != 0 && !bounded) return 1;
        if (loop->asPlayer) sendCommand(round, "status MP3_1 length");
        sendCommand(round, "play MP3_1");
        if (loop->asPlayer) {
            sendCommand(round, "SetAudio MP3_1 volume to 1000");
            sendCommand(round, "status MP3_1 length");
        }
        if (loop->poll) {
            char reply[260];
            for (DWORD start = GetTickCount(); GetTickCount() - start < (DWORD)loop->playMs;) {
                sendBounded("status MP3_1 position", reply);
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
        fprintf(stderr,
                "usage: device_loop <path> <rounds> [play ms] [commands before the close] "
                "[poll|player|thread|bounded...]\n");
        return 2;
    }
    const char* mode = argc > 5 ? argv[5] : "";
    struct Loop loop = {
        argv[1], atoi(argv[2]),          argc > 3 ? atoi(argv[3]) : 300, strncmp(mode, "player", 6) == 0,
        0,       argc > 4 ? argv[4] : ""};
    loop.poll = loop.asPlayer || strcmp(mode, "poll") == 0;
    bounded = strstr(mode, "bounded") != NULL;
    if (strstr(mode, "thread") == NULL) return (int)runLoop(&loop);
    HANDLE thread = CreateThread(NULL, 0, runLoop, &loop, 0, NULL);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return (int)code;
}

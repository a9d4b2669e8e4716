// The fault sweep's machinery: whole sessions of the player over the simulated
// services, what is injected into a run, how it ended, and what must hold
// after it. The sessions are in scenario/sweep_sessions.cpp, the runs in
// scenario/sweep_runs.cpp, their checks in scenario/sweep_checks.cpp, the
// tests in scenario/sweep_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim.h"

namespace sweep {

constexpr std::uint32_t ACCESS_VIOLATION = 0xC0000005;  // the faults injected into calls and scripts
constexpr std::uint32_t DIVISION_BY_ZERO = 0xC0000094;  // the faults of other threads

const std::string MUSIC = "C:\\Music\\";
// The process ID of the newer player that asks this one to save.
constexpr std::uint32_t NEWER_PLAYER = 9100;

// Thrown by the user: the script is over and the player still answered; the
// system ended the session; a newer player ended this one.
struct KeptRunning {};
struct SessionEnded {};
struct Terminated {};

// How a run ended.
enum class End { Closed, FatalBox, AtOnce, SessionEnded, Terminated, KeptRunning, Runaway, Deadlock, Killed };
const char* endName(End end);

// What the user did and saw in one run.
struct Run {
    bool misaligned = false;             // rows and slots disagreed at a poll
    std::vector<std::string> rowsAtEnd;  // the rows when the user gave the ending action
    bool endGiven = false;               // the close click or the session's end reached the player
    std::string removed;                 // the row the user removed, as shown
    int drops = 0;
};

struct Step {
    std::function<void(Run&)> act;
    int polls;  // polls to wait before the next step
};

// A name the code page cannot spell and the short form the volume keeps for it.
struct Name {
    std::string longPath;  // UTF-8
    std::string shortPath;
};

// An older player running when this one starts, and how it answers the
// request to save: saving the rows it has then, refusing, hanging, or ending
// before the request reaches it.
struct OlderPlayer {
    std::uint32_t processId = 4100;
    sim::SaveAnswer answer = sim::SaveAnswer::Saves;
    std::vector<std::string> rows;  // what it saves
};

// The machine the player starts on.
struct Machine {
    std::string commandLine = "brumby.exe";         // UTF-8, as the system gives it
    std::string profile = "C:\\Users\\tester";      // USERPROFILE, UTF-8
    std::string profileKept = "C:\\Users\\tester";  // its single-byte form: where the data files are
    std::string workingDirectory = "C:\\Tunewell";  // UTF-8
    std::string workingKept = "C:\\Tunewell";       // its single-byte form, "" when it has none
    std::string programPath;                        // UTF-8; empty: the simulator's own
    std::vector<Name> names;
    bool shortForms = true;
    std::optional<std::string> listFile;  // list.vnp's bytes, when there is one
    std::optional<std::string> dirFile;   // dir.vnd's bytes, when there is one
    std::vector<std::string> files;       // more files there are, beyond the music and the library
    std::optional<OlderPlayer> olderPlayer;
};

enum class Ending { Close, SessionEnd, Fault };

struct Session {
    const char* name;
    Machine machine;
    std::vector<std::string> added;  // every path the session may add, kept form, in the order it adds them
    Ending ending;
    std::vector<Step> steps;
    std::string cleanList;            // the list file after the clean run
    void (*cleanChecks)() = nullptr;  // what else the clean run must have done
};

const std::vector<Session>& sessions();

// What is injected into a run. Failure, Fault and Kill name a call by its
// number; Elsewhere a poll, inside which another thread faults; InDevice the
// n-th device command, during which another thread faults; Inside the n-th
// modal wait, inside which something arrives.
enum class Kind { None, Failure, Fault, Kill, Elsewhere, InDevice, Inside };
// How the loop's thread stands when another thread's fault comes.
enum class LoopThread { Answers, Hung, HungInBriefAllocation, HungInAllocationForGood, HungInWindowCallForGood };
// What arrives inside a modal wait.
enum class Delivery { SessionEnd, SaveRequest, Drop, FaultElsewhere };

struct Injection {
    Kind kind = Kind::None;
    std::int64_t number = 0;
    int variant = 0;  // a LoopThread for Elsewhere, a Delivery for Inside
};

// A file as a run left it.
struct FileState {
    bool there = false;
    std::string bytes;
    bool operator==(const FileState& other) const { return there == other.there && bytes == other.bytes; }
    bool operator!=(const FileState& other) const { return !(*this == other); }
};

struct Outcome {
    End end = End::KeptRunning;
    int code = 0;
    Run run;
    FileState listBefore, listAfter, dirBefore, dirAfter;
    std::vector<std::string> filesBefore, filesAfter;  // every file of the machine
    bool closedAtEnd = false;                          // the device's close came at the end the user gave
    FileState listAtClose;                             // the list file then
    int injectedAtPoll = -1;                           // the first poll after the injection came
    std::vector<std::string> modalWaits;               // the modal waits, in order
    std::size_t mediaAtBox = 0;                        // device commands sent when the fatal box came up
    bool boxShown = false;
    std::size_t faultsAtBox = 0;   // faults counted when it came up
    bool raisedElsewhere = false;  // another thread's fault came
    bool elsewhereFatal = false;   // and the fatal path took it (the first pass had ended)
    std::int64_t clockAtElsewhere = 0;
    std::size_t mediaAtElsewhere = 0;
    std::size_t mediaAfter = 0;
    std::int64_t clockAfter = 0;
    std::int64_t clockAtFirstPoll = -1;
};

// Runs the session once with the injection (none for a clean run); past
// `callLimit` calls the run counts as a pass that never ended.
Outcome runSession(const Session& session, const Injection& injection, std::int64_t callLimit, bool record);
// Every way the run went wrong, one line each.
std::vector<std::string> check(const Session& session, const Injection& injection, const Outcome& outcome);
// After a kill: the player started again on the files the kill left, and
// closed; every way that went wrong.
std::vector<std::string> checkStartAgain(const Session& session);

// The runs to make of each kind, from the clean run's call log and outcome.
std::vector<Injection> injections(const std::vector<sim::CallRecord>& log, const Outcome& clean, Kind kind);
std::string describe(const Injection& injection, const std::vector<sim::CallRecord>& log, const Outcome& clean);

// Shared by the runs and their checks: where a machine keeps its data files
// and how they stand now, how a path's row reads (the long name for a short
// form), what a first start records in dir.vnd, and the file a drop inside a
// modal wait brings (its row may come anywhere among a session's).
std::string dataFolder(const Machine& machine);
FileState listState(const Machine& machine);
FileState dirState(const Machine& machine);
std::string shownName(const Machine& machine, const std::string& path);
std::string rightDirFile(const Machine& machine);
const std::string DROPPED_INSIDE = MUSIC + "h.mp3";

// The rows a list file makes, read as the player reads it: lines end at CR LF,
// CR, LF or NUL, blank ones make no row, 201 at most.
std::vector<std::string> listFileRows(const std::string& bytes);
std::string savedForm(const std::vector<std::string>& paths);
std::vector<std::string> inMusic(std::initializer_list<const char*> names);

}  // namespace sweep

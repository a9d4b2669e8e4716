// The sweep's runs: a session set up on a fresh simulated machine, run whole
// with one thing injected, and checked afterwards.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/brumby.h"
#include "app/fault_trap.h"
#include "app/player.h"
#include "app/single_instance.h"
#include "numbers/numbers.h"
#include "platform/system.h"
#include "playlist/playlist.h"
#include "support/sweep.h"

namespace sweep {

namespace {

constexpr int FACE = numbers::MAIN_WINDOW, LIST_WINDOW = numbers::PLAYLIST_WINDOW;
constexpr int LIST = numbers::PLAYLIST_LIST;
constexpr int POLLS_PAST_SCRIPT = 6;
const char* const MUSIC_FILES[] = {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.wav", "f.ogg", "g.mid", "h.mp3", "x.mp3"};
// Dropped inside a modal wait; it may come at any point of a session's rows.
const std::string DROPPED_INSIDE = MUSIC + "h.mp3";
// The calls a kill is made at: every one that changes a file or holds it
// open. Between two of them the files stay as they are, so a kill at any
// other call leaves what a kill at the next of these leaves.
const char* const KILL_CALLS[] = {"createFolder", "openFile",    "writeFile", "flushFile",
                                  "closeFile",    "replaceFile", "deleteFile"};
// The longest an end may take after another thread's fault: the wait for
// the loop's thread, and the fatal path, which waits for nothing.
constexpr std::int64_t END_AFTER_FAULT_ELSEWHERE_MS = app::HANDOVER_TIMEOUT_MS + 1000;

// dir.vnd is written in place (created, written, closed), not replaced whole:
// a write that fails, a close that loses the write, or a kill in between
// leaves it cut short. Runs that do are counted as known and let through.
constexpr bool DIR_FILE_WRITTEN_IN_PLACE = true;
// A profile that cannot be read makes the data folder's paths start at the
// current drive's root, and the data files are made there. Known, let through.
constexpr bool UNREAD_PROFILE_WRITES_AT_DRIVE_ROOT = true;
const std::string DRIVE_ROOT_DATA_FOLDER = "\\Local Settings\\Application Data\\Varnel\\MP3";
// The simulated player's own process ID.
constexpr std::uint32_t OWN_PROCESS = 7000;
// The longest a start may take with an older player: its time to save, and
// the wait for its end.
constexpr std::int64_t START_WITH_OLDER_PLAYER_MS = app::SAVE_REQUEST_TIMEOUT_MS + app::PROCESS_END_TIMEOUT_MS;

std::string dataFolder(const Machine& machine) {
    return machine.profileKept + "\\Local Settings\\Application Data\\Varnel\\MP3";
}
std::string listPath(const Machine& machine) { return dataFolder(machine) + "\\list.vnp"; }
std::string dirPath(const Machine& machine) { return dataFolder(machine) + "\\dir.vnd"; }

FileState fileState(const std::string& folder, const std::string& name, const std::string& path) {
    const std::vector<std::string> files = sim::filesIn(folder);
    FileState state;
    state.there = std::find(files.begin(), files.end(), name) != files.end();
    state.bytes = sim::memoryFile(path);
    return state;
}
FileState listState(const Machine& machine) { return fileState(dataFolder(machine), "LIST.VNP", listPath(machine)); }
FileState dirState(const Machine& machine) { return fileState(dataFolder(machine), "DIR.VND", dirPath(machine)); }

void setUpMachine(const Machine& machine) {
    sim::reset("");
    for (const char* name : MUSIC_FILES) sim::putMemoryFile(MUSIC + name, std::string("audio ") + name);
    sim::putMemoryFile("C:\\Tunewell\\ravlet.dll", "MZ");
    for (const std::string& file : machine.files) sim::putMemoryFile(file, "file");
    sim::setCommandLine(machine.commandLine);
    sim::setEnvironment("USERPROFILE", machine.profile);
    sim::setCurrentDirectory(machine.workingDirectory);
    if (!machine.programPath.empty()) sim::setProgramPath(machine.programPath);
    for (const Name& name : machine.names) sim::nameFile(name.longPath, name.shortPath);
    if (!machine.shortForms) sim::keepNoShortForms();
    if (machine.listFile) sim::putMemoryFile(listPath(machine), *machine.listFile);
    if (machine.dirFile) sim::putMemoryFile(dirPath(machine), *machine.dirFile);
    if (const std::optional<OlderPlayer>& older = machine.olderPlayer) {
        sim::setProcesses({{"System", 4}, {"brumby.exe", older->processId}, {"brumby.exe", OWN_PROCESS}});
        sim::answerSaveRequests(older->processId, older->answer, listPath(machine), savedForm(older->rows));
    }
}

// The user's hand: the about box's library answers, and runs its own modal loop.
void prepareRun() {
    sim::registerLibraryFunction("about", [] { return 0; });
}

// Rows and slots as the user and the player hold them, asked of neither the
// list nor the services (which would number calls of their own).
bool aligned(const app::Player& player) {
    const std::size_t rows = sim::listRows(LIST).size();
    if (rows > playlist::PLAYLIST_SLOTS) return false;
    for (std::size_t i = 0; i < playlist::PLAYLIST_SLOTS; ++i)
        if (player.playlist.slots[i].empty() != (i >= rows)) return false;
    return true;
}

// What a first start writes: the working directory, a backslash, CR LF;
// nothing when the directory has no single-byte form.
std::string rightDirFile(const Machine& machine) {
    return machine.workingKept.empty() ? "" : machine.workingKept + "\\\r\n";
}

bool startsWithFiles(const Machine& machine) { return machine.commandLine != "brumby.exe"; }

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// How a path's row reads: its entry name, the long one for a short form.
std::string shownName(const Machine& machine, const std::string& path) {
    for (const Name& name : machine.names)
        if (upperCase(name.shortPath) == upperCase(path)) return playlist::entryName(name.longPath);
    return sim::utf8FromCodePage(playlist::entryName(path));
}

// The list file's rows as this player reads them: an older player that saved
// when asked replaced the file first.
bool olderPlayerSaved(const Machine& machine) {
    const std::optional<OlderPlayer>& older = machine.olderPlayer;
    return older && older->answer == sim::SaveAnswer::Saves && !sim::saveRequestsSent().empty();
}

std::vector<std::string> listedAtStart(const Machine& machine) {
    if (olderPlayerSaved(machine)) return machine.olderPlayer->rows;
    return machine.listFile ? listFileRows(*machine.listFile) : std::vector<std::string>{};
}

std::vector<std::string> splitSavedForm(const std::string& bytes, bool& wellFormed) {
    std::vector<std::string> lines;
    wellFormed = true;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            wellFormed = false;
            break;
        }
        const std::string line = bytes.substr(at, end - at);
        if (line.empty() || line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) wellFormed = false;
        lines.push_back(line);
        at = end + 2;
    }
    return lines;
}

const char* LOOP_THREAD_NAMES[] = {"answers", "hung", "hung in a brief allocation", "hung in an allocation for good"};
const char* DELIVERY_NAMES[] = {"the end of the session", "a newer player's save request", "a drop",
                                "another thread's fault"};

}  // namespace

const char* endName(End end) {
    static const char* const NAMES[] = {"closed",       "fatal box", "ended at once", "session ended", "terminated",
                                        "kept running", "runaway",   "deadlock",      "killed"};
    return NAMES[static_cast<int>(end)];
}

std::vector<std::string> listFileRows(const std::string& bytes) {
    static const std::string ENDS("\r\n\0", 3);
    std::vector<std::string> rows;
    std::size_t at = 0;
    while (at < bytes.size() && rows.size() < playlist::PLAYLIST_SLOTS) {
        std::size_t end = bytes.find_first_of(ENDS, at);
        if (end == std::string::npos) end = bytes.size();
        if (end > at) rows.push_back(bytes.substr(at, end - at));
        at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return rows;
}

std::string savedForm(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const std::string& path : paths) bytes += path + "\r\n";
    return bytes;
}

std::vector<std::string> inMusic(std::initializer_list<const char*> names) {
    std::vector<std::string> paths;
    for (const char* name : names) paths.push_back(MUSIC + name);
    return paths;
}

Outcome runSession(const Session& session, const Injection& injection, std::int64_t callLimit, bool record) {
    setUpMachine(session.machine);
    prepareRun();
    Outcome outcome;
    outcome.listBefore = listState(session.machine);
    outcome.dirBefore = dirState(session.machine);
    if (record) sim::recordCalls();
    if (injection.kind == Kind::Failure) sim::failCall(injection.number);
    if (injection.kind == Kind::Fault) sim::faultInCall(injection.number, ACCESS_VIOLATION);
    if (injection.kind == Kind::Kill) sim::killAtCall(injection.number);
    sim::limitCalls(callLimit);

    std::size_t next = 0;
    int waitUntil = 0;
    std::int64_t deviceCommands = 0;
    app::Player player;

    // The end the user sees coming, unless one came already.
    auto giveEnd = [&] {
        if (outcome.run.endGiven) return;
        outcome.run.rowsAtEnd = sim::listRows(LIST);
        outcome.run.endGiven = true;
    };
    // Another thread faults; the loop's thread stands as the variant says.
    auto faultElsewhere = [&](LoopThread loopThread) {
        outcome.raisedElsewhere = true;
        outcome.elsewhereFatal =
            player.faults.mode.load() == app::FaultMode::CallHandler && player.faults.handlerThread.load() == 0;
        outcome.clockAtElsewhere = sim::clockMs();
        outcome.mediaAtElsewhere = sim::mediaLog().size();
        if (outcome.elsewhereFatal) giveEnd();
        if (loopThread != LoopThread::Answers) sim::setLoopThreadAnswers(false);
        if (loopThread == LoopThread::HungInBriefAllocation) sim::allocationAtStop(false);
        if (loopThread == LoopThread::HungInAllocationForGood) sim::allocationAtStop(true);
        sim::raiseFaultElsewhere(DIVISION_BY_ZERO, 0x402000);
        sim::setLoopThreadAnswers(true);
    };

    auto deliver = [&](Delivery delivery) {
        switch (delivery) {
        case Delivery::SessionEnd:
            giveEnd();
            sim::endSession();
            throw SessionEnded{};
        case Delivery::SaveRequest:
            giveEnd();
            sim::requestSave(NEWER_PLAYER);
            throw Terminated{};
        case Delivery::Drop:
            sim::queueDrop(FACE, {DROPPED_INSIDE});
            ++outcome.run.drops;
            break;
        case Delivery::FaultElsewhere:
            faultElsewhere(LoopThread::Answers);
            break;
        }
    };

    sim::onPoll([&] {
        const int poll = sim::polls();
        if (outcome.clockAtFirstPoll < 0) outcome.clockAtFirstPoll = sim::clockMs();
        if (outcome.injectedAtPoll < 0 && sim::injectionReached()) outcome.injectedAtPoll = poll;
        // Rows and slots agree at every poll; a change the injection broke off
        // is mended at the start of the next pass (the close takes the list away).
        if (player.app.quitFlag == 0 && poll != outcome.injectedAtPoll && !aligned(player))
            outcome.run.misaligned = true;
        if (injection.kind == Kind::Elsewhere && poll == injection.number)
            faultElsewhere(static_cast<LoopThread>(injection.variant));
        if (poll < waitUntil) return;
        if (next == session.steps.size()) throw KeptRunning{};
        const Step& step = session.steps[next++];
        waitUntil = poll + step.polls + (next == session.steps.size() ? POLLS_PAST_SCRIPT : 0);
        step.act(outcome.run);
    });
    sim::onMediaCommand([&](const std::string& command) {
        ++deviceCommands;
        if (injection.kind == Kind::InDevice && deviceCommands == injection.number) faultElsewhere(LoopThread::Answers);
        const bool ending = player.app.quitFlag == 1 || player.app.sessionEnded == 1;
        if (command != "close MP3_1" || !ending || outcome.closedAtEnd) return;
        outcome.closedAtEnd = true;
        outcome.listAtClose = listState(session.machine);
    });
    sim::onModalWait([&](const std::string& service) {
        outcome.modalWaits.push_back(service);
        if (service == "messageBox") {
            outcome.boxShown = true;
            outcome.mediaAtBox = sim::mediaLog().size();
            outcome.faultsAtBox = sim::faultsRaised().size();
        }
        if (injection.kind == Kind::Inside && static_cast<std::int64_t>(outcome.modalWaits.size()) == injection.number)
            deliver(static_cast<Delivery>(injection.variant));
    });

    try {
        outcome.code = app::runPlayer(player);
        outcome.end = End::Closed;
    } catch (const sim::ProcessExit& exit) {
        outcome.code = exit.code;
        outcome.end = exit.atOnce ? End::AtOnce : End::FatalBox;
    } catch (const SessionEnded&) {
        outcome.end = End::SessionEnded;
    } catch (const Terminated&) {
        outcome.end = End::Terminated;
    } catch (const KeptRunning&) {
        outcome.end = End::KeptRunning;
    } catch (const sim::Runaway&) {
        outcome.end = End::Runaway;
    } catch (const sim::Deadlock&) {
        outcome.end = End::Deadlock;
    } catch (const sim::Killed&) {
        outcome.end = End::Killed;
    }
    sim::onPoll(nullptr);
    sim::onMediaCommand(nullptr);
    sim::onModalWait(nullptr);
    outcome.listAfter = listState(session.machine);
    outcome.dirAfter = dirState(session.machine);
    outcome.mediaAfter = sim::mediaLog().size();
    outcome.clockAfter = sim::clockMs();
    return outcome;
}

namespace {

// The fatal ends: one box (none when the system could not make it), with the
// count and the description of the fault that ended the player, and its code.
void checkFatalEnd(const Injection& injection, const Outcome& outcome, std::vector<std::string>& wrong) {
    const std::vector<sim::MessageShown>& boxes = sim::messagesShown();
    const std::vector<sim::FaultRaised>& faults = sim::faultsRaised();
    const std::uint32_t code = outcome.elsewhereFatal ? DIVISION_BY_ZERO : ACCESS_VIOLATION;
    const bool boxRefused = sim::callCount("messageBox") > static_cast<int>(boxes.size());
    const bool stuckForGood = injection.kind == Kind::Elsewhere && outcome.elsewhereFatal &&
                              injection.variant == static_cast<int>(LoopThread::HungInAllocationForGood);
    // Ended inside the box: by the end of the session or a newer player.
    const bool endedInBox = outcome.boxShown && (outcome.end == End::SessionEnded || outcome.end == End::Terminated);
    if (outcome.end == End::FatalBox || endedInBox) {
        if (boxes.size() != (boxRefused ? 0u : 1u)) {
            wrong.push_back(std::to_string(boxes.size()) + " boxes for a fatal fault");
        } else if (!boxes.empty()) {
            const std::string& text = boxes[0].text;
            const std::string count = "Total number of errors: " + std::to_string(outcome.faultsAtBox) + "\r\n";
            const std::string description = std::string("Description: ") + app::faultDescription(code) + "\r\n";
            if (boxes[0].title != "Debugger" || text.find(count) == std::string::npos ||
                text.find(description) == std::string::npos)
                wrong.push_back("the box read: " + text);
        }
        if (stuckForGood) wrong.push_back("a box shown with the heap's lock held for good");
    } else if (outcome.end == End::AtOnce) {
        const bool nested = !faults.empty() && (!faults.back().filtered || faults.back().nested);
        if (!nested && !stuckForGood)
            wrong.push_back("ended at once outside the handler, code " + std::to_string(outcome.code));
        if (stuckForGood && !boxes.empty()) wrong.push_back("a box shown with the heap's lock held for good");
        if (boxes.size() > 1) wrong.push_back("more than one box");
    } else if (!boxes.empty()) {
        wrong.push_back("a box without a fatal fault: " + boxes[0].text);
    }
    const bool fatal = outcome.end == End::FatalBox || (outcome.end == End::AtOnce && stuckForGood);
    static_cast<void>(faults);
    if (fatal && static_cast<std::uint32_t>(outcome.code) != code)
        wrong.push_back("a fatal fault ended with code " + std::to_string(outcome.code));
    if (stuckForGood && outcome.end != End::AtOnce)
        wrong.push_back("the heap's lock held for good, and the player did not end at once");
    // Another thread's fault ends the player in bounded time, and the fatal
    // path that runs without the loop's thread leaves the device alone.
    if (outcome.elsewhereFatal && (outcome.end == End::FatalBox || outcome.end == End::AtOnce)) {
        if (outcome.clockAfter - outcome.clockAtElsewhere > END_AFTER_FAULT_ELSEWHERE_MS)
            wrong.push_back("ended " + std::to_string(outcome.clockAfter - outcome.clockAtElsewhere) +
                            " ms after the other thread's fault");
        if (outcome.mediaAfter != outcome.mediaAtElsewhere)
            wrong.push_back("the device was sent something after the other thread's fault");
    }
    if (outcome.boxShown && outcome.mediaAfter != outcome.mediaAtBox)
        wrong.push_back("the device was sent something while the fatal box was up");
}

// An older player is asked at most once and ended at most once, and no other
// process is; one that ended before the request is not asked (the clean run
// checks it is not ended either); and however it answers, the start goes on
// within the time it is given.
void checkOlderPlayer(const Machine& machine, const Outcome& outcome, std::vector<std::string>& wrong) {
    const std::vector<std::uint32_t>& asked = sim::saveRequestsSent();
    const std::vector<std::uint32_t>& ended = sim::terminatedProcesses();
    const std::optional<OlderPlayer>& older = machine.olderPlayer;
    const std::vector<std::uint32_t> atMostTheOlder =
        older ? std::vector<std::uint32_t>{older->processId} : std::vector<std::uint32_t>{};
    if (!asked.empty() && asked != atMostTheOlder)
        wrong.push_back("asked to save a process other than the older player, or twice");
    if (!ended.empty() && ended != atMostTheOlder)
        wrong.push_back("ended a process other than the older player, or twice");
    if (sim::openProcessCount() != 0 && outcome.end == End::Closed && sim::faultsRaised().empty())
        wrong.push_back("a process handle left open");
    if (!older) return;
    if (older->answer == sim::SaveAnswer::EndsFirst && !asked.empty())
        wrong.push_back("an older player that had ended was asked to save");
    if (outcome.clockAtFirstPoll > START_WITH_OLDER_PLAYER_MS)
        wrong.push_back("the start took " + std::to_string(outcome.clockAtFirstPoll) + " ms with an older player");
}

// The list file: as it was, or the saved form of a playlist the user saw.
void checkListFile(const Session& session, const Outcome& outcome, std::vector<std::string>& wrong) {
    const Machine& machine = session.machine;
    const Run& run = outcome.run;
    if (outcome.listBefore.there && !outcome.listAfter.there) wrong.push_back("the list file is gone");
    if (!outcome.listAfter.there || outcome.listAfter == outcome.listBefore) return;
    // Rows keep their order; the list's own rows stay unless the user removed
    // them. (A start whose files a fault passed over reads the list file.)
    const std::vector<std::string> listed = listedAtStart(machine);
    if (olderPlayerSaved(machine) && outcome.listAfter.bytes == savedForm(listed)) return;
    bool wellFormed = true;
    const std::vector<std::string> lines = splitSavedForm(outcome.listAfter.bytes, wellFormed);
    if (!wellFormed || lines.size() > playlist::PLAYLIST_SLOTS)
        wrong.push_back("the list file is not a saved playlist: " + outcome.listAfter.bytes.substr(0, 200));
    std::vector<std::string> universe = listed;
    universe.insert(universe.end(), session.added.begin(), session.added.end());
    std::size_t at = 0;
    int droppedInside = 0;
    for (const std::string& line : lines) {
        if (line == DROPPED_INSIDE && run.drops > 0 && ++droppedInside == 1) continue;
        while (at < universe.size() && universe[at] != line) ++at;
        if (at == universe.size()) {
            wrong.push_back("saved out of order or unknown: " + line);
            break;
        }
        ++at;
    }
    const std::set<std::string> saved(lines.begin(), lines.end());
    for (const std::string& kept : listed) {
        if (startsWithFiles(machine)) break;
        if (!saved.count(kept) && shownName(machine, kept) != run.removed)
            wrong.push_back("lost from the list: " + kept);
    }
    // Saved at the end the user gave, it is what the user saw then.
    const std::vector<sim::FaultRaised>& faults = sim::faultsRaised();
    const bool fatalGiven = outcome.end == End::FatalBox && faults.size() == 1 &&
                            (session.ending == Ending::Fault || outcome.elsewhereFatal);
    const bool endedThere =
        outcome.end == End::Closed || outcome.end == End::SessionEnded || outcome.end == End::Terminated || fatalGiven;
    if (run.endGiven && endedThere) {
        std::vector<std::string> names;
        for (const std::string& line : lines) names.push_back(shownName(machine, line));
        if (names != run.rowsAtEnd) wrong.push_back("saved rows differ from the rows shown");
    }
}

// dir.vnd: as it was, missing as it was, or whole and right: the working
// directory of this first start, a backslash, CR LF.
void checkDirFile(const Session& session, const Outcome& outcome, std::vector<std::string>& wrong,
                  std::vector<std::string>& known) {
    const Machine& machine = session.machine;
    if (outcome.dirAfter == outcome.dirBefore) return;
    if (outcome.dirBefore.there && !outcome.dirAfter.there) {
        wrong.push_back("dir.vnd is gone");
        return;
    }
    const std::string right = rightDirFile(machine);
    if (!right.empty() && outcome.dirAfter.bytes == right) return;
    const bool cut = !right.empty() && right.compare(0, outcome.dirAfter.bytes.size(), outcome.dirAfter.bytes) == 0;
    if (cut && DIR_FILE_WRITTEN_IN_PLACE) known.push_back("dir.vnd cut short: \"" + outcome.dirAfter.bytes + "\"");
    else wrong.push_back("dir.vnd holds \"" + outcome.dirAfter.bytes + "\"");
}

}  // namespace

std::vector<std::string> check(const Session& session, const Injection& injection, const Outcome& outcome,
                               std::vector<std::string>& known) {
    std::vector<std::string> wrong;
    const Run& run = outcome.run;
    const Machine& machine = session.machine;
    const bool killed = outcome.end == End::Killed;

    if (outcome.end == End::Runaway) wrong.push_back("a pass never ended");
    if (outcome.end == End::Deadlock) wrong.push_back("waited for good for a lock the stopped loop's thread holds");
    if (killed && injection.kind != Kind::Kill) wrong.push_back("killed without a kill");
    if (run.misaligned) wrong.push_back("rows and slots disagreed");
    if (outcome.end == End::KeptRunning && run.endGiven)
        wrong.push_back(session.ending == Ending::Fault ? "the fault was given and the player did not end"
                                                        : "the end was given and the player did not end");
    checkFatalEnd(injection, outcome, wrong);
    if (outcome.end == End::Closed && (sim::servicesStopped() != 1 || sim::faultFilterInstalled()))
        wrong.push_back("the close did not release the services and the fault filter, once");
    // The playlist is kept before the device is told to close: a close that
    // hangs must not take the rows with it.
    if (outcome.closedAtEnd && outcome.listAtClose != outcome.listAfter)
        wrong.push_back("the list file changed after the device's close");

    // No temporary file is left beside the data files, unless a kill left it.
    for (const std::string& name : sim::filesIn(dataFolder(machine))) {
        const bool left = killed && (name == "LIST.VNP.TMP" || name == "DIR.VND.TMP");
        if (name != "LIST.VNP" && name != "DIR.VND" && !left) wrong.push_back("left in the data folder: " + name);
    }
    // (At start-up; the close saves where the start named its list file.)
    const std::vector<std::string> stray = sim::filesIn(DRIVE_ROOT_DATA_FOLDER);
    if (!stray.empty()) {
        if (UNREAD_PROFILE_WRITES_AT_DRIVE_ROOT && injection.kind == Kind::Failure && outcome.injectedAtPoll <= 1)
            known.push_back("data files made at the drive's root: " + stray.front());
        else wrong.push_back("data files made at the drive's root: " + stray.front());
    }
    // A normal end leaves every drop released, and no file open unless a
    // fault passed over broke off the step that had it open.
    if (outcome.end == End::Closed || outcome.end == End::SessionEnded) {
        if (sim::openFileCount() != 0 && sim::faultsRaised().empty())
            wrong.push_back(std::to_string(sim::openFileCount()) + " files left open");
        if (outcome.end == End::Closed && sim::finishedDropCount() != run.drops)
            wrong.push_back("a drop was never released");
    }
    checkOlderPlayer(machine, outcome, wrong);
    checkListFile(session, outcome, wrong);
    checkDirFile(session, outcome, wrong, known);
    return wrong;
}

std::vector<std::string> checkStartAgain(const Session& session) {
    std::vector<std::string> wrong;
    const Machine& machine = session.machine;
    sim::startAgain();
    sim::setCommandLine("brumby.exe");
    prepareRun();
    const FileState listLeft = listState(machine);
    const FileState dirLeft = dirState(machine);
    app::Player player;
    std::vector<std::string> rowsAtStart;
    bool closed = false;
    sim::onPoll([&] {
        const int poll = sim::polls();
        if (poll == 3) rowsAtStart = sim::listRows(LIST);
        if (poll >= 3 && poll % 3 == 0) {
            sim::movePointerToClient(FACE, 12, 10);
            sim::queueControlEvent(numbers::FACE_CONTROL, 0);
        }
        if (poll > 20) throw KeptRunning{};
    });
    try {
        app::runPlayer(player);
        closed = true;
    } catch (const KeptRunning&) {
    } catch (const sim::ProcessExit&) {
    }
    sim::onPoll(nullptr);
    if (!closed) wrong.push_back("started again, the player did not close");
    const std::vector<std::string> listed = listLeft.there ? listFileRows(listLeft.bytes) : std::vector<std::string>{};
    std::vector<std::string> names;
    for (const std::string& path : listed) names.push_back(shownName(machine, path));
    if (rowsAtStart != names) wrong.push_back("started again, the rows are not the list file's");
    for (const std::string& name : sim::filesIn(dataFolder(machine)))
        if (name != "LIST.VNP" && name != "DIR.VND") wrong.push_back("started again, left in the data folder: " + name);
    if (listState(machine).bytes != savedForm(listed)) wrong.push_back("started again, the close saved other rows");
    const FileState dirAfter = dirState(machine);
    if (dirLeft.there && dirAfter != dirLeft && dirAfter.bytes != rightDirFile(machine))
        wrong.push_back("started again, dir.vnd holds \"" + dirAfter.bytes + "\"");
    return wrong;
}

std::vector<Injection> injections(const std::vector<sim::CallRecord>& log, const Outcome& clean, Kind kind) {
    std::vector<Injection> chosen;
    if (kind == Kind::Failure || kind == Kind::Fault) {
        // Every call, but of the calls a pass makes many times over only the
        // first, middle and last of each pass.
        std::map<std::pair<int, std::string>, std::vector<std::int64_t>> byPass;
        for (std::size_t i = 0; i < log.size(); ++i) {
            const sim::CallRecord& call = log[i];
            if (kind == Kind::Failure && !call.canFail) continue;
            const bool status = call.name == "mediaCommand" && call.detail.rfind("status ", 0) == 0;
            byPass[{call.poll, status ? "status" : call.name}].push_back(static_cast<std::int64_t>(i + 1));
        }
        std::vector<std::int64_t> numbers;
        for (const auto& [key, calls] : byPass) {
            if (calls.size() <= 3) {
                numbers.insert(numbers.end(), calls.begin(), calls.end());
            } else {
                numbers.push_back(calls.front());
                numbers.push_back(calls[calls.size() / 2]);
                numbers.push_back(calls.back());
            }
        }
        std::sort(numbers.begin(), numbers.end());
        for (std::int64_t number : numbers) chosen.push_back({kind, number, 0});
    }
    if (kind == Kind::Kill) {
        for (std::size_t i = 0; i < log.size(); ++i)
            if (std::find(std::begin(KILL_CALLS), std::end(KILL_CALLS), log[i].name) != std::end(KILL_CALLS))
                chosen.push_back({kind, static_cast<std::int64_t>(i + 1), 0});
    }
    if (kind == Kind::Elsewhere) {
        const int lastPoll = log.empty() ? 0 : log.back().poll;
        for (int poll = 1; poll <= lastPoll; ++poll)
            for (int variant = 0; variant <= static_cast<int>(LoopThread::HungInAllocationForGood); ++variant)
                chosen.push_back({kind, poll, variant});
    }
    if (kind == Kind::InDevice) {
        // Each pass's first, middle and last status query, and every other command.
        std::map<int, std::vector<std::int64_t>> statusByPass;
        std::int64_t command = 0;
        for (const sim::CallRecord& call : log) {
            if (call.name != "mediaCommand") continue;
            ++command;
            if (call.detail.rfind("status ", 0) == 0) statusByPass[call.poll].push_back(command);
            else chosen.push_back({kind, command, 0});
        }
        for (const auto& [poll, commands] : statusByPass) {
            chosen.push_back({kind, commands.front(), 0});
            if (commands.size() > 2) chosen.push_back({kind, commands[commands.size() / 2], 0});
            if (commands.size() > 1) chosen.push_back({kind, commands.back(), 0});
        }
    }
    if (kind == Kind::Inside) {
        for (std::size_t wait = 1; wait <= clean.modalWaits.size(); ++wait)
            for (int delivery = 0; delivery <= static_cast<int>(Delivery::FaultElsewhere); ++delivery)
                chosen.push_back({kind, static_cast<std::int64_t>(wait), delivery});
    }
    return chosen;
}

std::string describe(const Injection& injection, const std::vector<sim::CallRecord>& log, const Outcome& clean) {
    auto callText = [&](std::int64_t number) {
        const sim::CallRecord& call = log[static_cast<std::size_t>(number - 1)];
        return std::to_string(number) + " (" + call.name + (call.detail.empty() ? "" : " " + call.detail) + ", poll " +
               std::to_string(call.poll) + ")";
    };
    switch (injection.kind) {
    case Kind::None:
        return "the clean run";
    case Kind::Failure:
        return "failing call " + callText(injection.number);
    case Kind::Fault:
        return "faulting in call " + callText(injection.number);
    case Kind::Kill:
        return "killed at call " + callText(injection.number);
    case Kind::Elsewhere:
        return "another thread's fault at poll " + std::to_string(injection.number) + ", the loop's thread " +
               LOOP_THREAD_NAMES[injection.variant];
    case Kind::InDevice:
        return "another thread's fault during device command " + std::to_string(injection.number);
    case Kind::Inside:
        return std::string(DELIVERY_NAMES[injection.variant]) + " inside modal wait " +
               std::to_string(injection.number) + " (" +
               clean.modalWaits[static_cast<std::size_t>(injection.number - 1)] + ")";
    }
    return "";
}

}  // namespace sweep

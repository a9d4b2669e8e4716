// The sweep's checks: what must hold after a run, whatever was injected.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "app/fault_trap.h"
#include "app/single_instance.h"
#include "playlist/playlist.h"
#include "support/data_folder.h"
#include "support/sweep.h"

namespace sweep {

namespace {

// The longest an end may take after another thread's fault: the wait for
// the loop's thread, and the fatal path, which waits for nothing.
constexpr std::int64_t END_AFTER_FAULT_ELSEWHERE_MS = app::HANDOVER_TIMEOUT_MS + 1000;

// Where the data files would go with a profile that cannot be read.
const std::string DRIVE_ROOT_DATA_FOLDER = support::DATA_FOLDER_BELOW_PROFILE;
// The longest a start may take with an older player: its time to save, and
// the wait for its end.
constexpr std::int64_t START_WITH_OLDER_PLAYER_MS = app::SAVE_REQUEST_TIMEOUT_MS + app::PROCESS_END_TIMEOUT_MS;

bool startsWithFiles(const Machine& machine) { return machine.commandLine != "brumby.exe"; }

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

// Another thread's fault came while the loop's thread was stuck holding, for
// good, a lock the fatal path needs: the player ends at once, without a box.
bool heldForGood(const Injection& injection, const Outcome& outcome) {
    return injection.kind == Kind::Elsewhere && outcome.elsewhereFatal &&
           (injection.variant == static_cast<int>(LoopThread::HungInAllocationForGood) ||
            injection.variant == static_cast<int>(LoopThread::HungInWindowCallForGood));
}

// The fatal ends: one box (none when the system could not make it), with the
// count and the description of the fault that ended the player, and its code.
void checkFatalEnd(const Injection& injection, const Outcome& outcome, std::vector<std::string>& wrong) {
    const std::vector<sim::MessageShown>& boxes = sim::messagesShown();
    const std::vector<sim::FaultRaised>& faults = sim::faultsRaised();
    const std::uint32_t code = outcome.elsewhereFatal ? DIVISION_BY_ZERO : ACCESS_VIOLATION;
    const bool boxRefused = sim::callCount("messageBox") > static_cast<int>(boxes.size());
    const bool stuckForGood = heldForGood(injection, outcome);
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
        if (stuckForGood) wrong.push_back("a box shown with a lock held for good");
    } else if (outcome.end == End::AtOnce) {
        const bool nested = !faults.empty() && (!faults.back().filtered || faults.back().nested);
        if (!nested && !stuckForGood)
            wrong.push_back("ended at once outside the handler, code " + std::to_string(outcome.code));
        if (stuckForGood && !boxes.empty()) wrong.push_back("a box shown with a lock held for good");
        if (boxes.size() > 1) wrong.push_back("more than one box");
    } else if (!boxes.empty()) {
        wrong.push_back("a box without a fatal fault: " + boxes[0].text);
    }
    const bool fatal = outcome.end == End::FatalBox || (outcome.end == End::AtOnce && stuckForGood);
    static_cast<void>(faults);
    if (fatal && static_cast<std::uint32_t>(outcome.code) != code)
        wrong.push_back("a fatal fault ended with code " + std::to_string(outcome.code));
    if (stuckForGood && outcome.end != End::AtOnce)
        wrong.push_back("a lock held for good, and the player did not end at once");
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
void checkListFile(const Session& session, const Injection& injection, const Outcome& outcome,
                   std::vector<std::string>& wrong) {
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
    // Stuck for good inside the window system, the loop's thread keeps only the box from being made.
    const bool savedWithoutBox = outcome.end == End::AtOnce && injection.kind == Kind::Elsewhere &&
                                 injection.variant == static_cast<int>(LoopThread::HungInWindowCallForGood);
    const bool fatalGiven = (outcome.end == End::FatalBox || savedWithoutBox) && faults.size() == 1 &&
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
void checkDirFile(const Session& session, const Outcome& outcome, std::vector<std::string>& wrong) {
    const Machine& machine = session.machine;
    if (outcome.dirAfter == outcome.dirBefore) return;
    if (outcome.dirBefore.there && !outcome.dirAfter.there) {
        wrong.push_back("dir.vnd is gone");
        return;
    }
    const std::string right = rightDirFile(machine);
    if (!outcome.dirAfter.there || (!right.empty() && outcome.dirAfter.bytes == right)) return;
    wrong.push_back("dir.vnd holds \"" + outcome.dirAfter.bytes + "\"");
}

}  // namespace

// What a first start writes: the working directory, a backslash, CR LF;
// nothing when the directory has no single-byte form.
std::string rightDirFile(const Machine& machine) {
    return machine.workingKept.empty() ? "" : machine.workingKept + "\\\r\n";
}

namespace {

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string shownName(const Machine& machine, const std::string& path) {
    for (const Name& name : machine.names)
        if (upperCase(name.shortPath) == upperCase(path)) return playlist::entryName(name.longPath);
    return sim::utf8FromCodePage(playlist::entryName(path));
}

std::vector<std::string> check(const Session& session, const Injection& injection, const Outcome& outcome) {
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
    // Without a profile there are no data files, never at the drive's root.
    const std::vector<std::string> stray = sim::filesIn(DRIVE_ROOT_DATA_FOLDER);
    if (!stray.empty()) wrong.push_back("data files made at the drive's root: " + stray.front());
    // A normal end leaves every drop released, and no file open unless a
    // fault passed over broke off the step that had it open.
    if (outcome.end == End::Closed || outcome.end == End::SessionEnded) {
        if (sim::openFileCount() != 0 && sim::faultsRaised().empty())
            wrong.push_back(std::to_string(sim::openFileCount()) + " files left open");
        if (outcome.end == End::Closed && sim::finishedDropCount() != run.drops)
            wrong.push_back("a drop was never released");
    }
    checkOlderPlayer(machine, outcome, wrong);
    checkListFile(session, injection, outcome, wrong);
    checkDirFile(session, outcome, wrong);
    return wrong;
}

}  // namespace sweep

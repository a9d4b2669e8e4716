// The sweep's runs: a session set up on a fresh simulated machine and run
// whole with one thing injected, and the runs to make of each kind.
#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/brumby.h"
#include "app/player.h"
#include "numbers/numbers.h"
#include "playlist/playlist.h"
#include "support/data_folder.h"
#include "support/sweep.h"

namespace sweep {

namespace {

constexpr int FACE = numbers::MAIN_WINDOW, LIST_WINDOW = numbers::PLAYLIST_WINDOW;
constexpr int LIST = numbers::PLAYLIST_LIST;
constexpr int POLLS_PAST_SCRIPT = 6;
const char* const MUSIC_FILES[] = {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.wav", "f.ogg", "g.mid", "h.mp3", "x.mp3"};
// The calls a kill is made at: every one that changes a file or holds it
// open. Between two of them the files stay as they are, so a kill at any
// other call leaves what a kill at the next of these leaves.
const char* const KILL_CALLS[] = {"createFolder", "openFile",    "writeFile", "flushFile",
                                  "closeFile",    "replaceFile", "deleteFile"};
// The simulated player's own process ID.
constexpr std::uint32_t OWN_PROCESS = 7000;

std::string listPath(const Machine& machine) { return dataFolder(machine) + "\\list.vnp"; }
std::string dirPath(const Machine& machine) { return dataFolder(machine) + "\\dir.vnd"; }

FileState fileState(const std::string& folder, const std::string& name, const std::string& path) {
    const std::vector<std::string> files = sim::filesIn(folder);
    FileState state;
    state.there = std::find(files.begin(), files.end(), name) != files.end();
    state.bytes = sim::memoryFile(path);
    return state;
}

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

const char* const LOOP_THREAD_NAMES[] = {"answers", "hung", "hung in a brief allocation",
                                         "hung in an allocation for good", "hung in the window system for good"};
static_assert(std::size(LOOP_THREAD_NAMES) == static_cast<std::size_t>(LoopThread::HungInWindowCallForGood) + 1);
const char* DELIVERY_NAMES[] = {"the end of the session", "a newer player's save request", "a drop",
                                "another thread's fault"};

}  // namespace

std::string dataFolder(const Machine& machine) { return machine.profileKept + support::DATA_FOLDER_BELOW_PROFILE; }
FileState listState(const Machine& machine) { return fileState(dataFolder(machine), "LIST.VNP", listPath(machine)); }
FileState dirState(const Machine& machine) { return fileState(dataFolder(machine), "DIR.VND", dirPath(machine)); }

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
        if (loopThread == LoopThread::HungInWindowCallForGood) sim::windowCallAtStop();
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
        const bool ending = player.app.quitFlag == 1 || player.app.sessionEnded;
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
            for (int variant = 0; variant <= static_cast<int>(LoopThread::HungInWindowCallForGood); ++variant)
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

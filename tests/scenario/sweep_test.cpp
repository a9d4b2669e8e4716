// Nothing lost, nothing hung: whole sessions of the player over the simulated
// services, each run once clean, then once for every platform call with that
// call failing the way the real one fails, and once with it faulting. After
// every run the list file holds what it held before or the saved form of a
// playlist the user saw, no temporary file is left, the session ended (or kept
// answering when its end could not be reached), and a fatal fault showed one
// box and ended with its code.
//
// Calls a pass makes by the hundred (the key scan, pointer reads, pixels, the
// device's status replies) are sampled: first, middle and last of each pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/brumby.h"
#include "app/player.h"
#include "numbers/numbers.h"
#include "platform/sim/sim.h"
#include "playlist/playlist.h"

namespace {

constexpr std::uint32_t ACCESS_VIOLATION = 0xC0000005;
const std::string DATA_FOLDER = "C:\\Users\\tester\\Local Settings\\Application Data\\Varnel\\MP3";
const std::string LIST_FILE = DATA_FOLDER + "\\list.vnp";
const std::string MUSIC = "C:\\Music\\";

// Window and control numbers, and points of the face and the playlist window.
constexpr int FACE = numbers::MAIN_WINDOW, LIST_WINDOW = numbers::PLAYLIST_WINDOW;
constexpr int FACE_PICTURE = numbers::FACE_CONTROL, BOTTOM_FRAME = numbers::FRAME_BOTTOM_CONTROL;
constexpr int LIST = numbers::PLAYLIST_LIST;
struct Spot {
    int x, y;
};
constexpr Spot PLAY{55, 48}, NEXT{124, 48}, CLOSE{12, 10}, PLAYLIST_BUTTON{150, 48}, BARE{170, 12};
constexpr Spot TOP_BAND{100, 2}, ADD{30, 190}, REMOVE{57, 190}, ROW{60, 20};
constexpr int LEFT_BUTTON = 1, WM_MOUSEMOVE = 0x200, WM_LBUTTONDOWN = 0x201, WM_LBUTTONUP = 0x202;
constexpr int COLLISION_ITEM = numbers::COLLISION_ITEM, ALWAYS_ON_TOP_ITEM = numbers::ALWAYS_ON_TOP_ITEM;

// How a run ended.
enum class End { Closed, FatalBox, AtOnce, SessionEnded, KeptRunning, Runaway };
const char* endName(End end) {
    static const char* const NAMES[] = {"closed",        "fatal box",    "ended at once",
                                        "session ended", "kept running", "runaway"};
    return NAMES[static_cast<int>(end)];
}

// Thrown by the user: the script is over and the player still answered; the
// system ended the session.
struct KeptRunning {};
struct SessionEnded {};

// What the user did and saw in one run.
struct Run {
    bool misaligned = false;             // rows and slots disagreed at a poll
    std::vector<std::string> rowsAtEnd;  // the rows when the user gave the ending action
    bool endGiven = false;               // the close click or the session's end reached the player
    std::string removed;                 // the entry name of the row the user removed
    int drops = 0;
};

// The user, as the script drives them: acts only on what is on screen.
bool onScreen(int window) { return sim::windowInfo(window).visible; }

void click(Run&, int window, int control, Spot at, int type = 0) {
    if (!onScreen(window) || !sim::controlExists(control)) return;
    sim::movePointerToClient(window, at.x, at.y);
    sim::queueControlEvent(control, type);
}

void clickFace(Run& run, Spot at) { click(run, FACE, FACE_PICTURE, at); }

void clickClose(Run& run) {
    if (!onScreen(FACE) || !sim::controlExists(FACE_PICTURE)) return;
    if (!run.endGiven) run.rowsAtEnd = sim::listRows(LIST);
    run.endGiven = true;
    clickFace(run, CLOSE);
}

void dropOn(Run& run, int window, const std::vector<std::string>& names) {
    if (!onScreen(window) || !sim::windowInfo(window).acceptsDrops) return;
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(MUSIC + name);
    sim::queueDrop(window, paths);
    ++run.drops;
}

void chooseOption(Run& run, int item) {
    if (!onScreen(FACE) || !sim::controlExists(FACE_PICTURE)) return;
    sim::queuePopupChoice(item);
    click(run, FACE, FACE_PICTURE, BARE, 1);
}

struct Step {
    std::function<void(Run&)> act;
    int polls;  // polls to wait before the next step
};

struct Session {
    const char* name;
    std::string commandLine;
    bool listFileThere;
    std::vector<std::string> listRows;  // the list file's paths, one line each with CR LF
    std::vector<std::string> added;     // every path the session may add, in the order it adds them
    bool endsByFault;                   // the script's end is a fault on the loop's thread
    std::vector<Step> steps;
    std::string cleanList;            // the list file after the clean run
    void (*cleanChecks)() = nullptr;  // what else the clean run must have done
};

bool sent(const std::string& command) {
    const std::vector<std::string>& log = sim::mediaLog();
    return std::find(log.begin(), log.end(), command) != log.end();
}

// With the left button held on the face's top band: the pointer moves on, off
// the band, and the face follows it.
void dragOn(Run&) {
    const sim::WindowInfo face = sim::windowInfo(FACE);
    sim::movePointer(face.x + TOP_BAND.x + 40, face.y + TOP_BAND.y + 30);
    sim::queueRawEvent(WM_MOUSEMOVE);
}

int menuMark(int item) {
    for (const sim::MenuItem& entry : sim::menuItems(numbers::OPTIONS_MENU))
        if (entry.id == item) return entry.checked ? 1 : 0;
    return -1;
}

// Next twice from the first command-line file plays the third.
void playedTheThird() { EXPECT_TRUE(sent("OPEN \"C:\\Music\\c.mp3\" Type MPEGVIDEO ALIAS MP3_1")); }

// The face followed the pointer, the playlist window docked below it, and
// the two options changed.
void draggedDockedAndToggled() {
    int faceX = 0, faceY = 0, moved = 0;
    sim::WindowMove last;
    for (const sim::WindowMove& move : sim::windowMoves()) {
        if (move.window == FACE) {
            faceX = move.x;
            faceY = move.y;
            ++moved;
        } else {
            last = move;
        }
    }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(last.window, LIST_WINDOW);
    EXPECT_EQ(last.x, faceX);
    EXPECT_EQ(last.y, faceY + 64);
    EXPECT_EQ(menuMark(COLLISION_ITEM), 0);
    EXPECT_EQ(menuMark(ALWAYS_ON_TOP_ITEM), 1);
}

std::vector<std::string> inMusic(std::initializer_list<const char*> names) {
    std::vector<std::string> paths;
    for (const char* name : names) paths.push_back(MUSIC + name);
    return paths;
}

std::string savedForm(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const std::string& path : paths) bytes += path + "\r\n";
    return bytes;
}

// The close click, given again while nothing happens, as a user would.
std::vector<Step> closeSteps() { return {{clickClose, 3}, {clickClose, 3}, {clickClose, 3}}; }

std::vector<Step> withClose(std::vector<Step> steps) {
    for (Step& step : closeSteps()) steps.push_back(step);
    return steps;
}

const std::vector<Session>& sessions() {
    static const std::vector<Session> table = {
        {"list_play_add_drop_remove_close", "brumby.exe", true, inMusic({"a.mp3", "b.mp3", "c.mp3"}),
         inMusic({"d.mp3", "e.wav", "f.ogg", "g.mid"}), false,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAY); }, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run& run) {
                  sim::queueFileDialog({"C:\\Music", "d.mp3", "e.wav"}, true);
                  click(run, LIST_WINDOW, BOTTOM_FRAME, ADD);
              },
              3},
             {[](Run& run) {
                  dropOn(run, LIST_WINDOW, {"f.ogg", "g.mid"});
              },
              2},
             {[](Run& run) {
                  const std::vector<std::string> rows = sim::listRows(LIST);
                  if (rows.size() < 2 || !onScreen(LIST_WINDOW)) return;
                  sim::selectRow(LIST, 1);
                  click(run, LIST_WINDOW, LIST, ROW);
                  run.removed = rows[1];
              },
              2},
             {[](Run& run) { click(run, LIST_WINDOW, BOTTOM_FRAME, REMOVE); }, 2},
         }),
         savedForm(inMusic({"a.mp3", "c.mp3", "d.mp3", "e.wav", "f.ogg", "g.mid"}))},
        {"command_line_next_twice_close", "brumby.exe C:\\Music\\a.mp3 C:\\Music\\b.mp3 C:\\Music\\c.mp3", true,
         inMusic({"x.mp3"}), inMusic({"a.mp3", "b.mp3", "c.mp3"}), false,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, NEXT); }, 2},
             {[](Run& run) { clickFace(run, NEXT); }, 2},
         }),
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"})), playedTheThird},
        {"list_play_fault_after_first_pass",
         "brumby.exe",
         true,
         inMusic({"a.mp3", "b.mp3", "c.mp3"}),
         {},
         true,
         {
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAY); }, 2},
             {[](Run& run) {
                  run.rowsAtEnd = sim::listRows(LIST);
                  run.endGiven = true;
                  sim::faultAtNextCall("sleepMs", ACCESS_VIOLATION);
              },
              4},
         },
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}))},
        {"list_drop_end_of_session",
         "brumby.exe",
         true,
         inMusic({"a.mp3", "b.mp3", "c.mp3"}),
         inMusic({"d.mp3"}),
         false,
         {
             {[](Run&) {}, 2},
             {[](Run& run) { dropOn(run, FACE, {"d.mp3"}); }, 2},
             {[](Run& run) {
                  run.rowsAtEnd = sim::listRows(LIST);
                  run.endGiven = true;
                  sim::endSession();
                  throw SessionEnded{};
              },
              1},
         },
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "d.mp3"}))},
        {"drag_dock_options_close",
         "brumby.exe",
         false,
         {},
         {},
         false,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run&) {
                  if (!onScreen(FACE)) return;
                  sim::movePointerToClient(FACE, TOP_BAND.x, TOP_BAND.y);
                  sim::holdKey(LEFT_BUTTON);
                  sim::queueRawEvent(WM_LBUTTONDOWN);
              },
              1},
             {dragOn, 1},
             {dragOn, 1},
             {[](Run&) {
                  sim::releaseKey(LEFT_BUTTON);
                  sim::queueRawEvent(WM_LBUTTONUP);
              },
              3},
             {[](Run& run) { chooseOption(run, COLLISION_ITEM); }, 3},
             {[](Run& run) { chooseOption(run, ALWAYS_ON_TOP_ITEM); }, 3},
         }),
         "",
         draggedDockedAndToggled},
    };
    return table;
}

// What is injected into a run: nothing, a failure or a fault at call `number`.
enum class Injection { None, Failure, Fault };

struct Outcome {
    End end = End::KeptRunning;
    int code = 0;
    Run run;
    std::string listBefore, listAfter;
    bool listThereAfter = false;
    // The list file as the device's close found it at the end the user gave.
    bool closedAtEnd = false, listThereAtClose = false;
    std::string listAtClose;
};

constexpr int POLLS_PAST_SCRIPT = 6;

bool listFileThere() {
    const std::vector<std::string> files = sim::filesIn(DATA_FOLDER);
    return std::find(files.begin(), files.end(), "LIST.VNP") != files.end();
}

// Sets the machine up for the session and runs the whole program on it.
Outcome runSession(const Session& session, Injection injection, std::int64_t number, std::int64_t callLimit,
                   bool record) {
    sim::reset("");
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.wav", "f.ogg", "g.mid", "x.mp3"})
        sim::putMemoryFile(MUSIC + name, std::string("audio ") + name);
    sim::putMemoryFile("C:\\Tunewell\\ravlet.dll", "MZ");
    sim::setCommandLine(session.commandLine);
    Outcome outcome;
    if (session.listFileThere) {
        outcome.listBefore = savedForm(session.listRows);
        sim::putMemoryFile(LIST_FILE, outcome.listBefore);
    }
    if (record) sim::recordCalls();
    if (injection == Injection::Failure) sim::failCall(number);
    if (injection == Injection::Fault) sim::faultInCall(number, ACCESS_VIOLATION);
    sim::limitCalls(callLimit);

    std::size_t next = 0;
    int waitUntil = 0;
    app::Player player;
    sim::onPoll([&] {
        // Rows and slots agree between stages, whatever failed; only a fault
        // passed over may break a change off in the middle (and the close
        // takes the list away).
        if (sim::faultsRaised().empty() && player.app.quitFlag == 0 && !playlist::playlistConsistent(player.playlist))
            outcome.run.misaligned = true;
        const int poll = sim::polls();
        if (poll < waitUntil) return;
        if (next == session.steps.size()) throw KeptRunning{};
        const Step& step = session.steps[next++];
        waitUntil = poll + step.polls + (next == session.steps.size() ? POLLS_PAST_SCRIPT : 0);
        step.act(outcome.run);
    });

    sim::onMediaCommand([&](const std::string& command) {
        const bool ending = player.app.quitFlag == 1 || player.app.sessionEnded == 1;
        if (command != "close MP3_1" || !ending || outcome.closedAtEnd) return;
        outcome.closedAtEnd = true;
        outcome.listThereAtClose = listFileThere();
        outcome.listAtClose = sim::memoryFile(LIST_FILE);
    });

    try {
        outcome.code = app::runPlayer(player);
        outcome.end = End::Closed;
    } catch (const sim::ProcessExit& exit) {
        outcome.code = exit.code;
        outcome.end = exit.atOnce ? End::AtOnce : End::FatalBox;
    } catch (const SessionEnded&) {
        outcome.end = End::SessionEnded;
    } catch (const KeptRunning&) {
        outcome.end = End::KeptRunning;
    } catch (const sim::Runaway&) {
        outcome.end = End::Runaway;
    }
    sim::onPoll(nullptr);
    sim::onMediaCommand(nullptr);
    outcome.listThereAfter = listFileThere();
    outcome.listAfter = sim::memoryFile(LIST_FILE);
    return outcome;
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

// Every way the run went wrong, one line each; empty when it went right.
std::vector<std::string> check(const Session& session, const Outcome& outcome) {
    std::vector<std::string> wrong;
    const Run& run = outcome.run;

    if (outcome.end == End::Runaway) wrong.push_back("a pass never ended");
    if (run.misaligned) wrong.push_back("rows and slots disagreed");
    if (outcome.end == End::KeptRunning && run.endGiven && !session.endsByFault)
        wrong.push_back("the close click was given and the player did not end");
    if (outcome.end == End::KeptRunning && run.endGiven && session.endsByFault)
        wrong.push_back("the fault was given and the player did not end");

    // One box for a fatal fault, with its count and description, and the fault's code.
    const std::vector<sim::MessageShown>& boxes = sim::messagesShown();
    const std::vector<sim::FaultRaised>& faults = sim::faultsRaised();
    if (outcome.end == End::FatalBox) {
        if (boxes.size() != 1) {
            wrong.push_back(std::to_string(boxes.size()) + " boxes for a fatal fault");
        } else {
            const std::string& text = boxes[0].text;
            const std::string count = "Total number of errors: " + std::to_string(faults.size()) + "\r\n";
            if (boxes[0].title != "Debugger" || text.find(count) == std::string::npos ||
                text.find("Description: An attemped read or write") == std::string::npos)
                wrong.push_back("the box read: " + text);
        }
        if (static_cast<std::uint32_t>(outcome.code) != ACCESS_VIOLATION)
            wrong.push_back("a fatal fault ended with code " + std::to_string(outcome.code));
    } else if (outcome.end == End::AtOnce) {
        const bool allowed = !faults.empty() && (!faults.back().filtered || faults.back().nested);
        if (!allowed) wrong.push_back("ended at once outside the handler, code " + std::to_string(outcome.code));
        if (boxes.size() > 1) wrong.push_back("more than one box");
    } else if (!boxes.empty()) {
        wrong.push_back("a box without a fatal fault: " + boxes[0].text);
    }
    if (outcome.end == End::Closed && (sim::servicesStopped() != 1 || sim::faultFilterInstalled()))
        wrong.push_back("the close did not release the services and the fault filter, once");
    // The playlist is kept before the device is told to close: a close that
    // hangs must not take the rows with it.
    if (outcome.closedAtEnd &&
        (outcome.listThereAtClose != outcome.listThereAfter || outcome.listAtClose != outcome.listAfter))
        wrong.push_back("the list file changed after the device's close");

    // No temporary file is left beside the list file.
    for (const std::string& name : sim::filesIn(DATA_FOLDER)) {
        if (name != "LIST.VNP" && name != "DIR.VND") wrong.push_back("left in the data folder: " + name);
    }
    // A normal end leaves every drop released, and no file open unless a
    // fault passed over broke off the step that had it open.
    if (outcome.end == End::Closed || outcome.end == End::SessionEnded) {
        if (sim::openFileCount() != 0 && faults.empty())
            wrong.push_back(std::to_string(sim::openFileCount()) + " files left open");
        if (outcome.end == End::Closed && sim::finishedDropCount() != run.drops)
            wrong.push_back("a drop was never released");
    }

    // The list file: as it was, or the saved form of a playlist the user saw.
    if (session.listFileThere && !outcome.listThereAfter) wrong.push_back("the list file is gone");
    if (outcome.listThereAfter && (outcome.listAfter != outcome.listBefore || !session.listFileThere)) {
        bool wellFormed = true;
        const std::vector<std::string> lines = splitSavedForm(outcome.listAfter, wellFormed);
        if (!wellFormed || lines.size() > playlist::PLAYLIST_SLOTS)
            wrong.push_back("the list file is not a saved playlist: " + outcome.listAfter);
        // Rows keep their order; the list's own rows stay unless the user removed them.
        std::vector<std::string> universe =
            session.commandLine == "brumby.exe" ? session.listRows : std::vector<std::string>{};
        universe.insert(universe.end(), session.added.begin(), session.added.end());
        std::size_t at = 0;
        for (const std::string& line : lines) {
            while (at < universe.size() && universe[at] != line) ++at;
            if (at == universe.size()) {
                wrong.push_back("saved out of order or unknown: " + line);
                break;
            }
            ++at;
        }
        if (session.commandLine == "brumby.exe") {
            for (const std::string& kept : session.listRows) {
                const bool removed = playlist::entryName(kept) == run.removed;
                if (!removed && std::find(lines.begin(), lines.end(), kept) == lines.end())
                    wrong.push_back("lost from the list: " + kept);
            }
        }
        // Saved at the end the user gave, it is what the user saw then.
        const bool endedThere = (outcome.end == End::Closed || outcome.end == End::SessionEnded ||
                                 (session.endsByFault && outcome.end == End::FatalBox && faults.size() == 1));
        if (run.endGiven && endedThere) {
            std::vector<std::string> names;
            for (const std::string& line : lines) names.push_back(playlist::entryName(line));
            if (names != run.rowsAtEnd) wrong.push_back("saved rows differ from the rows shown");
        }
    }
    return wrong;
}

// The calls to inject into: every call, but of the calls a pass makes many
// times over only the first, middle and last of each pass.
std::vector<std::int64_t> targets(const std::vector<sim::CallRecord>& log, Injection injection) {
    std::map<std::pair<int, std::string>, std::vector<std::int64_t>> byPass;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const sim::CallRecord& call = log[i];
        if (injection == Injection::Failure && !call.canFail) continue;
        const bool status = call.name == "mediaCommand" && call.detail.rfind("status ", 0) == 0;
        byPass[{call.poll, status ? "status" : call.name}].push_back(static_cast<std::int64_t>(i + 1));
    }
    std::vector<std::int64_t> chosen;
    for (const auto& [key, numbers] : byPass) {
        if (numbers.size() <= 3) {
            chosen.insert(chosen.end(), numbers.begin(), numbers.end());
        } else {
            chosen.push_back(numbers.front());
            chosen.push_back(numbers[numbers.size() / 2]);
            chosen.push_back(numbers.back());
        }
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

std::string describe(const Session& session, Injection injection, std::int64_t number,
                     const std::vector<sim::CallRecord>& log, const Outcome& outcome) {
    const sim::CallRecord& call = log[static_cast<std::size_t>(number - 1)];
    return std::string(session.name) + ": " + (injection == Injection::Failure ? "failing" : "faulting in") + " call " +
           std::to_string(number) + " (" + call.name + (call.detail.empty() ? "" : " " + call.detail) + ", poll " +
           std::to_string(call.poll) + "), " + endName(outcome.end) + ": ";
}

class Sweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Sweep, EveryCallFailsAndFaultsOnceWithNothingLostOrHung) {
    const Session& session = sessions()[GetParam()];
    const Outcome clean = runSession(session, Injection::None, 0, 0, true);
    const std::vector<sim::CallRecord> log = sim::callLog();
    ASSERT_TRUE(check(session, clean).empty()) << check(session, clean).front();
    ASSERT_NE(clean.end, End::KeptRunning) << "the clean run did not reach its end";
    EXPECT_EQ(clean.listAfter, session.cleanList);
    if (session.cleanChecks) session.cleanChecks();
    const std::int64_t limit = static_cast<std::int64_t>(log.size()) * 4 + 100000;

    int runs = 0;
    std::vector<std::string> failures;
    for (Injection injection : {Injection::Failure, Injection::Fault}) {
        for (std::int64_t number : targets(log, injection)) {
            const Outcome outcome = runSession(session, injection, number, limit, false);
            ++runs;
            for (const std::string& wrong : check(session, outcome))
                failures.push_back(describe(session, injection, number, log, outcome) + wrong);
        }
    }
    std::printf("[ sweep    ] %s: %zu calls, %d injection runs\n", session.name, log.size(), runs);
    for (std::size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];
    EXPECT_TRUE(failures.empty()) << failures.size() << " runs went wrong";
}

// Runs the sweep found going wrong, each named for what went wrong, by the
// session and the n-th call of a name in its clean run (negative: from the end).
struct Regression {
    const char* name;
    std::size_t session;
    const char* call;
    int occurrence;
    Injection injection;
};

const Regression REGRESSIONS[] = {
    {"a row the list refuses while the file is read keeps the file", 0, "listInsert", 2, Injection::Failure},
    {"a fault passed over while the file is read keeps the file", 0, "readFile", 1, Injection::Fault},
    {"a row the list refuses on relabelling leaves the old row", 1, "listInsert", 4, Injection::Failure},
    {"a fault in the close's save leaves the fatal path's save its file", 4, "flushFile", 1, Injection::Fault},
    {"a fault in the fatal path's save leaves no temporary file", 2, "writeFile", -1, Injection::Fault},
    {"a profile read differently at the load leaves the file it never read", 0, "singleBytePath", 4,
     Injection::Failure},
};

TEST(SweepRegressions, RunsOnceFoundGoingWrong) {
    for (const Regression& regression : REGRESSIONS) {
        SCOPED_TRACE(regression.name);
        const Session& session = sessions()[regression.session];
        runSession(session, Injection::None, 0, 0, true);
        std::vector<std::int64_t> numbers;
        const std::vector<sim::CallRecord> log = sim::callLog();
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i].name == regression.call) numbers.push_back(static_cast<std::int64_t>(i + 1));
        const int count = static_cast<int>(numbers.size());
        const int at = regression.occurrence > 0 ? regression.occurrence - 1 : count + regression.occurrence;
        ASSERT_TRUE(at >= 0 && at < count);
        const Outcome outcome = runSession(session, regression.injection, numbers[static_cast<std::size_t>(at)],
                                           static_cast<std::int64_t>(log.size()) * 4 + 100000, false);
        for (const std::string& wrong : check(session, outcome)) ADD_FAILURE() << wrong;
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, Sweep, ::testing::Range<std::size_t>(0, 5),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(sessions()[info.param].name);
                         });

}  // namespace

// The random user: what it does to the player, and what it checks after every
// pass. Its choices come from one seeded generator
// whose sequence the C++ standard fixes, so a seed replays the same run.
#include "support/random_user.h"

#include <climits>
#include <deque>
#include <memory>
#include <random>

#include "app/loop.h"
#include "app/player.h"
#include "app/startup.h"
#include "input/key_scan.h"
#include "numbers/numbers.h"
#include "platform/faults.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "platform/system.h"
#include "playlist/playlist.h"
#include "skin/skin.h"
#include "support/data_folder.h"
#include "support/messages.h"
#include "support/random_user_machine.h"

namespace support {

namespace {

using support::DATA_FOLDER;
using support::LIST_FILE;

constexpr int FACE = numbers::MAIN_WINDOW, LIST_WINDOW = numbers::PLAYLIST_WINDOW;
constexpr int LIST = numbers::PLAYLIST_LIST, BOTTOM_FRAME = numbers::FRAME_BOTTOM_CONTROL;
constexpr int FRAME_PICTURES[] = {numbers::FRAME_TOP_CONTROL, numbers::FRAME_LEFT_CONTROL, numbers::FRAME_RIGHT_CONTROL,
                                  numbers::FRAME_BOTTOM_CONTROL};
using support::WM_LBUTTONDOWN;
using support::WM_LBUTTONUP;
using support::WM_MOUSEMOVE;
constexpr int LEFT_BUTTON = platform::VK_LEFT_BUTTON, DELETE_KEY = input::VK_DELETE_KEY;
constexpr int MEDIA_KEYS[] = {input::VK_NEXT_KEY, input::VK_PREVIOUS_KEY, input::VK_STOP_KEY, input::VK_PLAY_PAUSE_KEY};
constexpr int OTHER_KEYS[] = {0x10, 0x20, 0x41, 0x70};  // shift, space, A, F1: below and above Delete
// What a user may choose in the options menu (0: nothing, the menu dismissed);
// the maker's pages are left out.
constexpr int MENU_CHOICES[] = {0,
                                numbers::ABOUT_ITEM,
                                numbers::ALWAYS_ON_TOP_ITEM,
                                numbers::COLLISION_ITEM,
                                numbers::ANIMATION_NONE_ITEM,
                                numbers::ANIMATION_LINEAR_ITEM,
                                numbers::ANIMATION_SNAKE_ITEM};

// The drawing objects a running player may hold: its five pictures, two
// fonts, one context and a brush for each of the few colours it fills.
constexpr int DRAWING_OBJECTS_BOUND = 12;
constexpr std::size_t ACTIONS_KEPT = 24;
constexpr int SESSION_END_ODDS = 400;  // one action in this many ends the session
constexpr int PASSES_TO_SETTLE = 64;   // an action's events are all polled within this many passes
constexpr long PASSES_TO_END = 100;    // what the last session's end takes at most

// The playlist window's bottom frame, in its window's client coordinates.
constexpr int BAR_Y = 184, BAR_HEIGHT = 16;
struct Span {
    int first, last;
};
constexpr Span ADD_BUTTON{19, 39}, REMOVE_BUTTON{45, 69}, CLEAR_BUTTON{73, 95}, BOTTOM_FRAME_X{14, 169};
constexpr Span SEEK_BAR{8, 127}, VOLUME_BAR{133, 178}, BAR_ROWS{29, 35};

// Thrown by a check that does not hold; ends the run.
struct CheckFailed {
    std::string what;
};

class RandomUser {
public:
    RandomUser(std::uint64_t seed, const std::string& root) : random_(seed), root_(root) { run_.seed = seed; }

    RandomUserRun run(long passes) {
        try {
            prepareMachine();
            for (;;) {
                const bool nearTheEnd = passes - run_.passes < PASSES_TO_END;
                if (!running_) {
                    if (nearTheEnd && run_.sessions > 0) break;
                    startSession();
                }
                if (nearTheEnd || pick(SESSION_END_ODDS) == 0) {
                    endSession();
                } else {
                    act();
                }
            }
        } catch (const CheckFailed& failed) {
            run_.failure = "session " + std::to_string(run_.sessions) + ", pass " + std::to_string(run_.passes) + ": " +
                           failed.what;
            run_.lastActions.assign(lastActions_.begin(), lastActions_.end());
        }
        player_.reset();
        sim::watchFileReplacements(nullptr);
        return run_;
    }

private:
    // Randomness.
    int pick(int count) { return static_cast<int>(random_() % static_cast<std::uint64_t>(count)); }
    int between(int first, int last) { return first + pick(last - first + 1); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename T, std::size_t N>
    T oneOf(const T (&choices)[N]) {
        return choices[pick(static_cast<int>(N))];
    }

    void note(const std::string& action) {
        ++run_.actions;
        lastActions_.push_back("pass " + std::to_string(run_.passes) + ": " + action);
        if (lastActions_.size() > ACTIONS_KEPT) lastActions_.pop_front();
    }

    [[noreturn]] void fail(const std::string& what) { throw CheckFailed{what}; }

    // The machine: the music, the installation with its skin and library.
    void prepareMachine() {
        sim::reset(root_);
        machine_.build();
    }

    // What the system keeps of a session (the files) stays; the rest is new.
    void startSession() {
        sim::reset(root_);
        machine_.describe();
        // The about box stays up for a while; the device plays on meanwhile.
        sim::registerLibraryFunction("about", [this] {
            sim::advanceClock(pick(3000));
            return 0;
        });
        sim::watchFileReplacements([this](const std::string& path) { checkSave(path); });
        std::string commandLine = "brumby.exe";
        if (chance(30)) {
            for (int n = between(1, 4); n > 0; --n) commandLine += " \"" + randomFile() + "\"";
        }
        sim::setCommandLine(commandLine);
        const bool readsList = commandLine == "brumby.exe";
        const std::string saved = readHostFile(LIST_FILE);

        ++run_.sessions;
        note("start: " + commandLine);
        player_ = std::make_unique<app::Player>();
        app::startUp(*player_);
        running_ = true;
        firstPass_ = true;
        dropsQueued_ = 0;
        answersQueued_ = 0;
        savesThisSession_ = 0;
        if (readsList) checkReadBack(saved);
        pass();
    }

    const MusicFile& randomMusicFile() {
        return MUSIC_FILES[static_cast<std::size_t>(pick(static_cast<int>(MUSIC_FILES.size())))];
    }
    std::string randomFile() { return MUSIC_FOLDER + "\\" + randomMusicFile().name; }

    // A path the dialog may give: a file that is there.
    const MusicFile& randomExistingFile() {
        for (;;) {
            const MusicFile& file = randomMusicFile();
            if (file.kind == MusicKind::Audio || file.kind == MusicKind::Other || file.kind == MusicKind::Unkept)
                return file;
        }
    }

    // A start without files shows the list file's rows by their entry names.
    void checkReadBack(const std::string& saved) {
        std::vector<std::string> lines;
        if (!splitListLines(saved, lines)) return;  // not one the player wrote
        std::vector<std::string> expected;
        for (const std::string& line : lines)
            if (!line.empty()) expected.push_back(machine_.entryNameShown(line));
        if (expected != sim::listRows(LIST)) fail("the rows read at start are not the ones saved");
    }

    // Every save puts the rows shown then into the list file, one path each.
    void checkSave(const std::string& path) {
        if (upperAscii(path) != upperAscii(LIST_FILE)) return;
        ++run_.saves;
        ++savesThisSession_;
        const std::vector<std::string> shown = sim::listRows(LIST);
        std::vector<std::string> lines;
        if (!splitListLines(readHostFile(LIST_FILE), lines)) fail("the list file saved is not whole lines");
        if (lines.size() != shown.size())
            fail("the list file saved " + std::to_string(lines.size()) + " rows, the list showed " +
                 std::to_string(shown.size()));
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (!machine_.shows(shown[i], lines[i]))
                fail("saved row " + std::to_string(i) + " is " + lines[i] + ", the list showed " + shown[i]);
    }

    // What must hold between any two passes.
    void checkPass() {
        const app::Player& p = *player_;
        if (p.playlist.listMade) {
            if (!playlist::playlistConsistent(p.playlist)) fail("rows and slots disagree");
            const std::vector<std::string> shown = sim::listRows(LIST);
            for (std::size_t i = 0; i < shown.size(); ++i) {
                if (!machine_.shows(shown[i], p.playlist.slots[i]))
                    fail("row " + std::to_string(i) + " shows " + shown[i] + " for " + p.playlist.slots[i]);
            }
        }
        const sim::MediaCounts media = sim::mediaCounts();
        if (media.refusedInUse > 0) fail("a track was opened while the alias was still open");
        if (media.refusedNoFile > 0) fail("an open was sent for a path that names no file");
        if (media.opened - media.closed > 1) fail("more than one track open on the device");
        if (sim::openFileCount() != 0) fail(std::to_string(sim::openFileCount()) + " files left open");
        const sim::GdiObjects objects = sim::gdiObjects();
        if (objects.created - objects.freed != objects.held) fail("a drawing object was neither freed nor held");
        if (objects.held > DRAWING_OBJECTS_BOUND) fail(std::to_string(objects.held) + " drawing objects held");
        run_.peakDrawingObjects = std::max(run_.peakDrawingObjects, objects.held);
    }

    // What must hold once the player has ended; `closed`: by its close button.
    void checkEnd(bool closed) {
        const sim::MediaCounts media = sim::mediaCounts();
        run_.tracksOpened += media.opened;
        if (media.opened != media.closed) fail("the end left a track open on the device");
        if (sim::openFileCount() != 0) fail("the end left files open");
        if (savesThisSession_ == 0) fail("the end did not save the playlist");
        for (const std::string& name : sim::filesIn(DATA_FOLDER))
            if (upperAscii(name) != "LIST.VNP" && upperAscii(name) != "DIR.VND")
                fail("left in the data folder: " + name);
        if (closed && sim::gdiObjects().held != 0) fail("drawing objects held after the services stopped");
        running_ = false;
        player_.reset();
    }

    void pass() {
        if (!running_) return;
        app::runGuardedPass(*player_, firstPass_);
        firstPass_ = false;
        ++run_.passes;
        if (player_->app.quitFlag == 1) {
            // The rest of the program's normal end, as runPlayer does it.
            platform::stopServices();
            platform::removeFaultFilter();
            checkEnd(true);
            return;
        }
        checkPass();
    }

    void passes(int count) {
        for (int i = 0; i < count && running_; ++i) pass();
    }

    // Passes until every event given is polled and acted on; then every drop
    // has been taken and released.
    void settle() {
        for (int i = 0; i < PASSES_TO_SETTLE && running_ && sim::pendingEvents() > 0; ++i) pass();
        pass();
        if (running_ && sim::finishedDropCount() != dropsQueued_) fail("a drop was never released");
    }

    bool onScreen(int window) const {
        const sim::WindowInfo info = sim::windowInfo(window);
        return info.visible && !info.minimised;
    }

    // A click as the system reports it: the pointer there, the button pressed
    // (the key scan sees it) and the picture's event.
    void click(int window, int control, int x, int y, int type) {
        sim::movePointerToClient(window, x, y);
        if (type == platform::EVENT_LEFT_CLICK || type == platform::EVENT_LEFT_DOUBLE_CLICK) sim::tapKey(LEFT_BUTTON);
        if (type == platform::EVENT_RIGHT_CLICK) sim::queuePopupChoice(oneOf(MENU_CHOICES));
        sim::queueControlEvent(control, type);
        settle();
    }

    int randomClickType() {
        const int roll = pick(20);
        if (roll == 0) return platform::EVENT_LEFT_DOUBLE_CLICK;
        if (roll == 1) return platform::EVENT_RIGHT_DOUBLE_CLICK;
        if (roll == 2) return platform::EVENT_RIGHT_CLICK;
        return platform::EVENT_LEFT_CLICK;
    }

    static std::string typeName(int type) {
        static const char* const NAMES[] = {"left", "right", "double", "right double"};
        return NAMES[type];
    }

    // The file dialog's next answer, unless one is still waiting for a dialog.
    void answerNextDialog() {
        if (answersQueued_ > static_cast<int>(sim::fileDialogFilters().size())) return;
        ++answersQueued_;
        const int roll = pick(10);
        if (roll < 4) {
            sim::queueFileDialog({MUSIC_FOLDER + "\\" + randomExistingFile().name}, true);
        } else if (roll < 7) {
            std::vector<std::string> answer = {MUSIC_FOLDER};
            for (int n = between(2, 5); n > 0; --n) answer.push_back(randomExistingFile().name);
            sim::queueFileDialog(answer, true);
        } else if (roll < 9) {
            sim::queueFileDialog({MUSIC_FOLDER + "\\a.mp3"}, false);
        } else {
            // More names than the dialog's buffer holds: the dialog fails.
            std::vector<std::string> answer = {MUSIC_FOLDER};
            for (int n = 0; n < 400; ++n)
                answer.push_back("a rather long name of a file, " + std::to_string(n) + ".mp3");
            sim::queueFileDialog(answer, true);
        }
    }

    void clickFaceButton() {
        const int button = between(skin::MINIMISE, skin::BUTTON_COUNT - 1);  // the close button ends sessions
        const skin::Box& hit = skin::BUTTONS[static_cast<std::size_t>(button)].hit;
        const int x = between(hit.left + 1, hit.right - 1), y = between(hit.top + 1, hit.bottom - 1);
        const int type = randomClickType();
        if (button == skin::PLAYLIST && playlist::rowCount(player_->playlist) == 0 && !player_->transport.trackOpen)
            answerNextDialog();
        note(typeName(type) + " click on face button " + std::to_string(button) + " at " + std::to_string(x) + "," +
             std::to_string(y));
        click(FACE, numbers::FACE_CONTROL, x, y, type);
    }

    void clickFaceAnywhere() {
        const int x = pick(skin::FACE_WIDTH), y = pick(skin::FACE_HEIGHT), type = randomClickType();
        note(typeName(type) + " click on the face at " + std::to_string(x) + "," + std::to_string(y));
        click(FACE, numbers::FACE_CONTROL, x, y, type);
    }

    void rightClickForMenu() {
        const bool onFrame = onScreen(LIST_WINDOW) && chance(40);
        note(std::string("right click on the ") + (onFrame ? "playlist frame" : "face"));
        if (onFrame) {
            click(LIST_WINDOW, oneOf(FRAME_PICTURES), 5, 5, platform::EVENT_RIGHT_CLICK);
        } else {
            click(FACE, numbers::FACE_CONTROL, pick(skin::FACE_WIDTH), pick(skin::FACE_HEIGHT),
                  platform::EVENT_RIGHT_CLICK);
        }
    }

    void clickFrame() {
        if (!onScreen(LIST_WINDOW)) return;
        const int frame = oneOf(FRAME_PICTURES);
        note("click on frame picture " + std::to_string(frame));
        click(LIST_WINDOW, frame, 3, 3, platform::EVENT_LEFT_CLICK);
    }

    void clickPlaylistBar() {
        if (!onScreen(LIST_WINDOW)) return;
        const int roll = pick(20);
        const Span span = roll < 6 ? ADD_BUTTON : roll < 11 ? REMOVE_BUTTON : roll < 13 ? CLEAR_BUTTON : BOTTOM_FRAME_X;
        const int x = between(span.first, span.last), y = between(BAR_Y, BAR_Y + BAR_HEIGHT - 1);
        if (x >= ADD_BUTTON.first && x <= ADD_BUTTON.last) answerNextDialog();
        note("click on the playlist's bar at " + std::to_string(x) + "," + std::to_string(y));
        click(LIST_WINDOW, BOTTOM_FRAME, x, y, platform::EVENT_LEFT_CLICK);
    }

    // A row chosen or double-clicked; now and then the selection cleared.
    void useList() {
        if (!onScreen(LIST_WINDOW)) return;
        const int rows = static_cast<int>(sim::listRows(LIST).size());
        const int row = rows == 0 || chance(10) ? -1 : pick(rows);
        const int type = chance(65) ? platform::EVENT_LEFT_CLICK : platform::EVENT_LEFT_DOUBLE_CLICK;
        note((type == platform::EVENT_LEFT_CLICK ? "select row " : "double click row ") + std::to_string(row));
        sim::selectRow(LIST, row);
        click(LIST_WINDOW, LIST, 60, 20, type);
    }

    void hover() {
        const int where = pick(3);
        int x = pick(skin::FACE_WIDTH), y = pick(skin::FACE_HEIGHT);
        if (where == 0) sim::movePointerToClient(FACE, x, y);
        if (where == 1) sim::movePointerToClient(LIST_WINDOW, x, between(0, 204));
        if (where == 2) sim::movePointer(between(-50, 1100), between(-50, 800));
        const int count = between(1, 30);
        note("hover " + std::to_string(where) + " for " + std::to_string(count) + " passes");
        for (int i = 0; i < count && running_; ++i) {
            if (chance(50)) sim::queueRawEvent(WM_MOUSEMOVE);
            pass();
        }
        settle();
    }

    // Media keys, Delete and others: pressed once, or held for some passes,
    // with or without other events arriving meanwhile.
    void pressKey() {
        const int roll = pick(10);
        const int key = roll < 6 ? oneOf(MEDIA_KEYS) : roll < 9 ? DELETE_KEY : oneOf(OTHER_KEYS);
        if (key == DELETE_KEY && onScreen(LIST_WINDOW) && chance(50)) {
            const int rows = static_cast<int>(sim::listRows(LIST).size());
            if (rows > 0) sim::selectRow(LIST, pick(rows));
        }
        const bool events = chance(60);
        if (chance(50)) {
            note("press key " + std::to_string(key));
            sim::tapKey(key);
            if (events) sim::queueRawEvent(WM_MOUSEMOVE);
            passes(2);
        } else {
            const int count = between(2, 40);
            note("hold key " + std::to_string(key) + " for " + std::to_string(count) + " passes");
            sim::holdKey(key);
            for (int i = 0; i < count && running_; ++i) {
                if (events && chance(50)) sim::queueRawEvent(WM_MOUSEMOVE);
                if (chance(5)) sim::tapKey(oneOf(OTHER_KEYS));
                pass();
            }
            sim::releaseKey(key);
        }
        settle();
    }

    // The face dragged by its top band, now and then past the screen's edges.
    void dragFace() {
        if (!onScreen(FACE)) return;
        const int steps = between(0, 30);
        note("drag the face " + std::to_string(steps) + " steps");
        sim::movePointerToClient(FACE, between(22, skin::FACE_WIDTH - 1), between(0, 4));
        sim::holdKey(LEFT_BUTTON);
        sim::queueRawEvent(WM_LBUTTONDOWN);
        pass();
        for (int i = 0; i < steps && running_; ++i) {
            const int reach = chance(10) ? 600 : 40;
            pointerBy(between(-reach, reach), between(-reach, reach));
            if (chance(80)) sim::queueRawEvent(WM_MOUSEMOVE);
            pass();
        }
        sim::releaseKey(LEFT_BUTTON);
        sim::queueRawEvent(WM_LBUTTONUP);
        settle();
    }

    void pointerBy(int dx, int dy) {
        const platform::Point at = platform::cursorPosition();
        sim::movePointer(at.x + dx, at.y + dy);
    }

    // The button held on the position or the volume bar while the pointer moves along it.
    void dragBar() {
        if (!onScreen(FACE)) return;
        const Span bar = chance(50) ? SEEK_BAR : VOLUME_BAR;
        const int steps = between(0, 20);
        note(std::string("drag along the ") + (bar.first == SEEK_BAR.first ? "position" : "volume") + " bar " +
             std::to_string(steps) + " steps");
        sim::movePointerToClient(FACE, between(bar.first, bar.last), between(BAR_ROWS.first, BAR_ROWS.last));
        sim::holdKey(LEFT_BUTTON);
        sim::queueRawEvent(WM_LBUTTONDOWN);
        pass();
        for (int i = 0; i < steps && running_; ++i) {
            pointerBy(between(-12, 12), between(-2, 2));
            sim::queueRawEvent(WM_MOUSEMOVE);
            pass();
        }
        sim::releaseKey(LEFT_BUTTON);
        sim::queueRawEvent(WM_LBUTTONUP);
        settle();
    }

    // Files of every kind dropped on a window on screen, now and then outside its client area.
    void drop() {
        std::vector<int> targets;
        for (int window : {FACE, LIST_WINDOW})
            if (onScreen(window) && sim::windowInfo(window).acceptsDrops) targets.push_back(window);
        if (targets.empty()) return;
        const int window = targets[static_cast<std::size_t>(pick(static_cast<int>(targets.size())))];
        std::vector<std::string> paths;
        std::string names;
        for (int n = between(1, 6); n > 0; --n) {
            paths.push_back(randomFile());
            names += " " + paths.back().substr(MUSIC_FOLDER.size() + 1);
        }
        const bool inside = !chance(8);
        note("drop on window " + std::to_string(window) + (inside ? ":" : " outside:") + names);
        sim::queueDrop(window, paths, inside);
        ++dropsQueued_;
        settle();
    }

    void restore() {
        note("restore the face");
        sim::restoreWindow(FACE);
        passes(between(1, 3));
    }

    // Time passes: idle passes, the virtual clock moved on, or the track at its end.
    void letTimePass() {
        const int roll = pick(3);
        if (roll == 0) {
            const int count = between(1, 300);
            note("idle for " + std::to_string(count) + " passes");
            passes(count);
        } else if (roll == 1) {
            const int ms = pick(4000);
            note("the clock moves on " + std::to_string(ms) + " ms");
            sim::advanceClock(ms);
            passes(2);
        } else {
            note("the track reaches its end");
            sim::setPosition(1, INT_MAX);
            passes(3);
        }
    }

    // A newer player asks this one to save (and then fails to end it).
    void saveRequest() {
        note("a newer player asks to save");
        sim::requestSave(static_cast<std::uint32_t>(9000 + run_.actions));
        passes(1);
    }

    void act() {
        if (!onScreen(FACE) && chance(40)) return restore();
        const int roll = pick(100);
        if (roll < 22) return clickFaceButton();
        if (roll < 28) return clickFaceAnywhere();
        if (roll < 34) return hover();
        if (roll < 40) return rightClickForMenu();
        if (roll < 50) return useList();
        if (roll < 58) return clickPlaylistBar();
        if (roll < 60) return clickFrame();
        if (roll < 72) return pressKey();
        if (roll < 77) return dragFace();
        if (roll < 81) return dragBar();
        if (roll < 89) return drop();
        if (roll < 99) return letTimePass();
        return saveRequest();
    }

    // The close button (the face restored first when it was minimised), or the system's end of the session.
    void endSession() {
        if (chance(70)) {
            if (!onScreen(FACE)) restore();
            if (!running_) return;
            const skin::Box& hit = skin::BUTTONS[skin::CLOSE].hit;
            note("click the close button");
            click(FACE, numbers::FACE_CONTROL, between(hit.left + 1, hit.right - 1),
                  between(hit.top + 1, hit.bottom - 1), platform::EVENT_LEFT_CLICK);
            if (running_) fail("the close button did not end the player");
        } else {
            note("the system ends the session");
            sim::endSession();
            checkEnd(false);
        }
    }

    std::mt19937_64 random_;
    std::string root_;
    RandomUserRun run_;
    std::deque<std::string> lastActions_;
    RandomUserMachine machine_;
    std::unique_ptr<app::Player> player_;
    bool running_ = false;
    bool firstPass_ = false;
    int dropsQueued_ = 0;
    int answersQueued_ = 0;
    int savesThisSession_ = 0;
};

}  // namespace

RandomUserRun runRandomUser(std::uint64_t seed, long passes, const std::string& root) {
    return RandomUser(seed, root).run(passes);
}

}  // namespace support

// The process entry: start-up, the main loop, and the release of the services.
#include "app/brumby.h"

#include "app/loop.h"
#include "app/player.h"
#include "app/startup.h"
#include "platform/faults.h"
#include "platform/system.h"

namespace app {

int brumbyMain() {
    Player player;  // the process-wide state, for the life of the run
    return runPlayer(player);
}

int runPlayer(Player& player) {
    startUp(player);
    runLoop(player);
    platform::stopServices();
    platform::removeFaultFilter();
    return 0;
}

}  // namespace app

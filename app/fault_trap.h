// The fault trap's mode: faults are passed over until the first pass ends.
#pragma once

namespace app {

enum class FaultMode { PassOver, CallHandler };

struct FaultRecord {
    FaultMode mode = FaultMode::PassOver;
};

// Loop stage 22: from the end of the first pass on, a fault calls the handler.
void installFaultHandler(FaultRecord& record);

}  // namespace app

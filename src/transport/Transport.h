#pragma once

namespace vorlo::transport {

// Stops and closes the disc device.
void StopDisc();

} // namespace vorlo::transport

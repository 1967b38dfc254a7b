#pragma once

// The disc transport. Each operation keeps no state of its own: whether the disc device
// is open is known to the media layer alone, so an operation that needs a known state
// first stops and closes the device. Results of the media commands are not examined.
// UI thread only; nothing here throws.
namespace vorlo::transport {

// Stops and closes the disc device, whether or not it is open.
void StopDisc();

// Stops and closes the disc, opens it afresh in millisecond time format and plays it from
// the start. The device stays open until the next stop.
void PlayDisc();

// Stops and closes the disc, opens it only to open the drive door, then stops and closes
// it again. A missing drive or disc completes silently.
void EjectDisc();

} // namespace vorlo::transport

#pragma once
// What the archive component needs from the window system: serving the calling
// thread's pending messages during long work, and the notice it shows for an
// entry whose compression method it does not know.

namespace MessagePump {

// Removes and dispatches every pending message of the calling thread; a quit
// message met there is posted again and serving stops. Does nothing where
// there is no window system.
void ServePendingMessages();

// The modal notice "Unknown Compression Method" / "Zip Error" with only an OK
// button and no owner window. Shows nothing where there is no window system.
void ShowUnknownMethodNotice();

} // namespace MessagePump

#include "MessagePump.h"

namespace MessagePump {

void ServePendingMessages() {}

void ShowUnknownMethodNotice() {}

} // namespace MessagePump

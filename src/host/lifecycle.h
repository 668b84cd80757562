// The lifecycle entries the host calls around all commands, and the reset command.
#pragma once

extern "C" {
void Constructor();
void ReceiveCoreDataPtr(void* record);
void Destructor();
void ResetTessaly();
}

// The main window (or a test) installs itself as the sprites' host.
#include "game/state/GameHost.h"

namespace {
IGameHost* g_host = nullptr;
}

IGameHost* GameHost() { return g_host; }
void SetGameHost(IGameHost* host) { g_host = host; }

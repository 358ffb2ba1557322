// Key names a player reads and writes (settings file, set-up tool) and the virtual-key codes
// the binding table holds. One table for all of them, so a name the settings accept is a key
// the input layer can see and the set-up tool can show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The virtual-key code of a key name (letter case and blanks around it ignored); nullopt for
// a name we do not know. Only keys that read the same on both keyboard paths are named.
std::optional<int> KeyCodeFromName(std::string_view name);
// The name of a code ("" when the key has none we accept).
std::string KeyNameFromCode(int code);
// Every name in the table, in its own spelling.
std::vector<std::string> AllKeyNames();
// Why a key cannot be bound (it belongs to the game: Escape pauses, 1-3 choose the weapon,
// C is the cheat, F11 switches full screen); "" when it can.
std::string KeyReservedReason(int code);

// The input states the settings file binds, with their keys in the file.
struct BoundState {
    const char* Key;  // settings key, "keys_up" ...
    int State;        // TInputState value
};
inline constexpr std::array<BoundState, 7> BoundStates{{
    {"keys_up", 0},
    {"keys_down", 1},
    {"keys_left", 2},
    {"keys_right", 3},
    {"keys_fire", 4},
    {"keys_special", 5},
    {"keys_next", 6},
}};
inline constexpr size_t MaxKeysPerState = 3;

// A key list ("W, Up, Keypad 8"): up to three names separated by commas; an empty list binds
// no key. Fills codes and returns "" when good, else what is wrong (one line).
std::string ParseKeyList(std::string_view value, std::vector<int>& codes);
// The list written back from codes.
std::string KeyListText(const std::vector<int>& codes);

}  // namespace platform

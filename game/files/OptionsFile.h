// The options file "data\all_qrx\opt.qrx": ten integer settings, one a line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view OptionsFileName = "data\\all_qrx\\opt.qrx";

// Options[1..10] of the game are indices 0..9 here:
// 1 FPS line (0 shown, other hidden), 2 music (1 off), 3 sound and force feedback (0 on,
// other off), 4 colour depth (8, 16, 24, 32), 5 display (1 full screen, other a window),
// 6..10 kept without effect.
using TOptions = std::array<int32_t, 10>;

// What a new player gets: FPS line hidden, music and sound on, 32 bits, a window.
TOptions DefaultOptions();

// Numbers as the score file reads them (a line that is not a number is refused with
// EFileFormatError); a short file gives 0 for the missing lines.
TOptions ParseOptions(std::string_view bytes, std::string_view fileName);
// Ten CR LF ended decimal lines.
std::string FormatOptions(const TOptions& options);

// Throws platform::EInOutError when the file cannot be opened, EFileFormatError for a bad number.
TOptions ReadOptions(std::string_view programName);
// Replaces the file as a whole (temporary file renamed over the old one); the set-up tool
// writes it, and the game when the player switches full screen. Throws platform::EInOutError
// on failure.
void WriteOptions(std::string_view programName, const TOptions& options);

// Line 5 after the player switched full screen on the fly: 1 for full screen; for a window
// 0, unless the line already held another window value (kept). The other lines stay as the
// file has them (a file that cannot be read or parsed starts from DefaultOptions). Returns
// the options written; throws platform::EInOutError when the file cannot be written.
TOptions WriteFullScreenOption(std::string_view programName, bool fullScreen);

// The command line's --fullscreen (true) or --window (false): Options[5] for this run only,
// never written to the file. Unset: the file decides.
inline std::optional<bool> FullScreenForThisRun;

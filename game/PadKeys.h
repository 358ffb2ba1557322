// Game pads on the main window's screens: which key a pad press stands for.
#pragma once

// The virtual-key code FormKeyDown gets for a pad control pressed in a game state, 0 when
// the control has no key there: up and down (D-pad or left stick) move in the menus, A is
// Enter, Start is Escape in play and Enter elsewhere, Back is Escape in play.
int PadKeyFor(int button, int gameState);

// The result-entry window: a new record's name is typed here and written into the table.
#pragma once

#include <string>

#include "engine/Forms.h"
#include "game/LetterChoice.h"
#include "platform/Platform.h"

class TForm2 : public TForm {
public:
    static constexpr int MaxLength = 10;  // characters of Edit1

    TForm2();

    // Label1 and Label2 (the final score as text, set on activation from the main window's
    // Label1). Neither has a font of its own: they show the window's default one, the small
    // black face of ordinary window text.
    const std::string Label1Caption;  // "Ваш результат:" (English: "Your score:")
    std::string Label2Caption;
    static inline const platform::FontSpec LabelFont{"MS Sans Serif", 8, false, {0, 0, 0}};
    // Edit1: the name; kept between entries, "Игрок" ("Player" in English) at first. UTF-8.
    std::string Edit1Text;
    // st1: the " OK " control's colour (TColor 0x00BBGGRR): red, yellow under the mouse.
    uint32_t St1Color = 0x0000FF;

    // Enters the result: inserts name and score into the table read from the file and
    // rewrites it; then closes this window and shows the main window again. On a file error
    // the error is reported and the window stays open with the file unchanged.
    void st1Click();

    // Where the controls sit (client coordinates).
    static constexpr platform::Rect St1Rect{248, 120, 248 + 34, 120 + 24};
    static constexpr platform::Rect Edit1Rect{40, 88, 40 + 217, 88 + 26};

    void Repaint();
    const platform::Bitmap& Canvas() const { return canvas_; }

    // A pad player's letter choice, shown above the name once a pad is in use here.
    const TLetterChoice& Letters() const { return letters_; }
    bool PadMode() const { return padMode_; }
    // Pad presses this soon after the window opened are not taken: they belong to the game
    // just lost (a player hammering fire), not to the name.
    static constexpr uint32_t PadGraceMs = 1000;
    // Where the letter row sits (client coordinates), and its cells.
    static constexpr platform::Rect LettersRect{6, 37, 294, 65};
    static constexpr int LetterCells = 11;

protected:
    void DoActivate() override;
    void DoShow() override;
    void DoKeyDown(int& key, uint32_t shift) override;
    void DoKeyPress(std::string& ch) override;
    void DoPadDown(int button, int pad) override;
    void DoMouseMove(int x, int y) override;
    void DoMouseDown(int button, int x, int y) override;
    void DoPaint() override { Repaint(); }

private:
    void Backspace();
    // Where a label at (left, top) with this caption lies: labels size themselves to their text.
    platform::Rect LabelRect(int left, int top, const std::string& caption) const;
    void DrawLetterChoice();
    TLetterChoice letters_;
    bool padMode_ = false;
    uint32_t activatedAt_ = 0;
    platform::Bitmap background_;
    platform::Bitmap canvas_;
};

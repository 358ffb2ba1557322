// The result-entry window.
#include "game/Unit2.h"

#include <charconv>

#include "game/WindowCanvas.h"
#include "game/assets/Assets.h"
#include "game/files/Cp1251.h"
#include "game/files/ScoreFile.h"
#include "game/state/GameHost.h"
#include "game/texts/Texts.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "platform/Picture.h"

namespace {

bool Inside(const platform::Rect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

platform::RGB FromTColor(uint32_t c) {
    return {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
            static_cast<uint8_t>((c >> 16) & 0xFF)};
}

size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

int32_t ParseScore(const std::string& text) {
    int32_t v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc()) return 0;
    return v;
}

}  // namespace

TForm2::TForm2()
    : TForm(texts::Get(texts::TextId::ResultCaption), 300, 150),
      Label1Caption(texts::Get(texts::TextId::ResultScoreLabel)),
      Edit1Text(texts::Get(texts::TextId::ResultDefaultName)),
      canvas_(300, 150, 32) {
    assets::Blob bg = assets::ResultBackgroundJpeg(platform::LanguageCode(platform::CurrentLanguage()));
    if (bg.Data && bg.Size) {
        try {
            background_ = platform::DecodeJPEG({bg.Data, bg.Size}).Image;
        } catch (const std::exception&) {
            background_ = platform::Bitmap();  // a blue window (the form's colour) then
        }
    }
}

void TForm2::DoShow() { Repaint(); }

void TForm2::DoActivate() {
    if (IGameHost* host = GameHost()) Label2Caption = host->FinalScoreText();
    // A pad player sees the letter choice at once, its cursor on " OK ".
    platform::IGamepadSystem* pads = platform::Current().Gamepads;
    padMode_ = pads && !pads->Pads().empty();
    letters_.Reset(Edit1Text.empty());
    activatedAt_ = platform::Current().Clock ? platform::Current().Clock->Milliseconds() : 0;
    Repaint();
}

void TForm2::DoKeyDown(int& key, uint32_t) {
    if (key == 8) Backspace();
    // Enter is a click on " OK " (Escape does nothing: only " OK " leaves the window).
    if (key == 13) st1Click();
}

void TForm2::DoPadDown(int button, int) {
    if (platform::Current().Clock && platform::Current().Clock->Milliseconds() - activatedAt_ < PadGraceMs) return;
    const bool wasPadMode = padMode_;
    padMode_ = true;
    switch (button) {
        case platform::PadLeft:
        case platform::PadStickLeft: letters_.Move(-1); break;
        case platform::PadRight:
        case platform::PadStickRight: letters_.Move(1); break;
        case platform::PadUp:
        case platform::PadStickUp: letters_.Jump(-1); break;
        case platform::PadDown:
        case platform::PadStickDown: letters_.Jump(1); break;
        case platform::PadY: letters_.ToggleCase(); break;
        case platform::PadB: Backspace(); break;
        case platform::PadStart: st1Click(); return;
        case platform::PadA:
            switch (letters_.Current().Kind) {
                case TLetterChoice::lkOk: st1Click(); return;
                case TLetterChoice::lkDelete: Backspace(); break;
                case TLetterChoice::lkLetter: {
                    std::string ch = letters_.Label(letters_.Current());
                    DoKeyPress(ch);
                    letters_.NameChanged(Edit1Text.empty());
                    break;
                }
            }
            break;
        default:
            if (wasPadMode) return;
            break;
    }
    Repaint();
}

void TForm2::Backspace() {
    if (Edit1Text.empty()) return;
    size_t i = Edit1Text.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(Edit1Text[i]) & 0xC0) == 0x80) --i;
    Edit1Text.erase(i);
    if (Edit1Text.empty()) letters_.NameChanged(true);
    Repaint();
}

void TForm2::DoKeyPress(std::string& ch) {
    if (ch.empty() || static_cast<unsigned char>(ch[0]) < 0x20 || ch == "\x7f") return;  // control keys
    // The table keeps names in Windows-1251: a character it cannot hold is refused here
    // rather than written as garbage.
    if (!cp1251::IsRepresentable(ch)) return;
    if (Utf8Length(Edit1Text) >= static_cast<size_t>(MaxLength)) return;
    Edit1Text += ch;
    Repaint();
}

platform::Rect TForm2::LabelRect(int left, int top, const std::string& caption) const {
    // A label sizes itself to its text.
    platform::Size size{0, 0};
    if (auto* text = platform::Current().Text) size = text->TextExtent(caption, LabelFont);
    return {left, top, left + size.Width, top + size.Height};
}

void TForm2::DoMouseMove(int x, int y) {
    const uint32_t before = St1Color;
    if (Inside(St1Rect, x, y)) {
        St1Color = 0x00FFFF;  // yellow
    } else if (!Inside(Edit1Rect, x, y) && !Inside(LabelRect(8, 128, Label1Caption), x, y) &&
               !Inside(LabelRect(96, 128, Label2Caption), x, y)) {
        // Only the picture itself turns it red; the name box and the labels lie over it as
        // controls of their own.
        St1Color = 0x0000FF;
    }
    if (St1Color != before) Repaint();
}

void TForm2::DoMouseDown(int button, int x, int y) {
    if (button == 1 && Inside(St1Rect, x, y)) st1Click();
}

void TForm2::st1Click() {
    try {
        TScoreTable table = ReadScoreTable(ScoreFileName);
        const int32_t score = ParseScore(GameHost() ? GameHost()->FinalScoreText() : Label2Caption);
        InsertScore(table, Edit1Text, score);
        WriteScoreTable(ScoreFileName, table);
    } catch (const std::exception& e) {
        Application().ShowException(e);
        return;
    }
    Close();
    if (TForm* main = Application().MainForm()) {
        main->Show();
        if (main->Window()) main->Window()->Focus();
    }
}

void TForm2::Repaint() {
    if (!Window()) return;
    auto* text = platform::Current().Text;
    wincanvas::FillRect(canvas_, {0, 0, 300, 150}, {0, 0, 255});  // clBlue
    if (!background_.Empty()) wincanvas::DrawBitmap(canvas_, background_, 0, 0);

    platform::FontSpec editFont{"MS Sans Serif", 16, true, {0, 0, 0}};
    // Edit1: flat, red, with a caret after the text.
    wincanvas::FillRect(canvas_, Edit1Rect, {255, 0, 0});
    wincanvas::FrameRect(canvas_, Edit1Rect, {128, 0, 0});
    int caretX = Edit1Rect.Left + 4;
    if (text) {
        text->DrawText(canvas_, Edit1Rect.Left + 4, Edit1Rect.Top + 4, Edit1Text, editFont);
        caretX += text->TextExtent(Edit1Text, editFont).Width;
        text->DrawText(canvas_, 8, 128, Label1Caption, LabelFont);
        text->DrawText(canvas_, 96, 128, Label2Caption, LabelFont);
    }
    wincanvas::FillRect(canvas_, {caretX, Edit1Rect.Top + 4, caretX + 1, Edit1Rect.Bottom - 4}, {0, 0, 0});
    // st1: " OK " with a single border.
    wincanvas::FillRect(canvas_, St1Rect, FromTColor(St1Color));
    wincanvas::FrameRect(canvas_, St1Rect, {0, 0, 0});
    if (text) text->DrawText(canvas_, St1Rect.Left + 2, St1Rect.Top + 3, " OK ", editFont);
    if (padMode_) DrawLetterChoice();
    Window()->Present(canvas_, 0, 0);
}

void TForm2::DrawLetterChoice() {
    // A row of cells centred on the chosen one; the chosen cell yellow, the others red.
    auto* text = platform::Current().Text;
    const platform::Rect& r = LettersRect;
    const int cellW = r.Width() / LetterCells;
    const int n = static_cast<int>(letters_.Items().size());
    wincanvas::FillRect(canvas_, r, {0, 0, 128});
    for (int c = 0; c < LetterCells; ++c) {
        const int index = ((letters_.Cursor() + c - LetterCells / 2) % n + n) % n;
        const TLetterChoice::TItem& item = letters_.Items()[static_cast<size_t>(index)];
        const bool chosen = index == letters_.Cursor();
        const platform::Rect cell{r.Left + c * cellW + 1, r.Top + 2, r.Left + (c + 1) * cellW - 1, r.Bottom - 2};
        wincanvas::FillRect(canvas_, cell, chosen ? platform::RGB{255, 255, 0} : platform::RGB{255, 0, 0});
        wincanvas::FrameRect(canvas_, cell, {0, 0, 0});
        if (!text) continue;
        std::string label = letters_.Label(item);
        if (label == " ") label = "␣";
        // " OK " is wider than a cell: its cell shows it without the padding.
        if (item.Kind == TLetterChoice::lkOk) label = "OK";
        platform::FontSpec font{"MS Sans Serif", 14, true, {0, 0, 0}};
        platform::Size size = text->TextExtent(label, font);
        text->DrawText(canvas_, cell.Left + (cell.Width() - size.Width) / 2,
                       cell.Top + (cell.Height() - size.Height) / 2, label, font);
    }
}

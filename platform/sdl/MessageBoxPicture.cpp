// The message box picture.
#include "platform/sdl/MessageBoxPicture.h"

#include <algorithm>

namespace platform::sdl {

namespace {

constexpr int kMargin = 24, kGap = 12, kButtonWidth = 96, kButtonHeight = 30, kMinWidth = 240;
constexpr uint32_t kBlack = 0x000000, kYellow = 0xFFFF00, kFrame = 0x3050C0;

const FontSpec kTitleFont{"Times New Roman", 16, false, {255, 255, 0}};
const FontSpec kBodyFont{"Times New Roman", 14, false, {255, 255, 255}};

std::vector<std::string> Wrap(ITextRenderer& text, const std::string& body, int maxWidth) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = body.find('\n', start);
        const std::string paragraph = body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string line;
        size_t word = 0;
        while (word <= paragraph.size()) {
            size_t next = paragraph.find(' ', word);
            if (next == std::string::npos) next = paragraph.size();
            const std::string w = paragraph.substr(word, next - word);
            const std::string joined = line.empty() ? w : line + " " + w;
            if (!line.empty() && text.TextExtent(joined, kBodyFont).Width > maxWidth) {
                lines.push_back(line);
                line = w;
            } else {
                line = joined;
            }
            word = next + 1;
        }
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

void FillRect(Bitmap& b, const Rect& r, uint32_t colour) {
    for (int y = std::max(0, r.Top); y < std::min(b.Height(), r.Bottom); ++y)
        for (int x = std::max(0, r.Left); x < std::min(b.Width(), r.Right); ++x) b.SetPixel(x, y, colour);
}

void FrameRect(Bitmap& b, const Rect& r, uint32_t colour) {
    FillRect(b, {r.Left, r.Top, r.Right, r.Top + 2}, colour);
    FillRect(b, {r.Left, r.Bottom - 2, r.Right, r.Bottom}, colour);
    FillRect(b, {r.Left, r.Top, r.Left + 2, r.Bottom}, colour);
    FillRect(b, {r.Right - 2, r.Top, r.Right, r.Bottom}, colour);
}

}  // namespace

MessageBoxPicture DrawMessageBox(ITextRenderer& text, const std::string& title, const std::string& body,
                                 int maxTextWidth) {
    MessageBoxPicture box;
    box.Lines = Wrap(text, body, maxTextWidth);
    const Size titleSize = text.TextExtent(title.empty() ? " " : title, kTitleFont);
    const int lineHeight = std::max(1, text.TextExtent("Ay", kBodyFont).Height);
    int textWidth = std::min(titleSize.Width, maxTextWidth);
    for (const std::string& line : box.Lines)
        textWidth = std::max(textWidth, std::min(text.TextExtent(line, kBodyFont).Width, maxTextWidth));
    const int width = std::max(kMinWidth, textWidth + 2 * kMargin);
    const int linesTop = kMargin + titleSize.Height + kGap;
    const int buttonTop = linesTop + static_cast<int>(box.Lines.size()) * lineHeight + kGap + 4;
    const int height = buttonTop + kButtonHeight + kMargin;

    box.Picture = Bitmap(width, height, 32);
    box.Picture.Fill(kBlack);
    FrameRect(box.Picture, {0, 0, width, height}, kFrame);
    if (!title.empty()) text.DrawText(box.Picture, (width - titleSize.Width) / 2, kMargin, title, kTitleFont);
    for (size_t i = 0; i < box.Lines.size(); ++i) {
        const int w = text.TextExtent(box.Lines[i], kBodyFont).Width;
        text.DrawText(box.Picture, std::max(kMargin, (width - w) / 2), linesTop + static_cast<int>(i) * lineHeight,
                      box.Lines[i], kBodyFont);
    }
    box.Button = {(width - kButtonWidth) / 2, buttonTop, (width + kButtonWidth) / 2, buttonTop + kButtonHeight};
    FrameRect(box.Picture, box.Button, kYellow);
    const Size ok = text.TextExtent("OK", kBodyFont);
    text.DrawText(box.Picture, box.Button.Left + (kButtonWidth - ok.Width) / 2,
                  box.Button.Top + (kButtonHeight - ok.Height) / 2, "OK", kBodyFont);
    return box;
}

}  // namespace platform::sdl

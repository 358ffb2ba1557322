// The layout of the program's own message box, with the fake text renderer's boxes as glyphs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake/FakeText.h"
#include "platform/sdl/MessageBoxPicture.h"

using platform::fake::FakeTextRenderer;
using platform::sdl::DrawMessageBox;

TEST(MessageBoxPicture, TextIsWrappedCentredAndInsideTheBox) {
    struct Case {
        std::string Body;
        std::vector<std::string> Lines;
    } cases[] = {
        {"one line", {"one line"}},
        {"first\nsome line", {"first", "some line"}},
        {"aaaa bbbb cccc dddd", {"aaaa bbbb", "cccc dddd"}},  // 9 glyphs fit, 14 do not
        {"abcdefghijklmnop q", {"abcdefghijklmnop", "q"}},    // a word wider than a line stays whole
        {"", {""}},
    };
    for (const Case& c : cases) {
        FakeTextRenderer text;
        const int tenGlyphs = text.TextExtent("aaaaaaaaaa", {"Times New Roman", 14}).Width;
        const auto box = DrawMessageBox(text, "Title", c.Body, tenGlyphs);
        EXPECT_EQ(box.Lines, c.Lines) << c.Body;
        const int width = box.Picture.Width();
        // Every text drawn (title, lines, OK) is centred to within a pixel and inside the box.
        for (const auto& call : text.Calls()) {
            const auto extent = text.TextExtent(call.Text, {call.FontName, call.Size});
            if (extent.Width <= width - 48) { EXPECT_LE(std::abs(call.X * 2 + extent.Width - width), 1) << call.Text; }
            EXPECT_GE(call.Y, 0);
            EXPECT_LE(call.Y + extent.Height, box.Picture.Height());
        }
        EXPECT_GE(box.Button.Left, 0);
        EXPECT_LE(box.Button.Right, width);
        EXPECT_LE(box.Button.Bottom, box.Picture.Height());
        EXPECT_EQ(text.Texts().back(), "OK");
    }
}

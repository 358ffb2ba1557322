// The result-entry window as a player sees it: its labels, its background, the OK colour.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/Unit2.h"
#include "platform/fake/FakePlatform.h"
#include "platform/sdl/SdlText.h"

namespace {

const std::string kCaption = "Ваш результат:";

// Measures with the real fonts and records what is drawn, without drawing it: the window's
// canvas then shows the background where the labels go.
class MeasuringText : public platform::ITextRenderer {
public:
    struct Call {
        std::string Text;
        int X, Y;
        platform::FontSpec Font;
    };
    platform::sdl::SdlTextRenderer Real{16};
    std::vector<Call> Calls;

    void DrawText(platform::Bitmap&, int x, int y, std::string_view utf8, const platform::FontSpec& font) override {
        Calls.push_back({std::string(utf8), x, y, font});
    }
    platform::Size TextExtent(std::string_view utf8, const platform::FontSpec& font) override {
        return Real.TextExtent(utf8, font);
    }
    const Call* Find(const std::string& text) const {
        for (const Call& c : Calls)
            if (c.Text == text) return &c;
        return nullptr;
    }
};

double Luminance(platform::RGB c) {
    auto lin = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.R) + 0.7152 * lin(c.G) + 0.0722 * lin(c.B);
}

// The lowest contrast ratio between black text and the pixels of `area`.
double WorstContrastWithBlack(const platform::Bitmap& canvas, const platform::Rect& area) {
    double worst = 1e9;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            worst = std::min(worst, (Luminance(canvas.GetRGB(canvas.GetPixel(x, y))) + 0.05) / 0.05);
    return worst;
}

TEST(ResultWindow, LabelsUseTheWindowsDefaultFontAndReadOnTheBackground) {
    platform::fake::FakePlatform fake;
    MeasuringText text;
    if (text.Real.FontFileFor("MS Sans Serif").empty()) GTEST_SKIP() << "no fonts on this machine";
    platform::Services services = platform::Current();
    services.Text = &text;
    platform::Install(services);

    TForm2 form;
    form.Label2Caption = "2147483647";  // the widest score there is
    form.Show();
    const auto* caption = text.Find(kCaption);
    const auto* score = text.Find(form.Label2Caption);
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(score, nullptr);
    for (const auto* label : {caption, score}) {
        SCOPED_TRACE(label->Text);
        EXPECT_EQ(label->Font.Name, "MS Sans Serif");
        EXPECT_EQ(label->Font.Size, 8);  // points: about 11 pixels
        EXPECT_FALSE(label->Font.SizeInPixels);
        EXPECT_EQ(label->Font.Color, (platform::RGB{0, 0, 0}));
        EXPECT_EQ(label->Y, 128);
    }
    EXPECT_EQ(caption->X, 8);
    EXPECT_EQ(score->X, 96);
    const platform::Size capSize = text.TextExtent(kCaption, caption->Font);
    const platform::Size scoreSize = text.TextExtent(score->Text, score->Font);
    EXPECT_LT(8 + capSize.Width, 96) << "the caption runs into the score";

    // Black on what lies beneath both labels, at least as readable as ordinary print asks.
    EXPECT_GE(WorstContrastWithBlack(form.Canvas(), {8, 128, 8 + capSize.Width, 128 + capSize.Height}), 7.0);
    EXPECT_GE(WorstContrastWithBlack(form.Canvas(), {96, 128, 96 + scoreSize.Width, 128 + scoreSize.Height}), 7.0);
}

// Only the picture itself turns " OK " red: the name box and the labels are controls of
// their own, and moving over them leaves the colour as it was.
TEST(ResultWindow, OkTurnsRedOnlyOverTheBackgroundPicture) {
    platform::fake::FakePlatform fake;
    TForm2 form;
    form.Label2Caption = "2342";
    form.Show();
    const uint32_t red = 0x0000FF, yellow = 0x00FFFF;
    const struct {
        const char* Where;
        int X, Y;
        uint32_t After;
    } cases[] = {
        {"OK", 250, 125, yellow},
        {"name box", 60, 95, yellow},
        {"name box's last pixel", 256, 113, yellow},
        {"caption", 12, 132, yellow},
        {"score", 98, 132, yellow},
        {"picture above the name box", 60, 80, red},
        {"picture right of the score", 200, 140, red},
        {"picture left of the name box", 20, 95, red},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Where);
        form.St1Color = yellow;
        fake.Windows.MoveMouse(c.X, c.Y, form.Handle());
        Application().ProcessMessages();
        EXPECT_EQ(form.St1Color, c.After);
    }
}

}  // namespace

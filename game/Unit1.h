// The loading screen: the intro picture with a progress bar, shown during start-up.
#pragma once

#include "engine/Forms.h"
#include "platform/Platform.h"

// A horizontal progress bar, 0..100; larger values are clamped.
class TGauge {
public:
    int Left = 16, Top = 448, Width = 609, Height = 17;
    platform::RGB BackColor{0, 0, 0};
    platform::RGB Color{0, 0, 128};  // clNavy: the frame
    platform::RGB ForeColor{255, 0, 0};
    int Progress() const { return progress_; }
    // Returns true when the value changed (the bar then repaints).
    bool SetProgress(int value);
    void Paint(platform::Bitmap& canvas) const;

private:
    int progress_ = 0;
};

class TForm1 : public TForm {
public:
    TForm1();
    TGauge Gauge1;
    // Sets the bar and repaints it at once, as the bar does when its value changes.
    void SetProgress(int value);
    void AddProgress(int delta) { SetProgress(Gauge1.Progress() + delta); }
    // Draws the picture and the bar and shows them.
    void Repaint();
    const platform::Bitmap& Image1() const { return image_; }

protected:
    // Loads "data\all_jpg\intro.jpg" every time the window is shown.
    void DoShow() override;
    void DoPaint() override { Repaint(); }

private:
    platform::Bitmap image_;
    platform::Bitmap canvas_;
};

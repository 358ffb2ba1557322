// Scale, placement and mouse mapping of a window's picture.
#include "platform/sdl/Presentation.h"

#include <algorithm>

namespace platform::sdl {

Scaling ScalingFromName(std::string_view name) {
    if (name == "integer") return Scaling::Integer;
    if (name == "off") return Scaling::Off;
    return Scaling::Auto;
}

Pacing PacingFromName(std::string_view name) {
    if (name == "fixed") return Pacing::Fixed;
    if (name == "unlimited") return Pacing::Unlimited;
    return Pacing::Display;
}

int WindowScale(Size usable, Size design, Scaling scaling) {
    if (scaling == Scaling::Off || design.Width <= 0 || design.Height <= 0) return 1;
    return std::max(1, std::min(usable.Width / design.Width, usable.Height / design.Height));
}

namespace {

Rect Centred(Size output, int w, int h) {
    const int x = (output.Width - w) / 2, y = (output.Height - h) / 2;
    return {x, y, x + w, y + h};
}

// The largest rectangle of the picture's shape inside the output.
Rect Fit(Size output, Size picture) {
    if (static_cast<int64_t>(output.Width) * picture.Height <= static_cast<int64_t>(output.Height) * picture.Width)
        return Centred(output, output.Width,
                       static_cast<int>(static_cast<int64_t>(output.Width) * picture.Height / picture.Width));
    return Centred(output, static_cast<int>(static_cast<int64_t>(output.Height) * picture.Width / picture.Height),
                   output.Height);
}

}  // namespace

View ComputeView(Size output, Size picture, Scaling scaling, bool fullScreen) {
    View v;
    if (picture.Width <= 0 || picture.Height <= 0 || output.Width <= 0 || output.Height <= 0) {
        v.Target = {0, 0, std::max(0, picture.Width), std::max(0, picture.Height)};
        return v;
    }
    const int whole = std::min(output.Width / picture.Width, output.Height / picture.Height);
    if (whole < 1) {  // a screen smaller than the picture: shrink it to fit, filtered
        v.Target = Fit(output, picture);
        v.Smooth = true;
        return v;
    }
    int k = whole;
    if (!fullScreen || scaling == Scaling::Off) {
        if (scaling == Scaling::Off) k = 1;
        v.Target = Centred(output, picture.Width * k, picture.Height * k);
        return v;
    }
    const Rect fit = Fit(output, picture);
    if (scaling == Scaling::Integer || fit.Width() == picture.Width * k) {
        v.Target = Centred(output, picture.Width * k, picture.Height * k);
        return v;
    }
    // A fractional fit: nearest pixels up to the next whole multiple, then smoothed down, so
    // every game pixel stays a crisp block with at most a one-pixel soft seam.
    v.Target = fit;
    v.Prescale = k + 1;
    v.Smooth = true;
    return v;
}

void OutputToPicture(const View& view, Size picture, int px, int py, int& x, int& y) {
    auto map = [](int p, int origin, int extent, int size) {
        if (extent <= 0) return p;
        const int64_t num = static_cast<int64_t>(p - origin) * size;
        // Floor, so positions left of or above the picture stay negative.
        return static_cast<int>(num >= 0 ? num / extent : -((-num + extent - 1) / extent));
    };
    x = map(px, view.Target.Left, view.Target.Width(), picture.Width);
    y = map(py, view.Target.Top, view.Target.Height(), picture.Height);
}

}  // namespace platform::sdl

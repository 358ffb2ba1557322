// Text on a surface: the canvas with its font and brush.
#pragma once

#include <string>
#include <string_view>

#include "engine/Colors.h"
#include "platform/Platform.h"

class TDirectDrawSurface;

enum TBrushStyle { bsSolid, bsClear };

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8;  // points
    TColor Color = clBlack;
};

struct TBrush {
    TBrushStyle Style = bsSolid;
    TColor Color = clWhite;
};

// Text on a surface. Holding the canvas keeps its surface locked until Release; font and
// brush persist between frames.
class TDirectDrawSurfaceCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface* surface) : surface_(surface) {}
    ~TDirectDrawSurfaceCanvas();
    TDirectDrawSurfaceCanvas(const TDirectDrawSurfaceCanvas&) = delete;
    TDirectDrawSurfaceCanvas& operator=(const TDirectDrawSurfaceCanvas&) = delete;

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    // Text with its top-left at (x, y); with a solid brush the text box is filled first.
    void TextOut(int x, int y, std::string_view utf8);
    int TextWidth(std::string_view utf8);
    int TextHeight(std::string_view utf8);
    // Gives the surface back (unlocks it); nothing happens when it is not held.
    void Release();
    bool Held() const { return held_; }

private:
    bool Acquire();
    platform::FontSpec CurrentFont() const;
    TDirectDrawSurface* surface_;
    TFont font_;
    TBrush brush_;
    bool held_ = false;
};

// Drawing into the window's framebuffer: the changed rectangles, scaled sharp.
#include "platform/sdl/SurfacePresenter.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {

namespace {

// Changed rows closer than this are drawn and sent as one rectangle.
constexpr int kJoinGap = 8;
// At most this many rectangles a frame: more are joined (each is a request to the server).
constexpr size_t kMostParts = 16;

bool Writable(const SDL_Surface* s) {
    return s && s->pixels && s->format && s->format->BytesPerPixel == 4 && s->format->Rmask == 0xFF0000 &&
           s->format->Gmask == 0x00FF00 && s->format->Bmask == 0x0000FF;
}

SDL_Rect ToSdl(const Rect& r) { return {r.Left, r.Top, r.Width(), r.Height()}; }

}  // namespace

Size SurfacePresenter::OutputSize() const {
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    return {w, h};
}

void SurfacePresenter::Changes(const std::vector<uint32_t>& picture, Size size, std::vector<Rect>& out) const {
    out.clear();
    const size_t width = static_cast<size_t>(size.Width);
    for (int gap = kJoinGap;; gap *= 2) {
        out.clear();
        for (int y = 0; y < size.Height; ++y) {
            const uint32_t* a = picture.data() + y * width;
            const uint32_t* b = drawn_.data() + y * width;
            if (std::memcmp(a, b, width * 4) == 0) continue;
            int l = 0, r = size.Width;
            while (a[l] == b[l]) ++l;
            while (a[r - 1] == b[r - 1]) --r;
            if (!out.empty() && y - out.back().Bottom < gap) {
                Rect& last = out.back();
                last.Left = std::min(last.Left, l);
                last.Right = std::max(last.Right, r);
                last.Bottom = y + 1;
            } else {
                out.push_back({l, y, r, y + 1});
            }
        }
        if (out.size() <= kMostParts) return;
    }
}

void SurfacePresenter::DrawWhole(SDL_Surface* s, const std::vector<uint32_t>& picture, Size size, const Rect& target) {
    SDL_FillRect(s, nullptr, 0);  // the bars
    pending_.assign(1, SDL_Rect{0, 0, s->w, s->h});
    const Rect inside{std::max(0, target.Left), std::max(0, target.Top), std::min(s->w, target.Right),
                      std::min(s->h, target.Bottom)};
    if (inside.Empty()) return;
    if (target.Width() < size.Width || target.Height() < size.Height) {
        // A screen smaller than the picture: shrunk with filtering, whole every time.
        SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture.data()), size.Width,
                                                               size.Height, 32, size.Width * 4, s->format->format);
        if (!from) return;
        SDL_Rect to = ToSdl(target);
        SDL_SoftStretchLinear(from, nullptr, s, &to);
        SDL_FreeSurface(from);
        return;
    }
    DrawPart(s, picture, size, target, {0, 0, size.Width, size.Height});
    pending_.assign(1, SDL_Rect{0, 0, s->w, s->h});
}

void SurfacePresenter::DrawPart(SDL_Surface* s, const std::vector<uint32_t>& picture, Size size, const Rect& target,
                                const Rect& part) {
    const Size out{target.Width(), target.Height()};
    if (scaler_.Source() != size || scaler_.Output() != out) scaler_.Resize(size, out);
    Rect area = scaler_.OutputOf(part);
    // Only what lies inside the framebuffer (the target may hang over its edges).
    area.Left = std::max(area.Left, -target.Left);
    area.Top = std::max(area.Top, -target.Top);
    area.Right = std::min(area.Right, s->w - target.Left);
    area.Bottom = std::min(area.Bottom, s->h - target.Top);
    if (area.Empty()) return;
    // The target's own origin, even where it lies outside: only `area` is ever written.
    uint8_t* origin = static_cast<uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(target.Top) * s->pitch +
                      static_cast<ptrdiff_t>(target.Left) * 4;
    scaler_.Scale(picture.data(), size.Width, reinterpret_cast<uint32_t*>(origin), s->pitch, area);
    pending_.push_back({target.Left + area.Left, target.Top + area.Top, area.Width(), area.Height()});
}

bool SurfacePresenter::Draw(const std::vector<uint32_t>& picture, Size size, const Rect& target) {
    if (picture.size() != static_cast<size_t>(size.Width) * size.Height || size.Width <= 0 || size.Height <= 0)
        return false;
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (!Writable(s)) return false;
    const Size now{s->w, s->h};
    if (s != surface_ || now != surfaceSize_ || target != target_ || size != size_ || drawn_.size() != picture.size())
        whole_ = true;
    surface_ = s;
    surfaceSize_ = now;
    target_ = target;
    size_ = size;
    const bool shrunk = target.Width() < size.Width || target.Height() < size.Height;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    if (whole_ || shrunk) {
        DrawWhole(s, picture, size, target);
        drawn_ = picture;
        whole_ = false;
    } else {
        Changes(picture, size, changes_);
        for (const Rect& part : changes_) {
            DrawPart(s, picture, size, target, part);
            for (int y = part.Top; y < part.Bottom; ++y) {
                const size_t at = static_cast<size_t>(y) * size.Width + part.Left;
                std::memcpy(drawn_.data() + at, picture.data() + at, static_cast<size_t>(part.Width()) * 4);
            }
        }
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    // Frames drawn and never shown pile up: past a point the whole window is sent instead.
    if (pending_.size() > 4 * kMostParts) pending_.assign(1, SDL_Rect{0, 0, s->w, s->h});
    return true;
}

bool SurfacePresenter::Show() {
    if (pending_.empty()) return true;
    if (pending_.size() > 1) {
        // A whole-window draw makes every other rectangle part of it.
        for (const SDL_Rect& r : pending_)
            if (r.x == 0 && r.y == 0 && r.w == surfaceSize_.Width && r.h == surfaceSize_.Height) {
                pending_.assign(1, r);
                break;
            }
    }
    const bool ok = SDL_UpdateWindowSurfaceRects(window_, pending_.data(), static_cast<int>(pending_.size())) == 0;
    pending_.clear();
    if (!ok) whole_ = true;
    return ok;
}

}  // namespace platform::sdl

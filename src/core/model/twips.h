#pragma once
#include <QRect>
#include <cmath>
#include <cstdint>

// Layouts and stored positions are in twips; the screen has 15 twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;

// Rounds halves to the even neighbour, as stored window positions require.
inline std::int64_t roundHalfEven(double v)
{
    return static_cast<std::int64_t>(std::nearbyint(v));  // default FE_TONEAREST is half-to-even
}

inline int twipsToPixels(double twips) { return static_cast<int>(roundHalfEven(twips / kTwipsPerPixel)); }
inline double pixelsToTwips(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }

// A position in twips as a 16-bit record value, clamped so a far-off window cannot wrap around.
inline std::int16_t twipsToInt16(double twips)
{
    std::int64_t v = roundHalfEven(twips);
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    return static_cast<std::int16_t>(v);
}

// A control's place (left, top, width, height in twips) on the screen.
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

#pragma once

// Font sizes are kept in points and drawn in pixels at 96 pixels per inch, rounded the
// way the board's original platform rounds them (halves away from zero).
constexpr int pointsToPixels(int points)
{
    const int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

constexpr int pixelsToPoints(int pixels)
{
    const int scaled = pixels * 72;
    return scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 48) / 96);
}

#pragma once
// The windows give sizes in twips, as their layouts were designed; 15 twips make one pixel at
// 96 dpi.
namespace controls {

constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips) { return twips <= 0 ? 0 : (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels <= 0 ? 0 : pixels * kTwipsPerPixel; }

}  // namespace controls

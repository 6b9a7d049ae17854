#pragma once
// Twips, the unit of every stored position and layout constant of the console: 1/1440 inch, 15 twips per logical
// pixel. Qt scales logical pixels for high-DPI screens, so the conversion is always by 15.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <cmath>

namespace marvane {

inline constexpr int kTwipsPerPixel = 15;

// A pointer position in logical pixels (possibly fractional on scaled screens) as twips.
inline constexpr double PixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }
inline QPointF PixelsToTwips(const QPointF& pixels) { return pixels * kTwipsPerPixel; }

// Whole pixels as twips, exactly.
inline constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
inline QSize PixelsToTwips(const QSize& pixels) { return pixels * kTwipsPerPixel; }

// Twips as the nearest whole pixel (halves to even), for drawing and for laying out widgets.
inline int TwipsToPixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
inline QPoint TwipsToPixels(const QPointF& twips) { return {TwipsToPixels(twips.x()), TwipsToPixels(twips.y())}; }
inline QSize TwipsToPixels(const QSize& twips) {
  return {TwipsToPixels(twips.width()), TwipsToPixels(twips.height())};
}
// A rectangle given by its left, top, width and height in twips.
inline QRect TwipsToPixels(double left, double top, double width, double height) {
  return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace marvane

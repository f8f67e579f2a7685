// Padding of menu labels with spaces so that the shortcut texts after them line up. Window-free:
// the caller supplies how a text is measured.
#pragma once

#include "framework/String.h"

#include <functional>

// Measured width of a text, in pixels.
using TextMeasure = std::function<int(const CString& text)>;

// `label` with spaces appended until its measured width reaches `width`. Stops early when a space
// adds no width (a font without a space glyph, a failed measure), so it always ends.
CString PadLabelToWidth(const CString& label, int width, const TextMeasure& measure);

#include "controls/menu/LabelPadding.h"

CString PadLabelToWidth(const CString& label, int width, const TextMeasure& measure) {
    CString padded = label;
    for (int measured = measure(padded); measured < width;) {
        padded += L' ';
        const int wider = measure(padded);
        if (wider <= measured) {
            padded = padded.Left(padded.GetLength() - 1);
            break;
        }
        measured = wider;
    }
    return padded;
}

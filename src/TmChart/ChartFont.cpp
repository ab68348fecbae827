#include "TmChart/ChartFont.h"
#include "widgets/Scale.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace tmchart {

int TChartFont::ScreenPixelsPerInch() {
    return widgets::ScreenPixelsPerInch();
}

TChartFont::TChartFont(int pixelsPerInch)
    : pixelsPerInch_(pixelsPerInch > 0 ? pixelsPerInch : kDefaultPixelsPerInch) {
}

int TChartFont::Size() const {
    return -::MulDiv(height_, 72, pixelsPerInch_);
}

void TChartFont::SetSize(int points) {
    height_ = -::MulDiv(points, pixelsPerInch_, 72);
}

void TChartFont::Assign(const TChartFont& other) {
    int ppi = pixelsPerInch_;
    *this = other;
    pixelsPerInch_ = ppi;
    if (other.pixelsPerInch_ != ppi)
        SetSize(other.Size());
}

LOGFONTW TChartFont::LogFont() const {
    LOGFONTW font{};
    font.lfHeight = height_;
    font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    font.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = charset_;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                            : pitch_ == fpVariable ? VARIABLE_PITCH
                                                   : DEFAULT_PITCH;
    std::size_t length = std::min(name_.size(), std::size(font.lfFaceName) - 1);
    std::copy_n(name_.begin(), length, font.lfFaceName);
    return font;
}

void TChartFont::SetLogFont(const LOGFONTW& font) {
    height_ = font.lfHeight;
    charset_ = font.lfCharSet;
    name_.assign(font.lfFaceName, ::wcsnlen(font.lfFaceName, std::size(font.lfFaceName)));
    switch (font.lfPitchAndFamily & 0x0F) {
    case FIXED_PITCH:
        pitch_ = fpFixed;
        break;
    case VARIABLE_PITCH:
        pitch_ = fpVariable;
        break;
    default:
        pitch_ = fpDefault;
        break;
    }
    style_ = 0;
    if (font.lfWeight >= FW_BOLD)
        style_ |= fsBold;
    if (font.lfItalic)
        style_ |= fsItalic;
    if (font.lfUnderline)
        style_ |= fsUnderline;
    if (font.lfStrikeOut)
        style_ |= fsStrikeOut;
}

} // namespace tmchart

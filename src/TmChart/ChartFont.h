#pragma once
#include "TmChart/ChartTypes.h"

#include <cstdint>
#include <string>

namespace tmchart {

// The resolution of a standard screen, used when the screen cannot be asked.
constexpr int kDefaultPixelsPerInch = 96;

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// Font styles as a bit set; the bits are those of the stored font record.
using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// The description of a drawing font. Height is in pixels (negative: character height);
// Size is in points and is derived from Height at the given resolution, so setting one
// sets the other: whichever is set last decides.
class TChartFont {
public:
    explicit TChartFont(int pixelsPerInch = ScreenPixelsPerInch());

    std::uint8_t Charset() const { return charset_; }
    void SetCharset(std::uint8_t charset) { charset_ = charset; }
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    int Height() const { return height_; }
    void SetHeight(int height) { height_ = height; }
    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch) { pitch_ = pitch; }
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style) { style_ = style; }
    int PixelsPerInch() const { return pixelsPerInch_; }

    // Copies every attribute; the height is carried over as a size, so a font made at
    // another resolution keeps its point size here.
    void Assign(const TChartFont& other);

    // For the system's font dialog and for drawing.
    LOGFONTW LogFont() const;
    void SetLogFont(const LOGFONTW& font);

    bool operator==(const TChartFont&) const = default;

    static int ScreenPixelsPerInch();

private:
    int pixelsPerInch_;
    std::uint8_t charset_ = DEFAULT_CHARSET;
    TColor color_ = 0;
    int height_ = 0;
    std::wstring name_;
    TFontPitch pitch_ = fpDefault;
    TFontStyles style_ = 0;
};

} // namespace tmchart

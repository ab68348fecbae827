#pragma once
#include "platform/Handles.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace widgets {

// Icons of one size loaded from the program's resources. Every list of the same icons
// and size shares one set, loaded once while any of them lives: each status window
// asks for the same pictures.
class ImageList {
public:
    ImageList(std::initializer_list<int> iconIds, int size);

    int Count() const { return static_cast<int>(icons_->size()); }
    // An index beyond the list takes the last icon.
    HICON Icon(int index) const;

private:
    std::shared_ptr<const std::vector<platform::UniqueIcon>> icons_;
};

// Pictures for menu entries: 32-bit bitmaps loaded from the program's resources, shared
// like the icons above.
class BitmapList {
public:
    explicit BitmapList(std::initializer_list<int> bitmapIds);

    int Count() const { return static_cast<int>(bitmaps_->size()); }
    HBITMAP Bitmap(int index) const;

private:
    std::shared_ptr<const std::vector<platform::UniqueGdiObject>> bitmaps_;
};

} // namespace widgets

#pragma once
#include "platform/Handles.h"

#include <initializer_list>
#include <vector>

namespace widgets {

// Icons of one size loaded from the program's resources, owned for the list's life.
class ImageList {
public:
    ImageList(std::initializer_list<int> iconIds, int size);

    int Count() const { return static_cast<int>(icons_.size()); }
    // An index beyond the list takes the last icon.
    HICON Icon(int index) const;

private:
    std::vector<platform::UniqueIcon> icons_;
};

// Pictures for menu entries: 32-bit bitmaps loaded from the program's resources, owned
// for the list's life.
class BitmapList {
public:
    explicit BitmapList(std::initializer_list<int> bitmapIds);

    int Count() const { return static_cast<int>(bitmaps_.size()); }
    HBITMAP Bitmap(int index) const;

private:
    std::vector<platform::UniqueGdiObject> bitmaps_;
};

} // namespace widgets

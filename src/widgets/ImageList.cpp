#include "widgets/ImageList.h"
#include "widgets/Application.h"

namespace widgets {

ImageList::ImageList(std::initializer_list<int> iconIds, int size) {
    for (int id : iconIds)
        icons_.emplace_back(static_cast<HICON>(
            ::LoadImageW(Application::Instance().Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

HICON ImageList::Icon(int index) const {
    if (icons_.empty())
        return nullptr;
    if (index < 0)
        index = 0;
    if (index >= Count())
        index = Count() - 1;
    return icons_[static_cast<std::size_t>(index)].Get();
}

BitmapList::BitmapList(std::initializer_list<int> bitmapIds) {
    for (int id : bitmapIds)
        bitmaps_.emplace_back(::LoadImageW(Application::Instance().Module(), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP BitmapList::Bitmap(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return static_cast<HBITMAP>(bitmaps_[static_cast<std::size_t>(index)].Get());
}

} // namespace widgets

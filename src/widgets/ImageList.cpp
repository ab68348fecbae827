#include "widgets/ImageList.h"
#include "widgets/Application.h"

#include <map>
#include <mutex>

namespace widgets {
namespace {

// The one set of handles for a key (resource ids and a size), loaded by `load` when no
// list holds it now.
template <typename Handle, typename Load>
std::shared_ptr<const std::vector<Handle>> Shared(std::vector<int> key, Load load) {
    static std::mutex lock;
    static std::map<std::vector<int>, std::weak_ptr<const std::vector<Handle>>> sets;
    std::lock_guard<std::mutex> hold(lock);
    std::weak_ptr<const std::vector<Handle>>& slot = sets[std::move(key)];
    if (auto alive = slot.lock())
        return alive;
    auto made = std::make_shared<const std::vector<Handle>>(load());
    slot = made;
    return made;
}

} // namespace

ImageList::ImageList(std::initializer_list<int> iconIds, int size) {
    std::vector<int> key(iconIds);
    key.push_back(size);
    icons_ = Shared<platform::UniqueIcon>(std::move(key), [&] {
        std::vector<platform::UniqueIcon> icons;
        for (int id : iconIds)
            icons.emplace_back(static_cast<HICON>(::LoadImageW(
                Application::Instance().Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
        return icons;
    });
}

HICON ImageList::Icon(int index) const {
    if (icons_->empty())
        return nullptr;
    if (index < 0)
        index = 0;
    if (index >= Count())
        index = Count() - 1;
    return (*icons_)[static_cast<std::size_t>(index)].Get();
}

BitmapList::BitmapList(std::initializer_list<int> bitmapIds) {
    bitmaps_ = Shared<platform::UniqueGdiObject>(std::vector<int>(bitmapIds), [&] {
        std::vector<platform::UniqueGdiObject> bitmaps;
        for (int id : bitmapIds)
            bitmaps.emplace_back(::LoadImageW(Application::Instance().Module(), MAKEINTRESOURCEW(id),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        return bitmaps;
    });
}

HBITMAP BitmapList::Bitmap(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return static_cast<HBITMAP>((*bitmaps_)[static_cast<std::size_t>(index)].Get());
}

} // namespace widgets

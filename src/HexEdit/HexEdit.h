#pragma once
#include "widgets/Edit.h"

// A one-line field that takes hexadecimal digits only, in either case, as typed.
class THexEdit : public widgets::Edit {
public:
    using Edit::Edit;

    static bool IsHexKey(wchar_t key);

protected:
    bool KeyPress(wchar_t key) override { return IsHexKey(key); }
};

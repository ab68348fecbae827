#pragma once
#include "platform/Clipboard.h"
#include "support/Override.h"

#include <string>
#include <vector>

namespace fake {

// The clipboard: every text put on it, in order; it may be held by another program.
class FakeClipboard {
public:
    FakeClipboard();
    bool ClipboardBusy = false;
    std::vector<std::wstring> ClipboardTexts;
    // Open and close calls that are not yet paired.
    int ClipboardOpen = 0;

private:
    BindingOverride<platform::Clipboard> binding_{platform::clipboard()};
};

} // namespace fake

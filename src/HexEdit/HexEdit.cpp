#include "HexEdit/HexEdit.h"

bool THexEdit::IsHexKey(wchar_t key) {
    return key == VK_BACK || (key >= L'0' && key <= L'9') || (key >= L'a' && key <= L'f') ||
           (key >= L'A' && key <= L'F');
}

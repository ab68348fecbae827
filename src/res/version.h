#pragma once
// The program's version, the one place it is written: the version resource, the about
// box and the installer (tools/package reads the two numbers from here) take it.
#define KELVRA_VERSION_MAJOR 1
#define KELVRA_VERSION_MINOR 22

#define KELVRA_VERSION_STRINGIZE(x) #x
#define KELVRA_VERSION_STRING(x) KELVRA_VERSION_STRINGIZE(x)
// "1.22"
#define KELVRA_VERSION_TEXT                                                                                  \
    KELVRA_VERSION_STRING(KELVRA_VERSION_MAJOR) "." KELVRA_VERSION_STRING(KELVRA_VERSION_MINOR)
// "1.22.0.0"
#define KELVRA_VERSION_FULL_TEXT KELVRA_VERSION_TEXT ".0.0"

#ifndef RC_INVOKED
// For the about box.
inline constexpr wchar_t kVersionText[] = L"" KELVRA_VERSION_TEXT;
#endif

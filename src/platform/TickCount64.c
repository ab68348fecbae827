/* GetTickCount64 for the thread runtime linked into every binary of ours.
 *
 * The POSIX thread runtime times its waits with GetTickCount64, which kernel32 exports
 * only from Vista on: imported, it would stop Windows XP from loading our files at all.
 * This object is linked into each binary and defines the import slot the runtime calls
 * through, so the linker takes no import from kernel32 for it. On the first call it
 * looks the function up; where the system has none, it counts GetTickCount's wraps. */
#include <windows.h>

typedef ULONGLONG(WINAPI* TickCount64Function)(void);

#if defined(__i386__)
#define KELVRA_IMPORT_SLOT "__imp__GetTickCount64@0"
#define KELVRA_DIRECT_NAME "_GetTickCount64@0"
#else
#define KELVRA_IMPORT_SLOT "__imp_GetTickCount64"
#define KELVRA_DIRECT_NAME "GetTickCount64"
#endif

/* The last value handed out; a wrap of the 32-bit count carries into the upper half. */
static ULONGLONG lastTick;
static TickCount64Function resolved;

/* Advances by the 32-bit count's step since the last value, so a wrap carries over.
 * A count read before another thread's newer one (a step "backwards") gives that
 * newer value: the result never goes back. Holds while calls come less than 24 days
 * apart, which the runtime's timed waits ensure. */
static ULONGLONG WINAPI CountedTickCount64(void) {
    ULONGLONG seen = __atomic_load_n(&lastTick, __ATOMIC_RELAXED);
    for (;;) {
        DWORD step = GetTickCount() - (DWORD)seen;
        if (step >= 0x80000000u)
            return seen;
        if (__atomic_compare_exchange_n(&lastTick, &seen, seen + step, 0, __ATOMIC_RELAXED, __ATOMIC_RELAXED))
            return seen + step;
    }
}

ULONGLONG WINAPI KelvraGetTickCount64(void) __asm__(KELVRA_DIRECT_NAME);
ULONGLONG WINAPI KelvraGetTickCount64(void) {
    TickCount64Function function = __atomic_load_n(&resolved, __ATOMIC_ACQUIRE);
    if (!function) {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        function =
            kernel ? (TickCount64Function)(void (*)(void))GetProcAddress(kernel, "GetTickCount64") : NULL;
        if (!function) {
            ULONGLONG unset = 0;
            __atomic_compare_exchange_n(&lastTick, &unset, GetTickCount(), 0, __ATOMIC_RELAXED,
                                        __ATOMIC_RELAXED);
            function = CountedTickCount64;
        }
        __atomic_store_n(&resolved, function, __ATOMIC_RELEASE);
    }
    return function();
}

__attribute__((used))
TickCount64Function const kelvraTickCount64Slot __asm__(KELVRA_IMPORT_SLOT) = KelvraGetTickCount64;

// The hook library that the probe puts into the measured process with SetWindowsHookEx: it
// counts the messages that the process handles and, through its import slots, the calls that
// the process makes to allocate memory. It runs only inside the probe's target process.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <iterator>

#include "bench/counters.h"

namespace {

bench::Counters* g_counters = nullptr;
LONG g_initialised = 0;

using HeapAllocFn = void*(WINAPI*)(HANDLE, ULONG, SIZE_T);
using HeapReAllocFn = void*(WINAPI*)(HANDLE, ULONG, void*, SIZE_T);
using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using StrdupFn = char*(__cdecl*)(const char*);
using WcsdupFn = wchar_t*(__cdecl*)(const wchar_t*);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using LocalReAllocFn = HLOCAL(WINAPI*)(HLOCAL, SIZE_T, UINT);

HeapAllocFn realHeapAlloc;
HeapReAllocFn realHeapReAlloc;
MallocFn realMalloc;
CallocFn realCalloc;
ReallocFn realRealloc;
StrdupFn realStrdup;
WcsdupFn realWcsdup;
LocalAllocFn realLocalAlloc;
LocalAllocFn realGlobalAlloc;
LocalReAllocFn realLocalReAlloc;
LocalReAllocFn realGlobalReAlloc;

void CountHeap() { InterlockedIncrement(&g_counters->heapAllocations); }
void CountOwn() { InterlockedIncrement(&g_counters->ownAllocations); }

// Every module's calls into the heap itself.
void* WINAPI HeapAllocCounted(HANDLE heap, ULONG flags, SIZE_T size) {
    CountHeap();
    return realHeapAlloc(heap, flags, size);
}
void* WINAPI HeapReAllocCounted(HANDLE heap, ULONG flags, void* block, SIZE_T size) {
    CountHeap();
    return realHeapReAlloc(heap, flags, block, size);
}

// The executable's calls: to the heap straight, or through the C runtime and the
// local/global allocators (whose own heap calls the counters above see as well).
void* WINAPI OwnHeapAlloc(HANDLE heap, ULONG flags, SIZE_T size) {
    CountOwn();
    CountHeap();
    return realHeapAlloc(heap, flags, size);
}
void* WINAPI OwnHeapReAlloc(HANDLE heap, ULONG flags, void* block, SIZE_T size) {
    CountOwn();
    CountHeap();
    return realHeapReAlloc(heap, flags, block, size);
}
void* __cdecl OwnMalloc(size_t size) {
    CountOwn();
    return realMalloc(size);
}
void* __cdecl OwnCalloc(size_t count, size_t size) {
    CountOwn();
    return realCalloc(count, size);
}
void* __cdecl OwnRealloc(void* block, size_t size) {
    CountOwn();
    return realRealloc(block, size);
}
char* __cdecl OwnStrdup(const char* text) {
    CountOwn();
    return realStrdup(text);
}
wchar_t* __cdecl OwnWcsdup(const wchar_t* text) {
    CountOwn();
    return realWcsdup(text);
}
HLOCAL WINAPI OwnLocalAlloc(UINT flags, SIZE_T size) {
    CountOwn();
    return realLocalAlloc(flags, size);
}
HLOCAL WINAPI OwnGlobalAlloc(UINT flags, SIZE_T size) {
    CountOwn();
    return realGlobalAlloc(flags, size);
}
HLOCAL WINAPI OwnLocalReAlloc(HLOCAL block, SIZE_T size, UINT flags) {
    CountOwn();
    return realLocalReAlloc(block, size, flags);
}
HLOCAL WINAPI OwnGlobalReAlloc(HLOCAL block, SIZE_T size, UINT flags) {
    CountOwn();
    return realGlobalReAlloc(block, size, flags);
}

struct Redirect {
    void** real;        // where the function's own address is kept
    void* replacement;  // what its import slots get instead
};

template <typename Fn>
void** Slot(Fn& fn) {
    return reinterpret_cast<void**>(&fn);
}

// Import slots are matched by the address they hold, so a function reached by another
// name (kernel32's HeapAlloc is ntdll's RtlAllocateHeap) is caught as well.
void PatchModule(HMODULE module, const Redirect* redirects, size_t count) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name; ++descriptor) {
        for (auto* slot = reinterpret_cast<void**>(base + descriptor->FirstThunk); *slot; ++slot) {
            for (size_t i = 0; i < count; ++i) {
                if (!*redirects[i].real || *slot != *redirects[i].real) continue;
                DWORD old = 0;
                if (VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old)) {
                    *slot = redirects[i].replacement;
                    VirtualProtect(slot, sizeof(*slot), old, &old);
                    InterlockedIncrement(&g_counters->patchedSlots);
                }
                break;
            }
        }
    }
}

template <typename Fn>
void Resolve(Fn& fn, const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    fn = handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

void PatchProcess() {
    Resolve(realHeapAlloc, L"ntdll.dll", "RtlAllocateHeap");
    Resolve(realHeapReAlloc, L"ntdll.dll", "RtlReAllocateHeap");
    Resolve(realMalloc, L"msvcrt.dll", "malloc");
    Resolve(realCalloc, L"msvcrt.dll", "calloc");
    Resolve(realRealloc, L"msvcrt.dll", "realloc");
    Resolve(realStrdup, L"msvcrt.dll", "_strdup");
    Resolve(realWcsdup, L"msvcrt.dll", "_wcsdup");
    Resolve(realLocalAlloc, L"kernel32.dll", "LocalAlloc");
    Resolve(realGlobalAlloc, L"kernel32.dll", "GlobalAlloc");
    Resolve(realLocalReAlloc, L"kernel32.dll", "LocalReAlloc");
    Resolve(realGlobalReAlloc, L"kernel32.dll", "GlobalReAlloc");

    const Redirect heap[] = {
        {Slot(realHeapAlloc), reinterpret_cast<void*>(&HeapAllocCounted)},
        {Slot(realHeapReAlloc), reinterpret_cast<void*>(&HeapReAllocCounted)},
    };
    const Redirect own[] = {
        {Slot(realHeapAlloc), reinterpret_cast<void*>(&OwnHeapAlloc)},
        {Slot(realHeapReAlloc), reinterpret_cast<void*>(&OwnHeapReAlloc)},
        {Slot(realMalloc), reinterpret_cast<void*>(&OwnMalloc)},
        {Slot(realCalloc), reinterpret_cast<void*>(&OwnCalloc)},
        {Slot(realRealloc), reinterpret_cast<void*>(&OwnRealloc)},
        {Slot(realStrdup), reinterpret_cast<void*>(&OwnStrdup)},
        {Slot(realWcsdup), reinterpret_cast<void*>(&OwnWcsdup)},
        {Slot(realLocalAlloc), reinterpret_cast<void*>(&OwnLocalAlloc)},
        {Slot(realGlobalAlloc), reinterpret_cast<void*>(&OwnGlobalAlloc)},
        {Slot(realLocalReAlloc), reinterpret_cast<void*>(&OwnLocalReAlloc)},
        {Slot(realGlobalReAlloc), reinterpret_cast<void*>(&OwnGlobalReAlloc)},
    };

    HMODULE exe = GetModuleHandleW(nullptr);
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&PatchProcess), &self);
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &needed)) return;
    size_t loaded = std::min<size_t>(needed / sizeof(HMODULE), std::size(modules));
    for (size_t i = 0; i < loaded; ++i) {
        if (modules[i] == self) continue;
        if (modules[i] == exe) {
            PatchModule(modules[i], own, std::size(own));
        } else {
            PatchModule(modules[i], heap, std::size(heap));
        }
    }
}

// Runs at the first hook call, which comes inside the target once the probe's hooks are in.
void Initialise() {
    if (InterlockedExchange(&g_initialised, 1)) return;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, bench::kCountersMapping);
    if (!mapping) return;
    auto* counters = static_cast<bench::Counters*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(bench::Counters)));
    if (!counters) return;
    if (counters->targetProcess != GetCurrentProcessId()) {
        UnmapViewOfFile(counters);
        return;
    }
    g_counters = counters;
    PatchProcess();
    InterlockedExchange(&g_counters->ready, 1);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK BenchGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        Initialise();
        if (g_counters && wParam == PM_REMOVE) InterlockedIncrement(&g_counters->postedMessages);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK BenchCallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        Initialise();
        if (g_counters) InterlockedIncrement(&g_counters->sentMessages);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

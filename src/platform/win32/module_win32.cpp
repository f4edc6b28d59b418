// Finishing the load of VIRODARO.EXE when another program maps it with LoadLibrary to call
// EXIST. Windows relocates such an executable and binds its imports, but wine does neither,
// so the first call finds every absolute address still based on the preferred image base
// and every import slot still naming its function instead of pointing at it. This file
// does both jobs itself, once, where they are left undone.
//
// Until the imports are bound, no imported function may be called, so this code finds
// LoadLibraryA, GetProcAddress and VirtualProtect in the export table of kernel32, which it
// reaches through the process environment block, and uses no C library call. It is built
// with loop-to-library-call rewriting off for the same reason (see CMakeLists.txt).

#include <windows.h>
#include <winternl.h>

#include "platform/module.hpp"

namespace {

using LoadLibraryFn = HMODULE(WINAPI*)(LPCSTR);
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using VirtualProtectFn = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

struct Kernel32 {
    LoadLibraryFn loadLibrary;
    GetProcAddressFn getProcAddress;
    VirtualProtectFn virtualProtect;
};

enum LoadState : LONG { kNotChecked = 0, kFinishing = 1, kFinished = 2 };
volatile LONG loadState = kNotChecked;

// Holds its own address, through a base relocation: when the two differ, the image was not
// relocated to where it stands.
void* volatile relocationProbe = const_cast<void**>(&relocationProbe);

BYTE* OwnBase() {
    BYTE* base;
    // RIP-relative, so right wherever the image stands, relocated or not.
    __asm__("lea __ImageBase(%%rip), %0" : "=r"(base));
    return base;
}

IMAGE_NT_HEADERS64* Headers(const BYTE* module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    return reinterpret_cast<IMAGE_NT_HEADERS64*>(const_cast<BYTE*>(module) + dos->e_lfanew);
}

const IMAGE_DATA_DIRECTORY& Directory(const BYTE* module, int which) {
    return Headers(module)->OptionalHeader.DataDirectory[which];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares two names without regard to ASCII case; `second` may end early at `secondEnd`.
bool SameName(const char* first, const char* second, char secondEnd = '\0') {
    while (*first != '\0' && *second != secondEnd && Lower(*first) == Lower(*second)) {
        ++first;
        ++second;
    }
    return *first == '\0' && *second == secondEnd;
}

// A module the process has loaded, by its file name with extension ("kernel32.dll"), or
// null. `nameEnd` ends the name early, for names taken from a forwarder string.
const BYTE* LoadedModule(const char* name, char nameEnd) {
    const PEB* peb;
    // The thread's environment block starts at gs:0; the process's stands at its offset 0x60.
    __asm__("movq %%gs:0x60, %0" : "=r"(peb));
    const LIST_ENTRY* head = &peb->Ldr->InMemoryOrderModuleList;
    for (const LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        const auto* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        const UNICODE_STRING& path = entry->FullDllName;
        const USHORT length = path.Length / sizeof(WCHAR);
        USHORT start = length;
        while (start > 0 && path.Buffer[start - 1] != L'\\' && path.Buffer[start - 1] != L'/')
            --start;
        char fileName[MAX_PATH];
        USHORT used = 0;
        for (USHORT i = start; i < length && used + 1 < MAX_PATH; ++i)
            fileName[used++] = static_cast<char>(path.Buffer[i]);
        fileName[used] = '\0';
        // A forwarder names its module without ".dll".
        if (nameEnd != '\0' && used > 4 && SameName(fileName + used - 4, ".dll")) {
            fileName[used - 4] = '\0';
        }
        if (SameName(fileName, name, nameEnd)) return static_cast<const BYTE*>(entry->DllBase);
    }
    return nullptr;
}

// An exported function of a loaded module, following forwarders ("KERNELBASE.LoadLibraryA")
// a few steps deep.
const void* ExportedFunction(const BYTE* module, const char* function, int forwardsLeft = 4) {
    if (module == nullptr) return nullptr;
    const IMAGE_DATA_DIRECTORY& directory = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(module + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(module + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(module + exports->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(module + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!SameName(reinterpret_cast<const char*>(module + names[i]), function)) continue;
        const DWORD address = functions[ordinals[i]];
        const bool forwarded = address >= directory.VirtualAddress &&
                               address < directory.VirtualAddress + directory.Size;
        if (!forwarded) return module + address;
        if (forwardsLeft == 0) return nullptr;
        const char* forwarder = reinterpret_cast<const char*>(module + address);
        const char* dot = forwarder;
        while (*dot != '\0' && *dot != '.')
            ++dot;
        if (*dot != '.') return nullptr;
        return ExportedFunction(LoadedModule(forwarder, '.'), dot + 1, forwardsLeft - 1);
    }
    return nullptr;
}

bool FindKernel32(Kernel32* kernel32) {
    const BYTE* module = LoadedModule("kernel32.dll", '\0');
    kernel32->loadLibrary =
        reinterpret_cast<LoadLibraryFn>(ExportedFunction(module, "LoadLibraryA"));
    kernel32->getProcAddress =
        reinterpret_cast<GetProcAddressFn>(ExportedFunction(module, "GetProcAddress"));
    kernel32->virtualProtect =
        reinterpret_cast<VirtualProtectFn>(ExportedFunction(module, "VirtualProtect"));
    return kernel32->loadLibrary && kernel32->getProcAddress && kernel32->virtualProtect;
}

// Writes one pointer-sized slot of the image, whatever the protection of its page.
void WriteSlot(const Kernel32& kernel32, ULONG_PTR* slot, ULONG_PTR value) {
    DWORD previous;
    kernel32.virtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    kernel32.virtualProtect(slot, sizeof *slot, previous, &previous);
}

void ApplyRelocations(BYTE* base, LONG_PTR delta, const Kernel32& kernel32) {
    const IMAGE_DATA_DIRECTORY& directory = Directory(base, IMAGE_DIRECTORY_ENTRY_BASERELOC);
    DWORD offset = 0;
    while (offset + sizeof(IMAGE_BASE_RELOCATION) <= directory.Size) {
        const auto* block = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(
            base + directory.VirtualAddress + offset);
        if (block->SizeOfBlock < sizeof *block) break;
        const auto* entries = reinterpret_cast<const WORD*>(block + 1);
        const DWORD count = (block->SizeOfBlock - sizeof *block) / sizeof(WORD);
        for (DWORD i = 0; i < count; ++i) {
            if (entries[i] >> 12 != IMAGE_REL_BASED_DIR64) continue;
            auto* slot =
                reinterpret_cast<ULONG_PTR*>(base + block->VirtualAddress + (entries[i] & 0xFFF));
            WriteSlot(kernel32, slot, *slot + delta);
        }
        offset += block->SizeOfBlock;
    }
}

// Points every import slot that still holds its lookup entry at the imported function.
void BindImports(BYTE* base, const Kernel32& kernel32) {
    const IMAGE_DATA_DIRECTORY& directory = Directory(base, IMAGE_DIRECTORY_ENTRY_IMPORT);
    const auto* descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        const HMODULE library =
            kernel32.loadLibrary(reinterpret_cast<const char*>(base + descriptor->Name));
        if (library == nullptr) continue;
        const auto* lookup =
            reinterpret_cast<const IMAGE_THUNK_DATA64*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + descriptor->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slots) {
            if (slots->u1.Function != lookup->u1.AddressOfData) continue;  // bound already
            const char* function =
                IMAGE_SNAP_BY_ORDINAL64(lookup->u1.Ordinal)
                    ? reinterpret_cast<const char*>(IMAGE_ORDINAL64(lookup->u1.Ordinal))
                    : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData)
                          ->Name;
            WriteSlot(kernel32, reinterpret_cast<ULONG_PTR*>(&slots->u1.Function),
                      reinterpret_cast<ULONG_PTR>(kernel32.getProcAddress(library, function)));
        }
    }
}

}  // namespace

namespace platform {

void FinishModuleLoad() {
    if (loadState == kFinished) return;
    if (InterlockedCompareExchange(&loadState, kFinishing, kNotChecked) != kNotChecked) {
        while (loadState != kFinished)
            YieldProcessor();
        return;
    }
    BYTE* base = OwnBase();
    const LONG_PTR delta = reinterpret_cast<BYTE*>(const_cast<void**>(&relocationProbe)) -
                           static_cast<BYTE*>(relocationProbe);
    Kernel32 kernel32;
    if (FindKernel32(&kernel32)) {
        if (delta != 0) ApplyRelocations(base, delta, kernel32);
        BindImports(base, kernel32);
    }
    InterlockedExchange(&loadState, kFinished);
}

}  // namespace platform

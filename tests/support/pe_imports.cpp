#include "tests/support/pe_imports.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace test_support {

namespace {

class Image {
public:
    explicit Image(const std::wstring& path) {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // size bytes at offset, or null when they run past the end.
    template <typename T>
    const T* At(size_t offset, size_t count = 1) const {
        if (offset > bytes_.size() || count * sizeof(T) > bytes_.size() - offset) return nullptr;
        return reinterpret_cast<const T*>(bytes_.data() + offset);
    }

private:
    std::vector<char> bytes_;
};

}  // namespace

std::optional<std::vector<std::string>> ImportedDlls(const std::wstring& path) {
    Image image(path);
    auto* dos = image.At<IMAGE_DOS_HEADER>(0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    const size_t ntAt = static_cast<size_t>(dos->e_lfanew);
    auto* nt = image.At<IMAGE_NT_HEADERS32>(ntAt);
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return std::nullopt;
    // The import directory sits at another offset in the 64-bit optional header.
    const IMAGE_DATA_DIRECTORY* directory = nullptr;
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        auto* nt64 = image.At<IMAGE_NT_HEADERS64>(ntAt);
        if (!nt64) return std::nullopt;
        directory = &nt64->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    } else {
        directory = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    }
    const WORD sectionCount = nt->FileHeader.NumberOfSections;
    auto* sections = image.At<IMAGE_SECTION_HEADER>(
        ntAt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader, sectionCount);
    if (!sections) return std::nullopt;
    auto fileOffset = [&](DWORD rva) -> std::optional<size_t> {
        for (WORD i = 0; i < sectionCount; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData)) {
                return size_t{rva - s.VirtualAddress + s.PointerToRawData};
            }
        }
        return std::nullopt;
    };

    std::vector<std::string> dlls;
    if (!directory->VirtualAddress) return dlls;
    auto offset = fileOffset(directory->VirtualAddress);
    if (!offset) return std::nullopt;
    for (;; *offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* descriptor = image.At<IMAGE_IMPORT_DESCRIPTOR>(*offset);
        if (!descriptor) return std::nullopt;
        if (!descriptor->Name) break;
        auto nameAt = fileOffset(descriptor->Name);
        if (!nameAt) return std::nullopt;
        std::string name;
        for (const char* c = image.At<char>(*nameAt); c && *c; c = image.At<char>(*nameAt + name.size())) {
            name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*c))));
        }
        dlls.push_back(name);
    }
    std::sort(dlls.begin(), dlls.end());
    return dlls;
}

}  // namespace test_support

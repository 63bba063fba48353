// File services: copying, deleting and finding files by name and attributes.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Attribute bits of Dir's mask; their values are the file system's own.
enum FileAttribute : int {
    kNormalFile = 0,
    kReadOnly = 1,
    kHidden = 2,
    kSystem = 4,
    kDirectory = 16,
    kArchive = 32,
};

// Copies source to destination, replacing a file already there.
void FileCopy(std::wstring_view source, std::wstring_view destination);

// Deletes the one file path names; a missing file fails.
void Kill(std::wstring_view path);

// The name (without folder) of the first entry matching pathName, which may hold wildcards,
// or "" when none does. Ordinary files always match, whatever their read-only and archive
// bits; hidden, system and directory entries match only when the mask holds their bit.
std::wstring Dir(std::wstring_view pathName, int attributes);

}  // namespace runtime

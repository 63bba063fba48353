#include "tests/support/capture.h"

#include <algorithm>
#include <cstdio>

#include "runtime/dib.h"
#include "runtime/handles.h"

namespace test_support {

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

Image Capture(HWND window, bool wholeWindow) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    RECT rect{};
    if (wholeWindow) {
        GetWindowRect(window, &rect);
        OffsetRect(&rect, -rect.left, -rect.top);
    } else {
        GetClientRect(window, &rect);
    }
    return CaptureRect(window, rect, wholeWindow);
}

Image CaptureRect(HWND window, const RECT& rect, bool wholeWindow) {
    Image image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    if (image.width <= 0 || image.height <= 0) return Image{};

    void* bits = nullptr;
    // The window's own surface, unclipped by its children so that controls show; with no
    // window, the whole screen.
    runtime::WindowDc source(window, DCX_CACHE | (wholeWindow ? DCX_WINDOW : 0));
    runtime::Bitmap bitmap = runtime::CreateTopDownDib(image.width, image.height, &bits, source.Get());
    if (!bitmap) return Image{};
    runtime::MemoryDc memory(source.Get());
    {
        runtime::SelectObjectScope select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, image.width, image.height, source.Get(), rect.left, rect.top, SRCCOPY);
    }
    GdiFlush();
    const auto* words = static_cast<const uint32_t*>(bits);
    image.pixels.assign(words, words + static_cast<size_t>(image.width) * image.height);
    for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;  // a 32-bit DIB holds 0x00RRGGBB
    return image;
}

Image CaptureScreen(const RECT& rect) { return CaptureRect(nullptr, rect, /*wholeWindow=*/true); }

bool WritePng(const std::wstring& path, const Image& image) {
    // The image data: each row a filter byte (0, none) and red, green, blue per pixel.
    std::vector<uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            uint32_t pixel = image.At(x, y);
            raw.push_back(static_cast<uint8_t>(pixel >> 16));
            raw.push_back(static_cast<uint8_t>(pixel >> 8));
            raw.push_back(static_cast<uint8_t>(pixel));
        }
    }
    // A zlib stream of stored (uncompressed) deflate blocks, at most 65535 bytes each.
    std::vector<uint8_t> zlib{0x78, 0x01};
    size_t offset = 0;
    do {
        size_t length = std::min<size_t>(raw.size() - offset, 0xFFFF);
        bool last = offset + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(offset),
                    raw.begin() + static_cast<ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(zlib, (b << 16) | a);

    std::vector<uint8_t> header;
    PutBe32(header, static_cast<uint32_t>(image.width));
    PutBe32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits a channel, RGB, no interlace

    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", zlib);
    PutChunk(file, "IEND", {});

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
    return (fclose(out) == 0) && written;
}

}  // namespace test_support

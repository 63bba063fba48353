#include "skin/skin_images.h"

#include <cstring>

#include "runtime/dib.h"
#include "runtime/error.h"

namespace skin {

namespace {

constexpr char kMagic[8] = {'H', 'L', 'S', 'K', 'I', 'N', '1', '\0'};
constexpr int kMaxSide = 1024;  // no image of a skin comes near; guards against bad sizes

// Reads the pack front to back; any read past its end is malformed data.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}

    const uint8_t* Take(size_t count) {
        if (count > data_.size() - offset_) runtime::Raise(runtime::kInvalidCall);
        const uint8_t* at = data_.data() + offset_;
        offset_ += count;
        return at;
    }
    uint8_t U8() { return *Take(1); }
    uint16_t U16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }

private:
    std::span<const uint8_t> data_;
    size_t offset_ = 0;
};

std::vector<uint8_t> Unpack(const uint8_t* packed, size_t length, size_t expected) {
    std::vector<uint8_t> out;
    out.reserve(expected);
    size_t i = 0;
    while (i < length && out.size() < expected) {
        uint8_t control = packed[i++];
        if (control < 128) {
            size_t count = control + 1u;
            if (count > length - i) runtime::Raise(runtime::kInvalidCall);
            out.insert(out.end(), packed + i, packed + i + count);
            i += count;
        } else if (control > 128) {
            if (i >= length) runtime::Raise(runtime::kInvalidCall);
            out.insert(out.end(), 257u - control, packed[i++]);
        }
    }
    if (out.size() != expected) runtime::Raise(runtime::kInvalidCall);
    return out;
}

runtime::Bitmap MakeBitmap(int width, int height, const std::vector<uint32_t>& pixels) {
    void* bits = nullptr;
    runtime::Bitmap bitmap = runtime::CreateTopDownDib(width, height, &bits);
    if (!bitmap || !bits) runtime::Raise(runtime::kOutOfMemory);
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
    return bitmap;
}

SkinImage ReadImage(Reader& in) {
    SkinImage image;
    uint8_t nameLength = in.U8();
    const uint8_t* name = in.Take(nameLength);
    image.name.assign(name, name + nameLength);
    image.width = in.U16();
    image.height = in.U16();
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxSide || image.height > kMaxSide) {
        runtime::Raise(runtime::kInvalidCall);
    }
    uint8_t partCount = in.U8();
    for (uint8_t i = 0; i < partCount; ++i) {
        ImagePart part;
        part.id = in.U8();
        int x = in.U16(), y = in.U16(), w = in.U16(), h = in.U16();
        if (w == 0 || h == 0 || x + w > image.width || y + h > image.height) runtime::Raise(runtime::kInvalidCall);
        part.rect = RECT{x, y, x + w, y + h};
        part.margins.left = in.U8();
        part.margins.top = in.U8();
        part.margins.right = in.U8();
        part.margins.bottom = in.U8();
        if (part.margins.left + part.margins.right > w || part.margins.top + part.margins.bottom > h) {
            runtime::Raise(runtime::kInvalidCall);
        }
        image.parts.push_back(part);
    }
    uint16_t paletteSize = in.U16();
    if (paletteSize == 0 || paletteSize > 256) runtime::Raise(runtime::kInvalidCall);
    std::vector<uint32_t> palette(paletteSize);
    for (uint32_t& colour : palette) {
        const uint8_t* rgba = in.Take(4);
        uint32_t a = rgba[3];
        // Premultiplied, as GdiAlphaBlend wants it.
        uint32_t r = rgba[0] * a / 255, g = rgba[1] * a / 255, b = rgba[2] * a / 255;
        colour = (a << 24) | (r << 16) | (g << 8) | b;
    }
    uint32_t packedLength = in.U32();
    const uint8_t* packed = in.Take(packedLength);
    size_t count = static_cast<size_t>(image.width) * image.height;
    std::vector<uint8_t> indices = Unpack(packed, packedLength, count);
    image.pixels.resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (indices[i] >= paletteSize) runtime::Raise(runtime::kInvalidCall);
        image.pixels[i] = palette[indices[i]];
    }
    image.bitmap = MakeBitmap(image.width, image.height, image.pixels);
    return image;
}

}  // namespace

const ImagePart* SkinImage::Part(uint8_t id) const {
    for (const ImagePart& part : parts) {
        if (part.id == id) return &part;
    }
    return nullptr;
}

COLORREF SkinImage::PartColour(uint8_t id, int x) const {
    const ImagePart* part = Part(id);
    if (!part || x < 0 || x >= part->rect.right - part->rect.left) return RGB(0, 0, 0);
    uint32_t pixel = pixels[static_cast<size_t>(part->rect.top) * width + part->rect.left + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::shared_ptr<const SkinImages> SkinImages::Decode(std::span<const uint8_t> pack) {
    Reader in(pack);
    if (std::memcmp(in.Take(sizeof(kMagic)), kMagic, sizeof(kMagic)) != 0) runtime::Raise(runtime::kInvalidCall);
    auto images = std::make_shared<SkinImages>();
    uint16_t count = in.U16();
    for (uint16_t i = 0; i < count; ++i) images->images_.push_back(ReadImage(in));
    return images;
}

std::shared_ptr<const SkinImages> SkinImages::FromResource(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) runtime::Raise(runtime::kFileNotFound);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) runtime::Raise(runtime::kOutOfMemory);
    return Decode({static_cast<const uint8_t*>(data), SizeofResource(module, found)});
}

const SkinImage* SkinImages::Find(const wchar_t* name) const {
    for (const SkinImage& image : images_) {
        if (image.name == name) return &image;
    }
    return nullptr;
}

}  // namespace skin

// The program icon as the executables carry it: one 32 x 32 image at 24 bits per pixel, all
// opaque, a black trefoil on yellow with smoothed edges; and the one icon that the executable,
// the title bar, the taskbar button and the tray (through Form1's Icon) all show.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "resources/resource_ids.h"
#include "runtime/dib.h"
#include "runtime/handles.h"
#include "runtime/picture.h"
#include "tests/appearance/build_tree.h"
#include "tests/support/pump.h"

namespace {

using appearance::FromBuildTree;

constexpr uint32_t kYellow = 0xF5F032;
constexpr uint32_t kBlack = 0x000000;
constexpr int kSize = 32;

#pragma pack(push, 2)
// An icon group resource: a header and one entry per image.
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

std::vector<uint8_t> ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    if (!bytes) return {};
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
}

// The program icon's one image, as module carries it.
struct IconResource {
    GroupHeader header{};
    std::vector<GroupEntry> entries;
    std::vector<uint8_t> image;  // the image's DIB: header, colour rows, mask rows
};

IconResource ReadIcon(HMODULE module) {
    IconResource icon;
    std::vector<uint8_t> group = ResourceBytes(module, MAKEINTRESOURCEW(IDI_HUSHLINE), RT_GROUP_ICON);
    if (group.size() < sizeof(GroupHeader)) return icon;
    std::memcpy(&icon.header, group.data(), sizeof(GroupHeader));
    for (size_t i = 0; i < icon.header.count; ++i) {
        size_t at = sizeof(GroupHeader) + i * sizeof(GroupEntry);
        if (at + sizeof(GroupEntry) > group.size()) break;
        GroupEntry entry{};
        std::memcpy(&entry, group.data() + at, sizeof(entry));
        icon.entries.push_back(entry);
    }
    if (!icon.entries.empty()) {
        icon.image = ResourceBytes(module, MAKEINTRESOURCEW(icon.entries[0].id), RT_ICON);
    }
    return icon;
}

// Colours of a 24-bit icon image as 0xRRGGBB, top row first.
std::vector<uint32_t> Colours(const std::vector<uint8_t>& image) {
    BITMAPINFOHEADER header{};
    std::memcpy(&header, image.data(), sizeof(header));
    const int stride = (header.biWidth * 3 + 3) & ~3;
    const uint8_t* rows = image.data() + header.biSize;
    std::vector<uint32_t> colours;
    for (int y = kSize - 1; y >= 0; --y) {  // stored bottom row first
        for (int x = 0; x < kSize; ++x) {
            const uint8_t* p = rows + y * stride + x * 3;
            colours.push_back((uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0]);
        }
    }
    return colours;
}

uint32_t MostFrequent(const std::vector<uint32_t>& colours) {
    std::map<uint32_t, int> counts;
    for (uint32_t colour : colours) ++counts[colour];
    return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class ProgramIcon : public testing::Test {
protected:
    IconResource icon_ = ReadIcon(GetModuleHandleW(nullptr));
};

TEST_F(ProgramIcon, IsOneOpaqueImageOf32By32At24Bits) {
    EXPECT_EQ(icon_.header.type, 1);
    ASSERT_EQ(icon_.entries.size(), 1u);
    EXPECT_EQ(icon_.entries[0].width, kSize);
    EXPECT_EQ(icon_.entries[0].height, kSize);
    EXPECT_EQ(icon_.entries[0].bitCount, 24);

    ASSERT_GE(icon_.image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, icon_.image.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, kSize);
    EXPECT_EQ(header.biHeight, 2 * kSize);  // colour image and mask
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    const size_t colourBytes = kSize * kSize * 3;
    const size_t maskBytes = kSize * 4;  // one bit a pixel, rows padded to four bytes
    ASSERT_EQ(icon_.image.size(), header.biSize + colourBytes + maskBytes);
    // A set mask bit would make its pixel transparent.
    const uint8_t* mask = icon_.image.data() + header.biSize + colourBytes;
    EXPECT_TRUE(std::all_of(mask, mask + maskBytes, [](uint8_t byte) { return byte == 0; }));
}

TEST_F(ProgramIcon, IsABlackTrefoilOnYellowWithSmoothedEdges) {
    ASSERT_EQ(icon_.entries.size(), 1u);
    std::vector<uint32_t> colours = Colours(icon_.image);
    ASSERT_EQ(colours.size(), static_cast<size_t>(kSize * kSize));
    auto at = [&](int x, int y) { return colours[static_cast<size_t>(y) * kSize + x]; };

    EXPECT_EQ(MostFrequent(colours), kYellow);
    EXPECT_GT(std::count(colours.begin(), colours.end(), kBlack), 150);

    // The yellow ground reaches every corner; the central disc is black.
    for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) EXPECT_EQ(at(x, y), kYellow);
    EXPECT_EQ(at(15, 14), kBlack);
    EXPECT_EQ(at(16, 15), kBlack);

    // Round the disc, half way out along the blades: black on the three blades (one down,
    // two up to the sides), yellow in the three gaps between them (up, down left, down right).
    const double centreX = 16.0, centreY = 15.0, radius = 9.5;
    auto along = [&](double degreesClockwiseFromUp) {
        double a = degreesClockwiseFromUp * 3.14159265358979 / 180.0;
        int x = static_cast<int>(std::floor(centreX + radius * std::sin(a)));
        int y = static_cast<int>(std::floor(centreY - radius * std::cos(a)));
        return at(x, y);
    };
    for (double blade : {60.0, 180.0, 300.0}) EXPECT_EQ(along(blade), kBlack) << blade;
    for (double gap : {0.0, 120.0, 240.0}) EXPECT_EQ(along(gap), kYellow) << gap;

    // Smoothed edges: pixels between the two colours, each a blend of them.
    int blends = 0;
    for (uint32_t colour : colours) {
        if (colour == kYellow || colour == kBlack) continue;
        ++blends;
        double share = static_cast<double>(colour >> 16) / 0xF5;  // of the yellow, by its red
        EXPECT_NEAR(((colour >> 8) & 0xFF) / 240.0, share, 0.02) << std::hex << colour;
        EXPECT_NEAR((colour & 0xFF) / 50.0, share, 0.05) << std::hex << colour;
    }
    EXPECT_GT(blends, 40);
}

TEST(ProgramExecutable, CarriesTheSameIconAsItsOnlyIcon) {
    std::wstring path = FromBuildTree(HUSHLINE_EXE);
    HMODULE exe = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr) << GetLastError();
    int groups = 0;
    EnumResourceNamesW(exe, RT_GROUP_ICON, &CountResource, reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, 1);
    IconResource carried = ReadIcon(exe);
    IconResource ours = ReadIcon(GetModuleHandleW(nullptr));
    ASSERT_FALSE(ours.image.empty());
    EXPECT_EQ(carried.image, ours.image);
    FreeLibrary(exe);
}

// The title bar and taskbar button show the window's icons; the tray takes Form1's Icon.
TEST(MainWindowIcon, TitleBarTaskbarAndTrayShowTheProgramIcon) {
    main_window::Form1.Show();
    ASSERT_TRUE(test_support::PumpUntil([] { return IsWindowVisible(main_window::Form1.Window()) != FALSE; }));
    HWND window = main_window::Form1.Window();

    runtime::Picture picture = main_window::Form1.Icon();
    EXPECT_EQ(picture.Type(), runtime::Picture::kIcon);
    auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(runtime::FromLong<HICON>(picture.Handle()), big) << "widened back, the handle is the window's own";

    HINSTANCE instance = GetModuleHandleW(nullptr);
    EXPECT_EQ(big, LoadImageW(instance, MAKEINTRESOURCEW(IDI_HUSHLINE), IMAGE_ICON, kSize, kSize, LR_SHARED));
    EXPECT_EQ(small, LoadImageW(instance, MAKEINTRESOURCEW(IDI_HUSHLINE), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                GetSystemMetrics(SM_CYSMICON), LR_SHARED));

    // The big icon's pixels are the resource's, unscaled.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(big, &info));
    runtime::Bitmap colour(info.hbmColor);
    runtime::Bitmap mask(info.hbmMask);
    ASSERT_TRUE(colour);
    BITMAPINFO request = runtime::TopDownDibInfo(kSize, kSize);
    std::vector<uint32_t> shown(kSize * kSize);
    {
        runtime::WindowDc screen(nullptr);
        ASSERT_EQ(GetDIBits(screen.Get(), colour.Get(), 0, kSize, shown.data(), &request, DIB_RGB_COLORS), kSize);
    }
    for (uint32_t& pixel : shown) pixel &= 0xFFFFFF;
    EXPECT_EQ(shown, Colours(ReadIcon(instance).image));
}

}  // namespace

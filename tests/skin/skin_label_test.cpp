// The skinned label as a control of a form: its window carries the id the form gave it,
// and its state is freed exactly once whichever step of its creation fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>

#include "runtime/error.h"
#include "runtime/form.h"
#include "skin/skin_label.h"
#include "tests/support/failing_creation.h"

namespace {

// Watches every operator new and delete of the program while on. What is deleted in the
// meantime is only freed when the watch stops, so that a second delete of a block is
// counted rather than corrupting the heap.
struct Block {
    void* address;
    int news;
    int deletes;
};

struct HeapWatch {
    static constexpr int kCapacity = 4096;
    bool on = false;
    bool overflowed = false;
    int count = 0;
    Block blocks[kCapacity];

    Block* Find(void* address) {
        for (int i = 0; i < count; ++i) {
            if (blocks[i].address == address) return &blocks[i];
        }
        return nullptr;
    }
    void Add(void* address, int news, int deletes) {
        if (count == kCapacity) {
            overflowed = true;
            return;
        }
        blocks[count++] = Block{address, news, deletes};
    }
} g_watch;

void StartWatch() {
    g_watch.count = 0;
    g_watch.overflowed = false;
    g_watch.on = true;
}

struct HeapReport {
    int deletedTwice = 0;
    int leaked = 0;
    bool overflowed = false;
};

HeapReport StopWatch() {
    g_watch.on = false;
    HeapReport report{.overflowed = g_watch.overflowed};
    for (int i = 0; i < g_watch.count; ++i) {
        const Block& block = g_watch.blocks[i];
        if (block.deletes > 1) ++report.deletedTwice;
        if (block.news > 0 && block.deletes == 0) ++report.leaked;
        if (block.deletes > 0) std::free(block.address);
    }
    return report;
}

}  // namespace

void* operator new(std::size_t size) {
    void* address = std::malloc(size ? size : 1);
    if (!address) throw std::bad_alloc();
    if (g_watch.on) g_watch.Add(address, 1, 0);
    return address;
}

void operator delete(void* address) noexcept {
    if (!address) return;
    if (!g_watch.on) return std::free(address);
    if (Block* block = g_watch.Find(address)) {
        ++block->deletes;
    } else {
        g_watch.Add(address, 0, 1);
    }
}

void operator delete(void* address, std::size_t) noexcept { operator delete(address); }

namespace {

using runtime::ControlDesign;
using runtime::ControlKind;
using test_support::CreationStep;

constexpr runtime::FontDesign kFont{L"MS Sans Serif", 8.25f, FW_BOLD};
constexpr skin::SkinLabelData kFirst{L"First label", kFont};
constexpr skin::SkinLabelData kSecond{L"Second label", kFont};

// Labels among other controls, on the form and on a panel, in an order of their own.
constexpr ControlDesign kControls[] = {
    {.kind = ControlKind::CommandButton, .name = L"Button", .caption = L"Press", .left = 120, .top = 120,
     .width = 1200, .height = 375, .tabIndex = 2},
    {.kind = ControlKind::Custom, .name = L"First", .left = 120, .top = 600, .width = 2400, .height = 375,
     .tabIndex = 0, .create = &skin::CreateSkinLabel, .customData = &kFirst},
    {.kind = ControlKind::PictureBox, .name = L"Panel", .left = 120, .top = 1080, .width = 2400, .height = 900,
     .tabIndex = 3},
    {.kind = ControlKind::Custom, .name = L"Second", .container = L"Panel", .left = 120, .top = 120,
     .width = 2000, .height = 375, .tabIndex = 1, .create = &skin::CreateSkinLabel, .customData = &kSecond},
};

constexpr runtime::FormDesign kDesign = {.caption = L"Label test", .clientWidth = 3000, .clientHeight = 2250,
                                         .controls = kControls};

class LabelForm final : public runtime::Form {
public:
    LabelForm() : Form(kDesign) {}
    ~LabelForm() override { runtime::Unload(*this); }
};

TEST(SkinLabel, WindowCarriesTheIdTheFormGaveIt) {
    LabelForm form;
    form.Show();
    for (runtime::Control* control : form.Controls()) {
        ASSERT_NE(control->Window(), nullptr) << control->Name();
        EXPECT_EQ(GetDlgCtrlID(control->Window()), control->Id()) << control->Name();
    }
    runtime::CustomControl& first = form.Custom(L"First");
    EXPECT_EQ(GetDlgItem(form.Window(), first.Id()), first.Window());
}

struct CreationCase {
    const char* name;
    CreationStep failing;
};

class SkinLabelCreation : public ::testing::TestWithParam<CreationCase> {};

TEST_P(SkinLabelCreation, FreesItsStateExactlyOnce) {
    const CreationCase& c = GetParam();
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    const ControlDesign& design = kControls[1];
    HWND label = nullptr;
    int raised = 0;

    StartWatch();
    {
        test_support::FailingCreation failing(skin::kSkinLabelClass, c.failing);
        try {
            label = skin::CreateSkinLabel(parent, 1234, RECT{0, 0, 100, 20}, design);
        } catch (const runtime::RuntimeError& error) {
            raised = error.Number();
        }
    }
    bool created = label != nullptr;
    int id = created ? GetDlgCtrlID(label) : 0;
    if (label) DestroyWindow(label);
    HeapReport heap = StopWatch();
    DestroyWindow(parent);

    ASSERT_FALSE(heap.overflowed);
    EXPECT_EQ(heap.deletedTwice, 0) << "a block deleted twice";
    EXPECT_EQ(heap.leaked, 0) << "a block never deleted";
    if (c.failing == CreationStep::None) {
        EXPECT_TRUE(created);
        EXPECT_EQ(id, 1234);
    } else {
        EXPECT_FALSE(created);
        EXPECT_EQ(raised, runtime::kOutOfMemory);
    }
}

INSTANTIATE_TEST_SUITE_P(Skin, SkinLabelCreation,
                         ::testing::Values(CreationCase{"succeeds", CreationStep::None},
                                           CreationCase{"refused_by_the_hook", CreationStep::Hook},
                                           CreationCase{"fails_before_the_label_has_its_state", CreationStep::NcCreate},
                                           CreationCase{"fails_after_the_label_took_its_state", CreationStep::Create}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

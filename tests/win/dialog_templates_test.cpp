// The options dialog's and the about box's templates as the saver module carries them: caption,
// style, font, size, and every control in template order with its id, kind, text and position.
#include <gtest/gtest.h>

#include "win/win32.h"

#include <commctrl.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "saver/resources/resource.h"
#include "test_support.h"

namespace {

struct Item {
    int id;
    std::string kind;  // "button", "static", "combobox" or a class name
    std::string text;  // or "#n" for a resource ordinal
    int x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string font;
    std::vector<Item> items;
};

class Reader {
public:
    Reader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    // A zero-terminated UTF-16 text, or an ordinal (0xFFFF and a number) written as "#n".
    std::string TextOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) return "#" + std::to_string(Word());
        std::string text;
        for (WORD c = first; c != 0 && at_ < size_; c = Word()) text += static_cast<char>(c);
        return text;
    }
    void AlignDword() { at_ = (at_ + 3) & ~DWORD{3}; }
    void Skip(DWORD bytes) { at_ += bytes; }
    bool Ok() const { return at_ <= size_; }

private:
    template <typename T>
    T Take() {
        T value{};
        if (at_ + sizeof value <= size_) std::memcpy(&value, data_ + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const BYTE* data_;
    DWORD size_;
    DWORD at_ = 0;
};

// Class names compare ignoring case, as the system compares them.
std::string KindOf(std::string className) {
    if (className == "#128") return "button";
    if (className == "#130") return "static";
    if (className == "#133") return "combobox";
    for (char& c : className) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return className;
}

Template ReadTemplate(HMODULE module, int id) {
    Template t;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (found == nullptr) return t;
    Reader r(static_cast<const BYTE*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
    t.style = r.Dword();
    r.Dword();  // extended style
    const int count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    r.TextOrOrdinal();  // menu
    r.TextOrOrdinal();  // class
    t.caption = r.TextOrOrdinal();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.font = r.TextOrOrdinal();
    }
    for (int i = 0; i < count && r.Ok(); ++i) {
        r.AlignDword();
        Item item{};
        item.style = r.Dword();
        r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = static_cast<short>(r.Word());
        item.kind = KindOf(r.TextOrOrdinal());
        item.text = r.TextOrOrdinal();
        r.Skip(r.Word());  // creation data
        t.items.push_back(item);
    }
    return t;
}

// Style bits by kind, beside WS_CHILD | WS_VISIBLE, which every control has.
constexpr DWORD kGroup = BS_GROUPBOX;
constexpr DWORD kLeft = SS_LEFT;
constexpr DWORD kRight = SS_RIGHT;
constexpr DWORD kValueBox = SS_LEFT | SS_SUNKEN;
constexpr DWORD kLink = SS_LEFT | SS_NOTIFY;
constexpr DWORD kSlider = TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr const char* kTrackbar = "msctls_trackbar32";

// A pop-up with caption, system menu and modal frame, no minimise or maximise box, in 8-point
// "MS Sans Serif"; visible or not as given.
void ExpectFrame(const Template& t, const char* caption, DWORD visible) {
    EXPECT_EQ(t.caption, caption);
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(t.style & frame, frame);
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE), visible);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
}

void ExpectItems(const Template& t, const std::vector<Item>& expected) {
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Item& got = t.items[i];
        const Item& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(want.id) + " " + want.text + ")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ((std::vector<int>{got.x, got.y, got.cx, got.cy}), (std::vector<int>{want.x, want.y, want.cx, want.cy}));
        EXPECT_EQ(got.style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
        // The kind's own bits exactly (the low 16), and the tab stop where the table gives one.
        EXPECT_EQ(got.style & 0xFFFF, want.style & 0xFFFF) << std::hex << got.style;
        EXPECT_EQ(got.style & WS_TABSTOP, want.style & WS_TABSTOP) << std::hex << got.style;
        if (want.kind == "combobox") {
            EXPECT_EQ(got.style & CBS_SORT, 0u);
            EXPECT_TRUE(got.style & WS_VSCROLL);
        }
    }
}

class DialogTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(vtest::SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }
    HMODULE module_ = nullptr;
};

}  // namespace

TEST_F(DialogTemplates, OptionsDialog) {
    const Template t = ReadTemplate(module_, IDD_OPTIONS);
    ExpectFrame(t, "VelloraSaver Options", WS_VISIBLE);
    EXPECT_EQ(t.cx, 328);
    EXPECT_EQ(t.cy, 190);
    ExpectItems(t, {
        {-1, "button", "Balls", 5, 9, 153, 73, kGroup},
        {-1, "static", "Number", 13, 24, 25, 8, kRight},
        {IDOK, "button", "OK", 270, 166, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, "button", "Cancel", 210, 166, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {-1, "static", "VelloraSaver", 5, 163, 43, 9, kLeft},
        {1011, kTrackbar, "", 41, 21, 77, 12, kSlider},
        {1013, "static", "", 121, 23, 24, 9, kValueBox},
        {1004, "combobox", "", 44, 60, 52, 87, kList},
        {-1, "static", "Radius", 13, 50, 23, 8, kLeft},
        {1017, "static", "https://vellora.example/download/", 5, 172, 201, 8, kLink},
        {1009, kTrackbar, "", 58, 136, 67, 12, kSlider},
        {1014, "static", "", 130, 136, 24, 9, kValueBox},
        {-1, "static", "Size", 13, 62, 20, 8, kLeft},
        {1012, kTrackbar, "", 41, 48, 77, 12, kSlider},
        {1015, "static", "", 121, 49, 24, 9, kValueBox},
        {-1, "static", "Gravity", 8, 91, 27, 8, kLeft},
        {1010, kTrackbar, "", 42, 90, 77, 12, kSlider},
        {1018, "static", "", 122, 91, 24, 9, kValueBox},
        {-1, "button", "Scenario", 168, 9, 153, 137, kGroup},
        {1005, "combobox", "", 231, 21, 77, 87, kList},
        {-1, "static", "Degrees", 176, 40, 28, 8, kLeft},
        {-1, "static", "Which Scenario", 176, 23, 56, 8, kLeft},
        {1016, kTrackbar, "", 204, 38, 77, 12, kSlider},
        {1019, "static", "", 284, 39, 24, 9, kValueBox},
        {-1, "static", "Max. Vel.", 13, 37, 31, 8, kLeft},
        {1020, kTrackbar, "", 41, 35, 77, 12, kSlider},
        {1021, "static", "", 121, 36, 24, 9, kValueBox},
        {-1, "static", "Sparks", 8, 107, 23, 8, kLeft},
        {1006, "combobox", "", 43, 105, 52, 87, kList},
        {-1, "static", "Refresh Rate", 8, 138, 43, 8, kLeft},
        {1022, kTrackbar, "", 58, 123, 67, 12, kSlider},
        {1023, "static", "", 130, 123, 24, 9, kValueBox},
        {-1, "static", "Scene Duration", 8, 125, 50, 8, kLeft},
        {1025, "static", "Scenario Description", 175, 55, 139, 81, kLeft},
        {-1, "static", "Freeware", 82, 163, 73, 8, kLeft},
        {1026, "static", "X.X.X.X", 50, 163, 29, 8, kLeft},
    });
}

TEST_F(DialogTemplates, AboutBox) {
    const Template t = ReadTemplate(module_, IDD_ABOUTBOX);
    ExpectFrame(t, "About VelloraSaver", 0);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{34, 22, 217, 60}));
    ExpectItems(t, {
        {-1, "static", "#128", 11, 17, 20, 20, SS_ICON},
        {-1, "static", "VelloraSaver Version ", 40, 10, 69, 8, kLeft},
        {-1, "static", "Freeware. Copy and share it freely.", 40, 25, 119, 8, kLeft},
        {IDOK, "button", "OK", 176, 6, 32, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {-1, "static", "https://vellora.example/", 40, 40, 127, 8, kLeft},
        {1026, "static", "X.X.X.X", 110, 10, 31, 8, kLeft},
    });
}

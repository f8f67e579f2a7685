// Checks the compiled resources of Dalvorin.exe. The test executable links the same resource
// object as the program, so every template is read back from its own module: dialog templates
// byte by byte, menus through USER32, icons through their group directories and images.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"

namespace {

// ---------------------------------------------------------------------------
// Helpers

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::string Hex(DWORD value) {
    char buffer[16];
    wsprintfA(buffer, "0x%08X", value);
    return buffer;
}

// Texts are compared as UTF-8 so that a mismatch prints readable Chinese.
#define EXPECT_TEXT(actual, expected) EXPECT_EQ(Utf8(actual), Utf8(expected))
// Styles are compared as hex so that a stray bit is easy to spot.
#define EXPECT_STYLE(actual, expected) EXPECT_EQ(Hex(actual), Hex(expected))

HMODULE Module() { return GetModuleHandleW(nullptr); }

// `type` is one of the RT_ constants, integer ids in either character set's pointer type.
std::span<const BYTE> ResourceBytes(const void* type, WORD id) {
    auto typeId = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
    HRSRC info = FindResourceW(Module(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(typeId));
    if (info == nullptr)
        return {};
    HGLOBAL handle = LoadResource(Module(), info);
    const auto* data = static_cast<const BYTE*>(LockResource(handle));
    if (data == nullptr)
        return {};
    return {data, SizeofResource(Module(), info)};
}

// A string or an ordinal, as dialog templates store names, classes and texts.
struct SzOrOrd {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring text;
};

// Sequential reader over template bytes; reading past the end marks it as overrun.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    template <class T>
    T Read() {
        T value{};
        if (m_pos + sizeof(T) > m_bytes.size()) {
            m_overrun = true;
            m_pos = m_bytes.size();
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (WCHAR ch = Read<WCHAR>(); ch != 0 && !m_overrun; ch = Read<WCHAR>())
            text.push_back(ch);
        return text;
    }

    SzOrOrd ReadSzOrOrd() {
        SzOrOrd value;
        WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            value.isOrdinal = true;
            value.ordinal = Read<WORD>();
        } else if (first != 0) {
            value.text.push_back(static_cast<WCHAR>(first));
            value.text += ReadString();
        }
        return value;
    }

    void Skip(size_t count) {
        m_pos += count;
        if (m_pos > m_bytes.size()) {
            m_overrun = true;
            m_pos = m_bytes.size();
        }
    }

    // Resource data starts DWORD-aligned, so aligning the offset aligns the address.
    void AlignToDword() { m_pos = (m_pos + 3) & ~size_t{3}; }

    bool overrun() const { return m_overrun; }
    size_t position() const { return m_pos; }

private:
    std::span<const BYTE> m_bytes;
    size_t m_pos = 0;
    bool m_overrun = false;
};

struct DialogItem {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    int id;
    SzOrOrd windowClass, title;
};

struct DialogTemplate {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    SzOrOrd menu, windowClass;
    std::wstring title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring face;
    std::vector<DialogItem> items;
    bool overrun = false;
    size_t parsedSize = 0;
};

DialogTemplate ParseDialogTemplate(std::span<const BYTE> bytes) {
    TemplateReader reader(bytes);
    DialogTemplate dialog{};
    dialog.version = reader.Read<WORD>();
    dialog.signature = reader.Read<WORD>();
    dialog.helpId = reader.Read<DWORD>();
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    WORD count = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    dialog.menu = reader.ReadSzOrOrd();
    dialog.windowClass = reader.ReadSzOrOrd();
    dialog.title = reader.ReadString();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.weight = reader.Read<WORD>();
        dialog.italic = reader.Read<BYTE>();
        dialog.charset = reader.Read<BYTE>();
        dialog.face = reader.ReadString();
    }
    for (WORD i = 0; i < count && !reader.overrun(); ++i) {
        reader.AlignToDword();
        DialogItem item{};
        item.helpId = reader.Read<DWORD>();
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.cx = reader.Read<short>();
        item.cy = reader.Read<short>();
        item.id = static_cast<int>(reader.Read<DWORD>());
        item.windowClass = reader.ReadSzOrOrd();
        item.title = reader.ReadSzOrOrd();
        reader.Skip(reader.Read<WORD>());  // creation data
        dialog.items.push_back(item);
    }
    dialog.overrun = reader.overrun();
    dialog.parsedSize = reader.position();
    return dialog;
}

// Predefined control classes may be stored as atoms (as Microsoft's compiler does) or as
// names (as windres does, upper-cased); both create the same control.
std::wstring ClassName(const SzOrOrd& windowClass) {
    if (!windowClass.isOrdinal)
        return windowClass.text;
    switch (windowClass.ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(windowClass.ordinal);
    }
}

bool SameClass(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// ---------------------------------------------------------------------------
// What the program needs from its templates

struct ExpectedControl {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;  // nullptr: any one-line text of our own wording
    WORD iconId;          // non-zero: the text is this icon's ordinal
    short x, y, cx, cy;
    DWORD style, exStyle;
};

struct ExpectedDialog {
    const char* name;
    WORD id;
    DWORD style, exStyle;
    short cx, cy;
    WORD menuId;  // 0: no menu
    const wchar_t* caption;
    WORD pointSize;
    WORD weight;  // 0: not fixed; any normal weight will do
    std::vector<ExpectedControl> controls;
};

// Names the dialog in failure messages instead of dumping the record's bytes.
void PrintTo(const ExpectedDialog& dialog, std::ostream* out) {
    *out << dialog.name << " (dialog " << dialog.id << ")";
}

constexpr const wchar_t* kAnyText = nullptr;

const std::vector<ExpectedDialog>& ExpectedDialogs() {
    static const std::vector<ExpectedDialog> dialogs = {
        {"AboutBox",
         IDD_ABOUTBOX,
         0x80C800C8,
         0,
         170,
         62,
         0,
         L"关于 Dalvorin",
         9,
         0,
         {
             {-1, L"Static", L"", IDR_MAINFRAME, 14, 14, 21, 20, 0x50000003, 0},
             {-1, L"Static", L"Dalvorin，1.0 版", 0, 42, 14, 114, 8, 0x50020080, 0},
             {-1, L"Static", kAnyText, 0, 42, 26, 114, 8, 0x50020000, 0},
             {IDOK, L"Button", L"确定", 0, 113, 41, 50, 14, 0x50030001, 0},
         }},
        {"MainWindow",
         IDD_DALVORIN_DIALOG,
         0x90CA00C8,
         0x00040000,
         243,
         347,
         IDR_MAIN_MENU,
         L"Dalvorin",
         9,
         0,
         {
             {IDC_SEARCH_EDIT, L"Edit", L"", 0, 19, 24, 116, 19, 0x50810080, WS_EX_ACCEPTFILES},
             {IDC_SEARCH_BUTTON, L"Button", L"百度一下", 0, 141, 27, 41, 14, 0x50010000, 0},
             {IDC_TAB, L"SysTabControl32", L"", 0, 18, 49, 212, 265, 0x50000000, 0},
             {IDC_START_BUTTON, L"Button", L"开始", 0, 7, 322, 44, 18, 0x50010000, 0},
         }},
        {"CommonSoftwarePage",
         IDD_FILE_TOOL,
         0x40080048,
         0,
         241,
         305,
         0,
         L"",
         8,
         400,
         {
             {IDC_ENTRY_LIST, L"SysListView32", L"", 0, 7, 7, 221, 247, 0x50010050, 0x11},
         }},
        {"FileManagementPage",
         IDD_SYSTEM_TOOL,
         0x40080048,
         0,
         255,
         242,
         0,
         L"",
         8,
         400,
         {
             {IDC_ENTRY_LIST, L"SysListView32", L"", 0, 7, 7, 207, 215, 0x50810000, 0},
         }},
        {"PrivateSpacePage",
         IDD_HIDE_TOOL,
         0x40080048,
         0,
         244,
         264,
         0,
         L"",
         8,
         400,
         {
             {IDC_OPEN_PRIVATE, L"Button", L"打开隐藏目录", 0, 53, 45, 62, 35, 0x50010000, 0},
             {IDC_CLOSE_PRIVATE, L"Button", L"关闭隐藏目录", 0, 54, 117, 64, 35, 0x50010000, 0},
         }},
        {"CreatePassword",
         IDD_PASSWD,
         0x80C800C8,
         0,
         176,
         105,
         0,
         L"密码",
         8,
         400,
         {
             {IDOK, L"Button", L"确定", 0, 59, 73, 50, 14, 0x50010001, 0},
             {IDCANCEL, L"Button", L"取消", 0, 117, 73, 50, 14, 0x50010000, 0},
             {IDC_PASSWORD_EDIT, L"Edit", L"", 0, 32, 34, 119, 21, 0x508100A0, 0},
             {-1, L"Button", L"请在此处输入您要创建的密码", 0, 7, 7, 162, 91, 0x50000007, 0},
         }},
        {"EnterPassword",
         IDD_CHECK_PASSWD,
         0x80C800C8,
         0,
         184,
         102,
         0,
         L"请输入密码",
         8,
         400,
         {
             {IDOK, L"Button", L"确定", 0, 71, 68, 50, 14, 0x50010001, 0},
             {IDCANCEL, L"Button", L"取消", 0, 127, 68, 50, 14, 0x50010000, 0},
             {IDC_PASSWORD_EDIT, L"Edit", L"", 0, 27, 22, 123, 23, 0x508100A0, 0},
         }},
    };
    return dialogs;
}

// ---------------------------------------------------------------------------
// Dialog templates, read from their bytes

class DialogTemplateTest : public testing::TestWithParam<ExpectedDialog> {
protected:
    DialogTemplate Load() {
        std::span<const BYTE> bytes = ResourceBytes(RT_DIALOG, GetParam().id);
        EXPECT_FALSE(bytes.empty()) << "dialog " << GetParam().id << " is missing";
        DialogTemplate dialog = ParseDialogTemplate(bytes);
        EXPECT_FALSE(dialog.overrun) << "dialog " << GetParam().id << " ends inside its own fields";
        // Nothing may follow the last control but the padding to a DWORD.
        EXPECT_LE(bytes.size() - dialog.parsedSize, 3u) << "unparsed bytes after the last control";
        return dialog;
    }
};

TEST_P(DialogTemplateTest, HeaderIsAsRequired) {
    const ExpectedDialog& want = GetParam();
    DialogTemplate dialog = Load();
    EXPECT_EQ(dialog.version, 1) << "not an extended template (DIALOGEX)";
    EXPECT_EQ(dialog.signature, 0xFFFF);
    EXPECT_STYLE(dialog.style, want.style);
    EXPECT_STYLE(dialog.exStyle, want.exStyle);
    EXPECT_EQ(dialog.cx, want.cx);
    EXPECT_EQ(dialog.cy, want.cy);
    EXPECT_TEXT(dialog.title, want.caption);
    if (want.menuId != 0) {
        EXPECT_TRUE(dialog.menu.isOrdinal);
        EXPECT_EQ(dialog.menu.ordinal, want.menuId);
    } else {
        EXPECT_FALSE(dialog.menu.isOrdinal || !dialog.menu.text.empty()) << "unexpected menu";
    }
    EXPECT_FALSE(dialog.windowClass.isOrdinal || !dialog.windowClass.text.empty())
        << "a dialog of the standard class is expected";
    EXPECT_EQ(dialog.pointSize, want.pointSize);
    EXPECT_TEXT(dialog.face, L"MS Shell Dlg");
    if (want.weight != 0) {
        EXPECT_EQ(dialog.weight, want.weight);
    } else {
        EXPECT_TRUE(dialog.weight == 0 || dialog.weight == FW_NORMAL) << "weight " << dialog.weight;
    }
    EXPECT_EQ(dialog.italic, 0);
}

TEST_P(DialogTemplateTest, ControlsAreAsRequiredAndInOrder) {
    const ExpectedDialog& want = GetParam();
    DialogTemplate dialog = Load();
    ASSERT_EQ(dialog.items.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const ExpectedControl& wanted = want.controls[i];
        const DialogItem& item = dialog.items[i];
        SCOPED_TRACE("control #" + std::to_string(i) + ", id " + std::to_string(wanted.id));
        EXPECT_EQ(item.id, wanted.id);
        EXPECT_TRUE(SameClass(ClassName(item.windowClass), wanted.windowClass))
            << "class " << Utf8(ClassName(item.windowClass)) << ", wanted " << Utf8(wanted.windowClass);
        if (wanted.iconId != 0) {
            EXPECT_TRUE(item.title.isOrdinal) << "an icon control names its icon by number";
            EXPECT_EQ(item.title.ordinal, wanted.iconId);
        } else if (wanted.text == kAnyText) {
            EXPECT_FALSE(item.title.isOrdinal);
            EXPECT_FALSE(item.title.text.empty());
            EXPECT_EQ(item.title.text.find_first_of(L"\r\n"), std::wstring::npos) << "one line only";
        } else {
            EXPECT_FALSE(item.title.isOrdinal);
            EXPECT_TEXT(item.title.text, wanted.text);
        }
        EXPECT_EQ(item.x, wanted.x);
        EXPECT_EQ(item.y, wanted.y);
        EXPECT_EQ(item.cx, wanted.cx);
        EXPECT_EQ(item.cy, wanted.cy);
        EXPECT_STYLE(item.style, wanted.style);
        EXPECT_STYLE(item.exStyle, wanted.exStyle);
        EXPECT_EQ(item.helpId, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Dalvorin, DialogTemplateTest, testing::ValuesIn(ExpectedDialogs()),
                         [](const testing::TestParamInfo<ExpectedDialog>& info) { return info.param.name; });

// Enter in the search box must end the main window through the framework's IDOK: that only
// holds while no push button of the template is a default button or carries IDOK/IDCANCEL.
TEST(MainWindowTemplate, HasNoDefaultOrOkCancelButton) {
    DialogTemplate dialog = ParseDialogTemplate(ResourceBytes(RT_DIALOG, IDD_DALVORIN_DIALOG));
    ASSERT_FALSE(dialog.items.empty());
    for (const DialogItem& item : dialog.items) {
        EXPECT_NE(item.id, IDOK);
        EXPECT_NE(item.id, IDCANCEL);
        if (SameClass(ClassName(item.windowClass), L"Button")) {
            EXPECT_NE(item.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON))
                << "control " << item.id << " is a default push button";
        }
    }
}

// ---------------------------------------------------------------------------
// Menus

struct MenuEntry {
    UINT id;
    std::wstring text;
    UINT type, state;
    HMENU subMenu;
};

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        WCHAR text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(menu, i, TRUE, &info);
        entries.push_back({info.wID, text, info.fType, info.fState, info.hSubMenu});
    }
    return entries;
}

class MenuTest : public testing::Test {
protected:
    void TearDown() override {
        if (m_menu != nullptr)
            DestroyMenu(m_menu);
    }
    // The single popup of a menu resource: checks the bar entry and returns the popup's items.
    std::vector<MenuEntry> LoadPopup(WORD id, const wchar_t* caption) {
        m_menu = LoadMenuW(Module(), MAKEINTRESOURCEW(id));
        EXPECT_NE(m_menu, nullptr) << "menu " << id << " does not load";
        if (m_menu == nullptr)
            return {};
        std::vector<MenuEntry> bar = ReadMenu(m_menu);
        EXPECT_EQ(bar.size(), 1u);
        if (bar.size() != 1 || bar[0].subMenu == nullptr) {
            ADD_FAILURE() << "menu " << id << " has no single popup";
            return {};
        }
        EXPECT_TEXT(bar[0].text, caption);
        return ReadMenu(bar[0].subMenu);
    }

    HMENU m_menu = nullptr;
};

TEST_F(MenuTest, EntryMenuHoldsTheTenEntryCommandsInOrder) {
    const std::vector<std::pair<UINT, std::wstring>> wanted = {
        {ID_ENTRY_DELETE, L"删除图标"},    {ID_ENTRY_LOCATE, L"定位文件"},
        {ID_ENTRY_OPEN, L"打开"},          {ID_ENTRY_CUT, L"剪切"},
        {ID_ENTRY_PASTE, L"黏贴"},         {ID_ENTRY_HOTKEY, L"设置热键"},
        {ID_ENTRY_EDIT_INFO, L"修改资料"}, {ID_ENTRY_MOVE_UP, L"上移图标"},
        {ID_ENTRY_MOVE_DOWN, L"下移图标"}, {ID_DESKTOP_SHORTCUT, L"创建桌面快捷方式"},
    };
    std::vector<MenuEntry> items = LoadPopup(IDR_ENTRY_MENU, L"da");
    ASSERT_EQ(items.size(), wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) {
        SCOPED_TRACE("position " + std::to_string(i));
        EXPECT_EQ(items[i].id, wanted[i].first);
        EXPECT_TEXT(items[i].text, wanted[i].second);
        EXPECT_EQ(items[i].type, static_cast<UINT>(MFT_STRING)) << "no separators";
        EXPECT_EQ(items[i].state, 0u) << "enabled, unchecked";
        EXPECT_EQ(items[i].subMenu, nullptr);
    }
}

TEST_F(MenuTest, MainMenuBarHoldsCreatePassword) {
    std::vector<MenuEntry> items = LoadPopup(IDR_MAIN_MENU, L"使用");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, static_cast<UINT>(ID_CREATE_PASSWORD));
    EXPECT_TEXT(items[0].text, L"创建密码");
    EXPECT_EQ(items[0].state, 0u);
}

// The owner-drawn menu reads classic (version 0) templates only.
TEST(MenuTemplates, AreClassicTemplates) {
    for (WORD id : {IDR_ENTRY_MENU, IDR_MAIN_MENU}) {
        std::span<const BYTE> bytes = ResourceBytes(RT_MENU, id);
        ASSERT_GE(bytes.size(), 4u) << "menu " << id;
        TemplateReader reader(bytes);
        EXPECT_EQ(reader.Read<WORD>(), 0) << "menu " << id << " version";
        EXPECT_EQ(reader.Read<WORD>(), 0) << "menu " << id << " header size";
    }
}

// ---------------------------------------------------------------------------
// Strings

TEST(StringTable, AboutEntryText) {
    WCHAR text[128] = {};
    ASSERT_GT(LoadStringW(Module(), IDS_ABOUTBOX, text, ARRAYSIZE(text)), 0);
    EXPECT_TEXT(text, L"关于 Dalvorin(&A)...");
}

// ---------------------------------------------------------------------------
// Icons

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

struct ExpectedIcon {
    WORD id;
    std::vector<int> sizes;
};

const std::vector<ExpectedIcon> kIcons = {
    {IDR_MAINFRAME, {64}},
    {IDI_DRAG_HINT, {16, 32}},
    {IDI_TAB_COMMON, {16, 32, 48, 128}},
    {IDI_TAB_FILES, {16, 32, 48, 128}},
    {IDI_TAB_PRIVATE, {16, 32, 48, 128}},
    {IDI_OPEN_PRIVATE, {32}},
    {IDI_CLOSE_PRIVATE, {32}},
    {IDI_START, {32}},
};

std::vector<GroupIconEntry> ReadGroupIcon(WORD id) {
    std::span<const BYTE> bytes = ResourceBytes(RT_GROUP_ICON, id);
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Read<WORD>(), 0) << "group icon " << id << " reserved word";
    EXPECT_EQ(reader.Read<WORD>(), 1) << "group icon " << id << " type";
    WORD count = reader.Read<WORD>();
    std::vector<GroupIconEntry> entries;
    for (WORD i = 0; i < count && !reader.overrun(); ++i)
        entries.push_back(reader.Read<GroupIconEntry>());
    EXPECT_FALSE(reader.overrun()) << "group icon " << id << " is cut short";
    return entries;
}

TEST(IconResources, GroupsListTheRequiredSizesAt32Bits) {
    for (const ExpectedIcon& icon : kIcons) {
        SCOPED_TRACE("group icon " + std::to_string(icon.id));
        std::vector<GroupIconEntry> entries = ReadGroupIcon(icon.id);
        ASSERT_EQ(entries.size(), icon.sizes.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            int width = entries[i].width == 0 ? 256 : entries[i].width;
            int height = entries[i].height == 0 ? 256 : entries[i].height;
            EXPECT_EQ(width, icon.sizes[i]);
            EXPECT_EQ(height, icon.sizes[i]);
            EXPECT_EQ(entries[i].bitCount, 32);
            EXPECT_EQ(entries[i].planes, 1);
        }
    }
}

// Every image is an uncompressed 32-bit DIB whose AND mask marks exactly the fully transparent
// pixels, which carry no colour: drawn through the mask (24-bit image lists, old drawing
// paths) the icon then shows the same outline as with alpha blending.
TEST(IconResources, ImagesAreBitmapsWithMasksMatchingTheirAlpha) {
    for (const ExpectedIcon& icon : kIcons) {
        for (const GroupIconEntry& entry : ReadGroupIcon(icon.id)) {
            int size = entry.width == 0 ? 256 : entry.width;
            SCOPED_TRACE("group icon " + std::to_string(icon.id) + ", " + std::to_string(size) + " px");
            std::span<const BYTE> bytes = ResourceBytes(RT_ICON, entry.id);
            ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER header;
            std::memcpy(&header, bytes.data(), sizeof(header));
            ASSERT_EQ(header.biSize, sizeof(BITMAPINFOHEADER)) << "not a BMP-format image";
            EXPECT_EQ(header.biWidth, size);
            EXPECT_EQ(header.biHeight, 2 * size);
            EXPECT_EQ(header.biBitCount, 32);
            EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
            size_t maskStride = ((size + 31) / 32) * 4;
            size_t colourBytes = static_cast<size_t>(size) * size * 4;
            ASSERT_EQ(bytes.size(), sizeof(header) + colourBytes + maskStride * size);
            EXPECT_EQ(entry.bytesInRes, bytes.size());

            const BYTE* colour = bytes.data() + sizeof(header);
            const BYTE* mask = colour + colourBytes;
            int opaque = 0, transparent = 0, mismatches = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const BYTE* bgra = colour + (static_cast<size_t>(y) * size + x) * 4;
                    bool masked = (mask[y * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
                    bool clear = bgra[3] == 0;
                    if (masked != clear || (clear && (bgra[0] | bgra[1] | bgra[2]) != 0))
                        ++mismatches;
                    opaque += bgra[3] == 255;
                    transparent += clear;
                }
            }
            EXPECT_EQ(mismatches, 0) << "pixels whose mask bit disagrees with their alpha";
            EXPECT_GT(opaque, size * size / 4) << "the picture is mostly see-through";
            EXPECT_GT(transparent, 0) << "the picture fills its whole square";
        }
    }
}

struct IconImageSize {
    LONG width = 0, height = 0;
    DWORD hotspotX = 0, hotspotY = 0;
};

IconImageSize LoadIconSize(WORD id, int cx, int cy) {
    IconImageSize result;
    auto icon =
        static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    if (icon == nullptr)
        return result;
    ICONINFO info = {};
    if (GetIconInfo(icon, &info)) {
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        result = {bitmap.bmWidth, bitmap.bmHeight, info.xHotspot, info.yHotspot};
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyIcon(icon);
    return result;
}

// The buttons load their icons at the resource's own size and take the size from the hot
// spot (twice the hot spot is the size); the tab list asks for 16 px, the hint row for the
// system size; every image must come out at the size asked for.
TEST(IconResources, LoadAtTheSizesTheProgramAsksFor) {
    for (WORD id : {IDI_OPEN_PRIVATE, IDI_CLOSE_PRIVATE, IDI_START}) {
        IconImageSize loaded = LoadIconSize(id, 0, 0);
        EXPECT_EQ(loaded.width, 32) << "icon " << id;
        EXPECT_EQ(loaded.hotspotX * 2, 32u) << "icon " << id;
        EXPECT_EQ(loaded.hotspotY * 2, 32u) << "icon " << id;
    }
    for (WORD id : {IDI_TAB_COMMON, IDI_TAB_FILES, IDI_TAB_PRIVATE}) {
        for (int size : {16, 32, 48, 128}) {
            IconImageSize loaded = LoadIconSize(id, size, size);
            EXPECT_EQ(loaded.width, size) << "icon " << id;
            EXPECT_EQ(loaded.height, size) << "icon " << id;
        }
    }
    EXPECT_EQ(LoadIconSize(IDR_MAINFRAME, 0, 0).width, 64);
    EXPECT_EQ(LoadIconSize(IDI_DRAG_HINT, 32, 32).width, 32);
    EXPECT_EQ(LoadIconSize(IDI_DRAG_HINT, 16, 16).width, 16);
    EXPECT_NE(LoadIconW(Module(), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

// ---------------------------------------------------------------------------
// Background bitmap

TEST(BitmapResources, BackgroundIs238By246At24Bits) {
    std::span<const BYTE> bytes = ResourceBytes(RT_BITMAP, IDB_BACKGROUND);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, 238);
    EXPECT_EQ(header.biHeight < 0 ? -header.biHeight : header.biHeight, 246);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_GE(bytes.size(), header.biSize + ((238 * 3 + 3) & ~3) * 246u);

    auto bitmap = static_cast<HBITMAP>(LoadBitmapW(Module(), MAKEINTRESOURCEW(IDB_BACKGROUND)));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 238);
    EXPECT_EQ(info.bmHeight, 246);
    DeleteObject(bitmap);
}

// The pattern lies under the window's dark default text, so no pixel may be dark.
TEST(BitmapResources, BackgroundIsLightEnoughForDarkText) {
    std::span<const BYTE> bytes = ResourceBytes(RT_BITMAP, IDB_BACKGROUND);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    ASSERT_EQ(header.biBitCount, 24);
    const size_t stride = (header.biWidth * 3 + 3) & ~3;
    const int rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    ASSERT_GE(bytes.size(), header.biSize + stride * rows);
    const BYTE* pixels = bytes.data() + header.biSize;
    int darkest = 255;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < header.biWidth; ++x) {
            const BYTE* bgr = pixels + y * stride + x * 3;
            int luma = (bgr[2] * 299 + bgr[1] * 587 + bgr[0] * 114) / 1000;
            darkest = std::min(darkest, luma);
        }
    }
    EXPECT_GE(darkest, 200);
}

// ---------------------------------------------------------------------------
// Manifest

TEST(ManifestResource, AsksForCommonControls6AsInvoker) {
    std::span<const BYTE> bytes = ResourceBytes(RT_MANIFEST, 1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
    ASSERT_FALSE(bytes.empty()) << "no manifest with id 1";
    std::string xml(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t begin = xml.find("<dependentAssembly>");
    size_t end = xml.find("</dependentAssembly>");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    std::string dependency = xml.substr(begin, end - begin);
    EXPECT_NE(dependency.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos) << dependency;
    EXPECT_NE(dependency.find("version=\"6.0.0.0\""), std::string::npos) << dependency;
    EXPECT_NE(dependency.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << dependency;
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
}

// ---------------------------------------------------------------------------
// The templates as the dialog manager builds them

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class DialogInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        m_host = CreateWindowExW(0, L"Static", L"host", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, Module(),
                                 nullptr);
        if (m_host == nullptr)
            GTEST_SKIP() << "no window station to create windows on";
    }
    void TearDown() override {
        if (m_host != nullptr)
            DestroyWindow(m_host);
    }

    HWND m_host = nullptr;
};

// Builds every template through the dialog manager and finds each control with its class
// and text: catches class names the system does not know and texts it reads differently.
TEST_F(DialogInstanceTest, EveryTemplateBuildsItsControls) {
    for (const ExpectedDialog& want : ExpectedDialogs()) {
        SCOPED_TRACE(want.name);
        HWND parent = (want.style & WS_CHILD) ? m_host : nullptr;
        HWND dialog = CreateDialogParamW(Module(), MAKEINTRESOURCEW(want.id), parent, QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        for (const ExpectedControl& control : want.controls) {
            if (control.id == -1)
                continue;
            HWND child = GetDlgItem(dialog, control.id);
            ASSERT_NE(child, nullptr) << "control " << control.id;
            WCHAR name[64] = {}, text[64] = {};
            GetClassNameW(child, name, ARRAYSIZE(name));
            GetWindowTextW(child, text, ARRAYSIZE(text));
            EXPECT_TRUE(SameClass(name, control.windowClass))
                << "control " << control.id << ": " << Utf8(name);
            EXPECT_TEXT(text, control.text);
        }
        if (want.menuId != 0) {
            std::vector<MenuEntry> bar = ReadMenu(GetMenu(dialog));
            ASSERT_EQ(bar.size(), 1u) << "menu bar";
            EXPECT_TEXT(bar[0].text, L"使用");
        }
        DestroyWindow(dialog);
    }
}

}  // namespace

// The file's properties show what the About box shows: the version block is read the way the
// shell reads it, from the file, and compared with the About template's texts.
TEST(VersionResource, MatchesTheAboutBox) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameW(Module(), path, MAX_PATH));
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_NE(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    const auto value = [&](const wchar_t* name) {
        void* text = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        if (!VerQueryValueW(block.data(), query.c_str(), &text, &length) || length == 0) {
            return std::wstring(L"<missing>");
        }
        return std::wstring(static_cast<const wchar_t*>(text));
    };
    EXPECT_TEXT(value(L"ProductName"), L"Nivvo桌面管理");
    EXPECT_TEXT(value(L"CompanyName"), L"Nivvo");

    const DialogTemplate about = ParseDialogTemplate(ResourceBytes(RT_DIALOG, IDD_ABOUTBOX));
    ASSERT_GE(about.items.size(), 3u);
    const std::wstring aboutVersion = about.items[1].title.text;
    EXPECT_TEXT(value(L"LegalCopyright"), about.items[2].title.text);
    EXPECT_NE(std::wstring::npos, aboutVersion.find(value(L"ProductVersion") + L" 版")) << Utf8(aboutVersion);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    EXPECT_TEXT(value(L"FileVersion"), numbers);
    EXPECT_EQ(0u, aboutVersion.find(L"Dalvorin，" + value(L"ProductVersion")));
}

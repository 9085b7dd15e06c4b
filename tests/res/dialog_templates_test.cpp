// Dialog templates 101, 102 and 103 of Digestor.exe, read back byte by byte from
// the built program and compared with the layout tables of the design.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "tests/res/module_files.h"
#include "tests/res/template_reader.h"

namespace {

// Predefined window classes are stored as ordinals; every other class by name.
const NameOrOrdinal Button = NameOrOrdinal::Ordinal(0x0080);
const NameOrOrdinal Edit = NameOrOrdinal::Ordinal(0x0081);
const NameOrOrdinal Static = NameOrOrdinal::Ordinal(0x0082);
const NameOrOrdinal ListBox = NameOrOrdinal::Ordinal(0x0083);
const NameOrOrdinal ComboBox = NameOrOrdinal::Ordinal(0x0085);
const NameOrOrdinal Progress = NameOrOrdinal::Name(L"msctls_progress32");

const NameOrOrdinal None;                                    // no text, no menu, no class of its own
const NameOrOrdinal IconText = NameOrOrdinal::Ordinal(3000); // the icon static shows icon 3000
NameOrOrdinal Text(const wchar_t* text) { return NameOrOrdinal::Name(text); }

const uint32_t IconIdEx = 0xFFFFFFFF; // control ID -1 in an extended template
const uint32_t IconIdPlain = 0xFFFF;  // control ID -1 in a plain template

struct Control {
    uint32_t id;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy;
};

struct Dialog {
    uint16_t id;
    uint32_t style;
    uint32_t exStyle;
    int16_t cx, cy;
    NameOrOrdinal menu;
    const wchar_t* caption;
    std::vector<Control> controls;
};

// Dialog: ID, style, extended style, width, height, menu, caption; then its
// controls in template order: ID, class, text, style, extended style, x, y,
// width, height.
// clang-format off
const Dialog MainDialog = {
    101, 0x90CF0A40, 0x00000000, 300, 200, NameOrOrdinal::Ordinal(2000), L"DLG_MAIN",
    {
        {1011, Button, None, 0x50008007, 0x00000000, 3, 3, 34, 194},
        {IconIdEx, Static, IconText, 0x50000003, 0x00000000, 9, 13, 11, 10},
        {1012, ListBox, None, 0x50B10151, 0x00000010, 42, 7, 254, 146},
        {1013, Edit, None, 0x50010880, 0x00000200, 42, 156, 254, 14},
        {1015, Progress, None, 0x50000000, 0x00000000, 42, 156, 254, 14},
        {1016, Static, Text(L"LABEL"), 0x50020202, 0x00000000, 42, 182, 50, 14},
        {1017, ComboBox, None, 0x50000203, 0x00000000, 96, 183, 60, 17},
        {1018, Button, Text(L"BUTTON"), 0x58010F01, 0x00000000, 216, 182, 80, 14},
    }};

const Dialog ProgressDialog = {
    102, 0x90C008C8, 0x00000080, 296, 106, None, L"DLG_PROGRESS",
    {
        {1011, Button, None, 0x50008007, 0, 3, 3, 34, 99},
        {IconIdEx, Static, IconText, 0x50000003, 0, 9, 13, 11, 10},
        {1024, Button, Text(L"TEXT"), 0x50008007, 0, 42, 3, 250, 46},
        {1014, Static, None, 0x5002C280, 0, 47, 17, 240, 12},
        {1021, Progress, None, 0x50000000, 0, 47, 34, 240, 10},
        {1025, Button, Text(L"TEXT"), 0x50008007, 0, 42, 54, 250, 28},
        {1022, Progress, None, 0x50000000, 0, 47, 67, 240, 10},
        {1023, Button, Text(L"BUTTON"), 0x50010000, 0, 208, 88, 84, 14},
    }};

const Dialog QuickSumDialog = {
    103, 0x90C808C8, 0x00000080, 300, 61, None, L"DLG_QUICKSUM",
    {
        {IconIdPlain, Static, IconText, 0x50000003, 0, 9, 13, 11, 10},
        {1011, Button, None, 0x50008007, 0, 3, 3, 34, 55},
        {1031, Static, Text(L"LABEL"), 0x50020202, 0, 41, 7, 50, 14},
        {1032, Edit, None, 0x50810080, 0, 95, 7, 200, 14},
        {1033, Static, Text(L"LABEL"), 0x50020202, 0, 41, 25, 50, 14},
        {1034, Edit, None, 0x50810880, 0, 95, 25, 200, 14},
        {1016, Static, Text(L"LABEL"), 0x50020202, 0, 41, 43, 50, 14},
        {1017, ComboBox, None, 0x50000203, 0, 95, 43, 60, 17},
        {1018, Button, Text(L"BUTTON"), 0x50010F00, 0, 215, 43, 80, 14},
    }};
// clang-format on

// Window class names are matched without regard to case by the system, and GNU
// windres stores them in upper case; ordinals and every other field must match exactly.
bool SameClass(const NameOrOrdinal& actual, const NameOrOrdinal& expected) {
    if (actual.ordinal != expected.ordinal || actual.name.size() != expected.name.size())
        return false;
    for (size_t i = 0; i < actual.name.size(); ++i) {
        wchar_t a = actual.name[i], e = expected.name[i];
        if (a >= L'A' && a <= L'Z')
            a = static_cast<wchar_t>(a - L'A' + L'a');
        if (e >= L'A' && e <= L'Z')
            e = static_cast<wchar_t>(e - L'A' + L'a');
        if (a != e)
            return false;
    }
    return true;
}

class DialogTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(program_.Handle(), (HMODULE)NULL) << "cannot map " << FileBesideTest("Digestor.exe");
    }

    ResourceBytes Template(uint16_t id) const { return program_.Find(RT_DIALOG, MAKEINTRESOURCEA(id)); }

    LoadedModule program_ = LoadedModule::AsDataFile(FileBesideTest("Digestor.exe"));
};

// After the last item only the padding to a DWORD boundary may follow.
void ExpectNothingAfterLastItem(const TemplateReader& reader) {
    EXPECT_LE(reader.Offset(), reader.Size());
    EXPECT_LT(reader.Size() - reader.Offset(), 4u) << "bytes after the last control";
}

void CheckExtendedTemplate(const ResourceBytes& bytes, const Dialog& dialog) {
    SCOPED_TRACE("dialog " + std::to_string(dialog.id));
    ASSERT_NE(bytes.data, nullptr);
    TemplateReader reader(bytes.data, bytes.size);

    EXPECT_EQ(reader.Word(), 1) << "dlgVer";
    EXPECT_EQ(reader.Word(), 0xFFFF) << "signature of an extended template";
    EXPECT_EQ(reader.Dword(), 0u) << "helpID";
    EXPECT_EQ(reader.Dword(), dialog.exStyle) << "exStyle";
    uint32_t style = reader.Dword();
    EXPECT_EQ(style, dialog.style) << "style";
    uint16_t count = reader.Word();
    ASSERT_EQ(count, dialog.controls.size()) << "cDlgItems";
    EXPECT_EQ(reader.Short(), 0) << "x";
    EXPECT_EQ(reader.Short(), 0) << "y";
    EXPECT_EQ(reader.Short(), dialog.cx) << "cx";
    EXPECT_EQ(reader.Short(), dialog.cy) << "cy";
    NameOrOrdinal menu = reader.Field();
    EXPECT_TRUE(menu == dialog.menu) << "menu " << Describe(menu);
    NameOrOrdinal windowClass = reader.Field();
    EXPECT_TRUE(windowClass == None) << "class " << Describe(windowClass);
    EXPECT_EQ(reader.String(), dialog.caption) << "title";
    ASSERT_NE(style & DS_SETFONT, 0u);
    EXPECT_EQ(reader.Word(), 8) << "pointsize";
    EXPECT_EQ(reader.Word(), 0) << "weight";
    EXPECT_EQ(reader.Byte(), 0) << "italic";
    EXPECT_EQ(reader.Byte(), 1) << "charset";
    EXPECT_EQ(reader.String(), L"MS Sans Serif") << "typeface";
    ASSERT_TRUE(reader.Ok()) << "header runs past the resource";

    for (const Control& expected : dialog.controls) {
        SCOPED_TRACE("control " + std::to_string(static_cast<int32_t>(expected.id)));
        reader.AlignToDword();
        EXPECT_EQ(reader.Dword(), 0u) << "helpID";
        EXPECT_EQ(reader.Dword(), expected.exStyle) << "exStyle";
        EXPECT_EQ(reader.Dword(), expected.style) << "style";
        EXPECT_EQ(reader.Short(), expected.x) << "x";
        EXPECT_EQ(reader.Short(), expected.y) << "y";
        EXPECT_EQ(reader.Short(), expected.cx) << "cx";
        EXPECT_EQ(reader.Short(), expected.cy) << "cy";
        EXPECT_EQ(reader.Dword(), expected.id) << "id";
        NameOrOrdinal controlClass = reader.Field();
        EXPECT_TRUE(SameClass(controlClass, expected.windowClass)) << "class " << Describe(controlClass);
        NameOrOrdinal text = reader.Field();
        EXPECT_TRUE(text == expected.text) << "title " << Describe(text);
        EXPECT_EQ(reader.Word(), 0) << "extraCount";
        ASSERT_TRUE(reader.Ok()) << "control runs past the resource";
    }
    ExpectNothingAfterLastItem(reader);
}

void CheckPlainTemplate(const ResourceBytes& bytes, const Dialog& dialog) {
    SCOPED_TRACE("dialog " + std::to_string(dialog.id));
    ASSERT_NE(bytes.data, nullptr);
    TemplateReader reader(bytes.data, bytes.size);

    uint32_t style = reader.Dword();
    EXPECT_EQ(style, dialog.style) << "style";
    ASSERT_NE(static_cast<uint16_t>(style >> 16), 0xFFFF) << "an extended template, a plain one was expected";
    EXPECT_EQ(reader.Dword(), dialog.exStyle) << "dwExtendedStyle";
    uint16_t count = reader.Word();
    ASSERT_EQ(count, dialog.controls.size()) << "cdit";
    EXPECT_EQ(reader.Short(), 0) << "x";
    EXPECT_EQ(reader.Short(), 0) << "y";
    EXPECT_EQ(reader.Short(), dialog.cx) << "cx";
    EXPECT_EQ(reader.Short(), dialog.cy) << "cy";
    NameOrOrdinal menu = reader.Field();
    EXPECT_TRUE(menu == dialog.menu) << "menu " << Describe(menu);
    NameOrOrdinal windowClass = reader.Field();
    EXPECT_TRUE(windowClass == None) << "class " << Describe(windowClass);
    EXPECT_EQ(reader.String(), dialog.caption) << "title";
    ASSERT_NE(style & DS_SETFONT, 0u);
    EXPECT_EQ(reader.Word(), 8) << "pointsize";
    EXPECT_EQ(reader.String(), L"MS Sans Serif") << "typeface";
    ASSERT_TRUE(reader.Ok()) << "header runs past the resource";

    for (const Control& expected : dialog.controls) {
        SCOPED_TRACE("control " + std::to_string(expected.id));
        reader.AlignToDword();
        EXPECT_EQ(reader.Dword(), expected.style) << "style";
        EXPECT_EQ(reader.Dword(), expected.exStyle) << "dwExtendedStyle";
        EXPECT_EQ(reader.Short(), expected.x) << "x";
        EXPECT_EQ(reader.Short(), expected.y) << "y";
        EXPECT_EQ(reader.Short(), expected.cx) << "cx";
        EXPECT_EQ(reader.Short(), expected.cy) << "cy";
        EXPECT_EQ(reader.Word(), expected.id) << "id";
        NameOrOrdinal controlClass = reader.Field();
        EXPECT_TRUE(SameClass(controlClass, expected.windowClass)) << "class " << Describe(controlClass);
        NameOrOrdinal text = reader.Field();
        EXPECT_TRUE(text == expected.text) << "title " << Describe(text);
        EXPECT_EQ(reader.Word(), 0) << "extra count";
        ASSERT_TRUE(reader.Ok()) << "control runs past the resource";
    }
    ExpectNothingAfterLastItem(reader);
}

TEST_F(DialogTemplates, MainWindowIsTheExtendedTemplateOfTheTable) {
    CheckExtendedTemplate(Template(101), MainDialog);
}

TEST_F(DialogTemplates, ProgressDialogIsTheExtendedTemplateOfTheTable) {
    CheckExtendedTemplate(Template(102), ProgressDialog);
}

TEST_F(DialogTemplates, QuickSumDialogIsThePlainTemplateOfTheTable) {
    CheckPlainTemplate(Template(103), QuickSumDialog);
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool SameText(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

const char* ClassNameOf(const NameOrOrdinal& windowClass) {
    switch (windowClass.ordinal) {
    case 0x0080:
        return "Button";
    case 0x0081:
        return "Edit";
    case 0x0082:
        return "Static";
    case 0x0083:
        return "ListBox";
    case 0x0085:
        return "ComboBox";
    default:
        return "msctls_progress32";
    }
}

// The dialog manager accepts each template and builds the controls of the table
// in template order; the icon static finds icon 3000 in the program file.
void CheckDialogBuilds(const LoadedModule& program, const Dialog& dialog) {
    SCOPED_TRACE("dialog " + std::to_string(dialog.id));
    HWND window = CreateDialogParamA(program.Handle(), MAKEINTRESOURCEA(dialog.id), NULL, InertDialogProc, 0);
    ASSERT_NE(window, (HWND)NULL) << "error " << GetLastError();

    size_t index = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        if (index >= dialog.controls.size()) {
            ADD_FAILURE() << "more controls than the table";
            break;
        }
        const Control& expected = dialog.controls[index];
        SCOPED_TRACE("control " + std::to_string(index));
        EXPECT_TRUE(SameText(ClassOf(child), ClassNameOf(expected.windowClass))) << ClassOf(child);
        EXPECT_EQ(LOWORD(GetDlgCtrlID(child)), LOWORD(expected.id));
        if (expected.text == IconText) {
            EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "icon 3000 not shown";
        }
    }
    EXPECT_EQ(index, dialog.controls.size());

    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, dialog.caption);

    HMENU menu = GetMenu(window);
    if (dialog.menu == None) {
        EXPECT_EQ(menu, (HMENU)NULL);
    } else if (menu == NULL) {
        ADD_FAILURE() << "menu 2000 not attached";
    } else {
        EXPECT_EQ(GetMenuItemCount(menu), 1);
        EXPECT_EQ(GetMenuItemID(menu, 0), 0u);
        char item[16] = {};
        GetMenuStringA(menu, 0, item, sizeof(item), MF_BYPOSITION);
        EXPECT_STREQ(item, "MENU");
    }
    DestroyWindow(window);
}

TEST_F(DialogTemplates, EveryTemplateBuildsItsDialog) {
    InitCommonControls();
    CheckDialogBuilds(program_, MainDialog);
    CheckDialogBuilds(program_, ProgressDialog);
    CheckDialogBuilds(program_, QuickSumDialog);
}

} // namespace

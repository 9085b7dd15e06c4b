// The DLL's exports as COM finds them.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "shell/shell_ids.h"
#include "drive/explorer_host.h"

TEST(Extension, MakesItsClassesAndUnloadsWhenAllAreGone) {
    ASSERT_NE(ExtensionModule(), nullptr);
    IUnknown* page = NULL;
    IUnknown* menu = NULL;
    EXPECT_EQ(CreateExtensionObject(ClsidDigestsPage, IID_IShellExtInit, reinterpret_cast<void**>(&page)), S_OK);
    EXPECT_EQ(CreateExtensionObject(ClsidDigestorMenu, IID_IShellExtInit, reinterpret_cast<void**>(&menu)), S_OK);
    EXPECT_FALSE(ExtensionCanUnload());
    if (page) {
        page->Release();
    }
    if (menu) {
        menu->Release();
    }
    EXPECT_TRUE(ExtensionCanUnload());
    const CLSID other = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 4}};
    EXPECT_EQ(CreateExtensionObject(other, IID_IUnknown, reinterpret_cast<void**>(&page)),
              CLASS_E_CLASSNOTAVAILABLE);
}

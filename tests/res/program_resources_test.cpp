// The resources of Digestor.exe besides its dialogs: the placeholder menu, the
// icon, the manifest and the version block, read back from the built program.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/res/module_files.h"
#include "tests/res/template_reader.h"

namespace {

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(program_.Handle(), (HMODULE)NULL) << "cannot map " << path_; }

    std::string path_ = FileBesideTest("Digestor.exe");
    LoadedModule program_ = LoadedModule::AsDataFile(path_);
};

// --- placeholder menu -------------------------------------------------------

TEST_F(ProgramResources, PlaceholderMenuIsOneCommandNamedMenuWithIdZero) {
    ResourceBytes menu = program_.Find(RT_MENU, MAKEINTRESOURCEA(2000));
    ASSERT_NE(menu.data, nullptr);
    TemplateReader reader(menu.data, menu.size);
    EXPECT_EQ(reader.Word(), 0) << "versionNumber";
    EXPECT_EQ(reader.Word(), 0) << "offset";
    uint16_t flags = reader.Word();
    EXPECT_EQ(flags, MF_END) << "the only item is the last, a command and no popup";
    EXPECT_EQ(reader.Word(), 0) << "command ID";
    EXPECT_EQ(reader.String(), L"MENU");
    ASSERT_TRUE(reader.Ok());
    EXPECT_LT(reader.Size() - reader.Offset(), 4u) << "bytes after the only item";
}

// --- icon ---------------------------------------------------------------------

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

std::vector<IconGroupEntry> IconGroup(const ResourceBytes& group) {
    std::vector<IconGroupEntry> entries;
    TemplateReader reader(group.data, group.size);
    EXPECT_EQ(reader.Word(), 0) << "idReserved";
    EXPECT_EQ(reader.Word(), 1) << "idType: icon";
    uint16_t count = reader.Word();
    for (uint16_t i = 0; i < count && reader.Ok(); ++i) {
        IconGroupEntry entry;
        entry.width = reader.Byte();
        entry.height = reader.Byte();
        entry.colorCount = reader.Byte();
        entry.reserved = reader.Byte();
        entry.planes = reader.Word();
        entry.bitCount = reader.Word();
        entry.bytesInRes = reader.Dword();
        entry.id = reader.Word();
        entries.push_back(entry);
    }
    EXPECT_TRUE(reader.Ok()) << "icon group runs past the resource";
    return entries;
}

TEST_F(ProgramResources, IconGroupHolds16And32And48PixelImagesOf32Bits) {
    ResourceBytes group = program_.Find(RT_GROUP_ICON, MAKEINTRESOURCEA(3000));
    ASSERT_NE(group.data, nullptr);
    std::vector<IconGroupEntry> entries = IconGroup(group);
    ASSERT_EQ(entries.size(), 3u);

    std::vector<int> sizes;
    for (const IconGroupEntry& entry : entries) {
        SCOPED_TRACE("icon image " + std::to_string(entry.id));
        sizes.push_back(entry.width);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.colorCount, 0);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

// Every image is a classic DIB: colour bits with alpha, then the AND mask,
// and the two agree on which pixels are transparent.
TEST_F(ProgramResources, EveryIconImageIsA32BitDibWithMatchingMask) {
    ResourceBytes group = program_.Find(RT_GROUP_ICON, MAKEINTRESOURCEA(3000));
    ASSERT_NE(group.data, nullptr);
    for (const IconGroupEntry& entry : IconGroup(group)) {
        SCOPED_TRACE("icon image " + std::to_string(entry.id));
        ResourceBytes image = program_.Find(RT_ICON, MAKEINTRESOURCEA(entry.id));
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.size, entry.bytesInRes);
        ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
        ASSERT_NE(memcmp(image.data, "\x89PNG", 4), 0) << "a PNG entry";

        BITMAPINFOHEADER header;
        memcpy(&header, image.data, sizeof(header));
        const LONG side = entry.width;
        EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(header.biWidth, side);
        EXPECT_EQ(header.biHeight, 2 * side) << "colour and mask";
        EXPECT_EQ(header.biPlanes, 1);
        EXPECT_EQ(header.biBitCount, 32);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

        const DWORD colourBytes = side * side * 4;
        const DWORD maskStride = (side + 31) / 32 * 4;
        ASSERT_EQ(image.size, sizeof(BITMAPINFOHEADER) + colourBytes + maskStride * side);

        const BYTE* colour = image.data + sizeof(BITMAPINFOHEADER);
        const BYTE* mask = colour + colourBytes;
        int opaque = 0, transparent = 0, mismatched = 0;
        for (LONG y = 0; y < side; ++y) {
            for (LONG x = 0; x < side; ++x) {
                BYTE alpha = colour[(y * side + x) * 4 + 3];
                bool masked = (mask[y * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
                opaque += alpha == 0xFF;
                transparent += alpha == 0;
                mismatched += masked != (alpha == 0);
            }
        }
        EXPECT_GT(opaque, 0) << "an empty picture";
        EXPECT_GT(transparent, 0) << "no transparent border";
        EXPECT_EQ(mismatched, 0) << "AND mask and alpha disagree";

        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000,
                                              side, side, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, (HICON)NULL) << "the system rejects the image";
        if (icon != NULL)
            DestroyIcon(icon);
    }
}

// --- manifest ---------------------------------------------------------------

// Attributes of every element with the given name, in document order.
std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& name) {
    std::vector<std::map<std::string, std::string>> found;
    const std::string open = "<" + name;
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        size_t pos = at + open.size();
        if (pos >= xml.size() || !(xml[pos] == ' ' || xml[pos] == '\t' || xml[pos] == '\r' ||
                                   xml[pos] == '\n' || xml[pos] == '/' || xml[pos] == '>'))
            continue; // a longer name with the same beginning
        size_t end = xml.find('>', pos);
        if (end == std::string::npos)
            break;
        std::map<std::string, std::string> attributes;
        const std::string tag = xml.substr(pos, end - pos);
        size_t p = 0;
        while ((p = tag.find('=', p)) != std::string::npos) {
            size_t nameEnd = p;
            while (nameEnd > 0 && tag[nameEnd - 1] == ' ')
                --nameEnd;
            size_t nameStart = tag.find_last_of(" \t\r\n", nameEnd - 1);
            nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
            size_t quote = tag.find_first_of("\"'", p);
            if (quote == std::string::npos)
                break;
            size_t close = tag.find(tag[quote], quote + 1);
            if (close == std::string::npos)
                break;
            attributes[tag.substr(nameStart, nameEnd - nameStart)] = tag.substr(quote + 1, close - quote - 1);
            p = close + 1;
        }
        found.push_back(attributes);
    }
    return found;
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6AndRunsAsInvoker) {
    ResourceBytes manifest = program_.Find(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_NE(manifest.data, nullptr) << "no manifest 1 of type 24";
    const std::string xml(reinterpret_cast<const char*>(manifest.data), manifest.size);

    auto identities = Elements(xml, "assemblyIdentity");
    ASSERT_EQ(identities.size(), 2u) << "the program's own identity and one dependency";

    auto& own = identities[0];
    EXPECT_EQ(own["version"], "1.0.0.0");
    EXPECT_EQ(own["processorArchitecture"], "*");
    EXPECT_EQ(own["type"], "win32");
    EXPECT_FALSE(own["name"].empty());

    EXPECT_NE(xml.find("<description>Digestor</description>"), std::string::npos);

    ASSERT_EQ(Elements(xml, "dependentAssembly").size(), 1u);
    EXPECT_LT(xml.find("<dependentAssembly"), xml.find("name=\"Microsoft.Windows.Common-Controls\""));
    auto& controls = identities[1];
    EXPECT_EQ(controls["name"], "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(controls["version"], "6.0.0.0");
    EXPECT_EQ(controls["processorArchitecture"], "*");
    EXPECT_EQ(controls["publicKeyToken"], "6595b64144ccf1df");
    EXPECT_EQ(controls["language"], "*");
    EXPECT_EQ(controls["type"], "win32");

    auto levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0]["level"], "asInvoker");
}

// --- version block --------------------------------------------------------------

class VersionBlock : public ProgramResources {
protected:
    void SetUp() override {
        ProgramResources::SetUp();
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version block";
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, block_.data()));
    }

    std::string Value(const char* key) {
        std::string query = std::string("\\StringFileInfo\\00000000\\") + key;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block_.data(), query.c_str(), &value, &length) || value == nullptr)
            return "<missing>";
        return static_cast<const char*>(value);
    }

    std::vector<BYTE> block_;
};

TEST_F(VersionBlock, FixedPartSays3_3_0_286ForAnApplicationOnWindowsNt) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (3u << 16) | 3u);
    EXPECT_EQ(fixed->dwFileVersionLS, (0u << 16) | 286u);
    EXPECT_EQ(fixed->dwProductVersionMS, (3u << 16) | 3u);
    EXPECT_EQ(fixed->dwProductVersionLS, (0u << 16) | 286u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
}

TEST_F(VersionBlock, StringBlock00000000NamesTheProgram) {
    EXPECT_EQ(Value("FileDescription"), "VIDODi Digestor 64 Bit");
    EXPECT_EQ(Value("FileVersion"), "13.03");
    EXPECT_EQ(Value("InternalName"), "Digestor");
    EXPECT_EQ(Value("ProductName"), "Digestor");
    EXPECT_EQ(Value("ProductVersion"), "13.03");
    EXPECT_EQ(Value("OriginalFilename"), "Digestor.exe");
    for (const char* key : {"CompanyName", "LegalCopyright"}) {
        std::string value = Value(key);
        EXPECT_NE(value, "<missing>") << key;
        EXPECT_FALSE(value.empty()) << key;
    }
}

TEST_F(VersionBlock, TranslationIsLanguageZeroCodePageZero) {
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u) << "one language and code page pair";
    EXPECT_EQ(translation[0], 0);
    EXPECT_EQ(translation[1], 0);
}

// --- language ---------------------------------------------------------------

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

// The program file carries no wording: all its resources are language-neutral,
// so they are found whatever the user's language is.
TEST_F(ProgramResources, EveryResourceIsLanguageNeutral) {
    struct Named {
        LPCSTR type;
        WORD id;
    };
    const Named resources[] = {{RT_DIALOG, 101}, {RT_DIALOG, 102},      {RT_DIALOG, 103},
                               {RT_MENU, 2000},  {RT_GROUP_ICON, 3000}, {MAKEINTRESOURCEA(24), 1},
                               {RT_VERSION, 1}};
    for (const Named& resource : resources) {
        SCOPED_TRACE("type " + std::to_string(reinterpret_cast<ULONG_PTR>(resource.type)) + " id " +
                     std::to_string(resource.id));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(program_.Handle(), resource.type, MAKEINTRESOURCEA(resource.id),
                               CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::vector<WORD>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)});
    }
}

} // namespace
